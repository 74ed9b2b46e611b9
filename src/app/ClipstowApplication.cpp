#include "app/ClipstowApplication.h"

#include "app/ErrorReporter.h"
#include "core/AppError.h"

ClipstowApplication::ClipstowApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ClipstowApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError& error) {
        ErrorReporter::show(error.message());
    } catch (const std::exception& error) {
        ErrorReporter::show(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
