#include "platform/RuntimeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("RuntimeFolder", text);
}

} // namespace

// The user's local application data folder (not roaming: lock files and
// pipes belong to this machine), which Windows lets only the user, the
// administrators and the system enter.
QString privateRuntimeFolder(QString* problem)
{
    const QString local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = QDir(local).filePath(QStringLiteral("Clipstow/runtime"));
    const bool made = !local.isEmpty() && QDir().mkpath(folder);
    if (problem)
        *problem = made ? QString()
                        : tr("cannot create the folder %1: %2")
                              .arg(QDir::toNativeSeparators(folder), qt_error_string());
    return made ? folder : QString();
}
