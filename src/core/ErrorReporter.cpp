#include "core/ErrorReporter.h"

#include "base/AppError.h"

#include <QHash>
#include <QtGlobal>

namespace {

std::function<void(const QString&)>& hook()
{
    static std::function<void(const QString&)> h;
    return h;
}

std::function<void(const QString&)>& presenter()
{
    static std::function<void(const QString&)> p;
    return p;
}

std::function<void(const QString&, int)>& repeatListener()
{
    static std::function<void(const QString&, int)> l;
    return l;
}

// The texts of the boxes open now, each with how often its failure came
// again while the box was open. A failure in auto mode repeats with every
// copy; one box per text is enough.
QHash<QString, int>& openBoxes()
{
    static QHash<QString, int> boxes;
    return boxes;
}

} // namespace

namespace ErrorReporter {

QString displayText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

QString boxText(const QString& message, const QString& detail)
{
    const QString text = displayText(message);
    return detail.isEmpty() ? text : text + QLatin1Char('\n') + detail;
}

void show(const QString& message, const QString& detail)
{
    const QString text = boxText(message, detail);
    if (hook()) {
        hook()(text);
        return;
    }
    if (!presenter()) {
        qCritical("%s", qUtf8Printable(text));
        return;
    }
    if (const auto open = openBoxes().find(text); open != openBoxes().end()) {
        const int repeats = ++open.value();
        if (repeatListener())
            repeatListener()(text, repeats);
        return;
    }
    openBoxes().insert(text, 0);
    // The box is modal: further failures may arrive while it is open.
    presenter()(text);
    openBoxes().remove(text);
}

void showFailure(const std::exception& failure)
{
    if (const auto* error = dynamic_cast<const AppError*>(&failure))
        show(error->message(), error->detail());
    else
        show(QString::fromLocal8Bit(failure.what()));
}

void setPresenter(std::function<void(const QString&)> p)
{
    presenter() = std::move(p);
}

void setRepeatListener(std::function<void(const QString&, int)> listener)
{
    repeatListener() = std::move(listener);
}

QString repeatNotice(const QString& text, int repeats)
{
    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
    return repeats == 1 ? QStringLiteral("%1 (once more)").arg(firstLine)
                        : QStringLiteral("%1 (%2 more times)").arg(firstLine).arg(repeats);
}

void setHook(std::function<void(const QString&)> h)
{
    hook() = std::move(h);
}

} // namespace ErrorReporter
