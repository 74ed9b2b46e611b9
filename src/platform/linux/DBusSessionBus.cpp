#include "platform/SessionBus.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>

namespace SessionBus {

namespace {
constexpr char AddressVariable[] = "DBUS_SESSION_BUS_ADDRESS";
// An address nothing listens on, which fails at once.
constexpr char NoBus[] = "unix:path=/dev/null";
bool g_kept = false;
} // namespace

void keepFromStarting()
{
    if (!qEnvironmentVariableIsEmpty(AddressVariable))
        return;
    // The bus of a session that runs one per user (systemd), which the bus
    // library finds without the variable.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) &&
        QFileInfo(QDir(runtime).filePath(QStringLiteral("bus"))).exists())
        return;
    qputenv(AddressVariable, NoBus);
    g_kept = true;
}

void restoreEnvironment()
{
    if (!g_kept)
        return;
    // Qt keeps its session bus connection, failed or not, for the whole
    // run: it asks no more once asked here.
    QDBusConnection::sessionBus();
    qunsetenv(AddressVariable);
    g_kept = false;
}

} // namespace SessionBus
