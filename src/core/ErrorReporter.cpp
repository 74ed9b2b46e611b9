#include "core/ErrorReporter.h"

#include "base/AppError.h"

#include <QCoreApplication>
#include <cstdio>

QString ErrorReporter::displayText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

QString ErrorReporter::boxText(const QString& message, const QString& detail)
{
    const QString text = displayText(message);
    return detail.isEmpty() ? text : text + QLatin1Char('\n') + detail;
}

QString ErrorReporter::repeatNotice(const QString& text, int repeats)
{
    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
    return repeats == 1
               ? QCoreApplication::translate("ErrorReporter", "%1 (once more)").arg(firstLine)
               : QCoreApplication::translate("ErrorReporter", "%1 (%2 more times)")
                     .arg(firstLine)
                     .arg(repeats);
}

void ErrorReporter::setPresenter(Presenter presenter)
{
    m_presenter = std::move(presenter);
}

void ErrorReporter::setRepeatListener(RepeatListener listener)
{
    m_repeatListener = std::move(listener);
}

void ErrorReporter::show(const QString& message, const QString& detail)
{
    const QString text = boxText(message, detail);
    if (!m_presenter) {
        std::fprintf(stderr, "Clipstow: %s\n", qUtf8Printable(text));
        std::fflush(stderr);
        return;
    }
    if (const auto open = m_openBoxes.find(text); open != m_openBoxes.end()) {
        const int repeats = ++open.value();
        if (m_repeatListener)
            m_repeatListener(text, repeats);
        return;
    }
    m_openBoxes.insert(text, 0);
    // The box is modal: further failures may arrive while it is open. The
    // presenter is kept, so that one replaced meanwhile (the session ends)
    // does not end this box.
    const Presenter presenter = m_presenter;
    presenter(text);
    m_openBoxes.remove(text);
}

void ErrorReporter::showFailure(const std::exception& failure)
{
    if (const auto* error = dynamic_cast<const AppError*>(&failure))
        show(error->message(), error->detail());
    else
        show(QString::fromLocal8Bit(failure.what()));
}
