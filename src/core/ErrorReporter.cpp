#include "core/ErrorReporter.h"

#include "base/AppError.h"

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

} // namespace

namespace ErrorReporter {

QString displayText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void show(const QString& message)
{
    const QString text = displayText(message);
    if (hook())
        hook()(text);
    else if (presenter())
        presenter()(text);
    else
        qCritical("%s", qUtf8Printable(text));
}

void showFailure(const std::exception& failure)
{
    if (const auto* error = dynamic_cast<const AppError*>(&failure))
        show(error->message());
    else
        show(QString::fromLocal8Bit(failure.what()));
}

void setPresenter(std::function<void(const QString&)> p)
{
    presenter() = std::move(p);
}

void setHook(std::function<void(const QString&)> h)
{
    hook() = std::move(h);
}

} // namespace ErrorReporter
