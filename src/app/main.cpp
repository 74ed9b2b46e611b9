#include "app/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Under Wayland the clipboard cannot be watched while another program
    // has the focus; XWayland allows it.
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Clipstow"));

    if (Startup::isUninstallCommand(QCoreApplication::arguments())) {
        Startup::runUninstall();
        return 0;
    }
    return Startup::run();
}
