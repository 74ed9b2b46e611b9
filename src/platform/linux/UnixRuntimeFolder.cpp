#include "platform/RuntimeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("RuntimeFolder", text);
}

QString reasonFor(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Whether everything directly in the folder belongs to this user: a folder
// others could enter may hold what they put there (a lock file naming a
// process of theirs, a link).
bool holdsOnlyOwnEntries(const QString& path)
{
    DIR* folder = ::opendir(QFile::encodeName(path).constData());
    if (!folder)
        return false;
    bool own = true;
    while (const dirent* entry = ::readdir(folder)) {
        struct stat info;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        if (::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            info.st_uid != ::geteuid()) {
            own = false;
            break;
        }
    }
    ::closedir(folder);
    return own;
}

// A folder of this user's that nobody else may enter. One Clipstow makes
// may have been open to others: it is closed (mode 0700), and used only when
// nobody else put anything in it. A link or another user's folder is
// refused.
bool isPrivateFolder(const QString& path, bool ownMaking, QString& problem)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::lstat(name.constData(), &info) != 0) {
        problem = QStringLiteral("%1: %2").arg(path, reasonFor(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        problem = tr("%1 is not a folder").arg(path);
        return false;
    }
    if (info.st_uid != ::geteuid()) {
        problem = tr("the folder %1 belongs to another user").arg(path);
        return false;
    }
    if ((info.st_mode & 077) != 0 && !(ownMaking && ::chmod(name.constData(), 0700) == 0)) {
        problem = tr("the folder %1 is open to other users").arg(path);
        return false;
    }
    if (ownMaking && !holdsOnlyOwnEntries(path)) {
        problem = tr("the folder %1 holds files of other users").arg(path);
        return false;
    }
    return true;
}

// The folder made if missing (mode 0700), then checked.
bool makePrivateFolder(const QString& path, QString& problem)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        problem = tr("cannot create the folder %1: %2").arg(path, reasonFor(errno));
        return false;
    }
    return isPrivateFolder(path, true, problem);
}

// In the user's cache folder, which only the user can write to, unlike the
// shared temporary folder. Per host, for a home folder several machines
// share.
QString cacheFolder(QString& problem)
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return QString();
        cache = QDir(home).filePath(QStringLiteral(".cache"));
    }
    const QString own = QDir(cache).filePath(QStringLiteral("clipstow"));
    const QString folder = QDir(own).filePath(QStringLiteral("runtime-") +
                                              safeForFileName(QSysInfo::machineHostName()));
    for (const QString& path : {cache, own})
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
            problem = tr("cannot create the folder %1: %2").arg(path, reasonFor(errno));
            return QString();
        }
    return makePrivateFolder(folder, problem) ? folder : QString();
}

} // namespace

QString privateRuntimeFolder(QString* problem)
{
    QString why;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime, false, why)) {
        if (problem)
            problem->clear();
        return runtime;
    }
    // Not the shared temporary folder itself, where any user could put a
    // lock file of the expected name in advance.
    const QString temporary =
        QDir(QDir::tempPath()).filePath(QStringLiteral("clipstow-%1").arg(::geteuid()));
    QString folder = makePrivateFolder(temporary, why) ? temporary : QString();
    // What was wrong with the temporary one is the reason worth telling.
    QString ignored;
    if (folder.isEmpty())
        folder = cacheFolder(ignored);
    if (problem)
        *problem = folder.isEmpty() ? why : QString();
    return folder;
}
