#include "app/ClipstowApplication.h"

#include "core/ErrorReporter.h"

ClipstowApplication::ClipstowApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ClipstowApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        ErrorReporter::showFailure(failure);
    }
    return false;
}
