#include "core/ErrorReporter.h"

#include "base/AppError.h"

#include <QApplication>
#include <QMessageBox>

namespace {
std::function<void(const QString&)>& hook()
{
    static std::function<void(const QString&)> h;
    return h;
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
    if (hook()) {
        hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void showFailure(const std::exception& failure)
{
    if (const auto* error = dynamic_cast<const AppError*>(&failure))
        show(error->message());
    else
        show(QString::fromLocal8Bit(failure.what()));
}

void setHook(std::function<void(const QString&)> h)
{
    hook() = std::move(h);
}

} // namespace ErrorReporter
