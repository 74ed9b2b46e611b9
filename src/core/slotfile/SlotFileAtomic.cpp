#include "base/AppError.h"
#include "core/slotfile/SlotFile.h"

#include <QFile>
#include <QThread>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// Writing a slot file so that a crash, a full disk or a killed process never
// leaves it half written: the new contents go to a temporary file next to
// the old one, are flushed to disk, and replace the old file by a rename.

namespace SlotFile {

namespace {

const QString CannotCreate = QStringLiteral("Cannot create file %s");
const QString FailedToSave = QStringLiteral("Failed to Save Stream");
const QString NotRegular = QStringLiteral("Not a regular file");

QByteArray directoryOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// Follows a chain of symbolic links to the file that is really written.
// A link to a missing file gives that file's path: it is created there. A
// loop, or a chain longer than 40 links, gives an empty path, so the write
// fails instead of replacing a link by a file.
QByteArray resolveLinks(QByteArray path)
{
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat st
        {
        };
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return QByteArray();
        target.truncate(n);
        path = target.startsWith('/') ? target : directoryOf(path) + '/' + target;
    }
    return QByteArray();
}

} // namespace

SlotFileChanged::SlotFileChanged(const QString& fileName)
    : AppError(AppError::withName(
          QStringLiteral("%s was changed by another program and was not overwritten"), fileName))
{
}

WriteLock::WriteLock(const QString& fileName)
{
    const QByteArray target = resolveLinks(QFile::encodeName(fileName));
    if (target.isEmpty())
        return;
    m_fd = ::open(directoryOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    // Polled rather than waited for, so that a process that hangs while
    // holding the lock cannot hang this one.
    constexpr int WaitLimitMs = 10'000;
    int waited = 0;
    for (int pause = 1;; pause = std::min(pause * 2, 20)) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return;
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= WaitLimitMs)
            break;
        QThread::msleep(pause);
        waited += pause;
    }
    ::close(m_fd);
    m_fd = -1;
}

WriteLock::~WriteLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

void writeAtomically(const QString& fileName, const QByteArray& bytes)
{
    const WriteLock lock(fileName);
    writeAtomically(fileName, bytes, lock, [] { return true; });
}

void writeAtomically(const QString& fileName, const QByteArray& bytes, const WriteLock&,
                     const std::function<bool()>& stillSame)
{
    const QByteArray target = resolveLinks(QFile::encodeName(fileName));
    if (target.isEmpty())
        throw AppError::forFile(CannotCreate, fileName, ELOOP);
    if (target.endsWith('/'))
        throw AppError::forFile(CannotCreate, fileName, EISDIR);
    const QByteArray dir = directoryOf(target);

    struct stat old
    {
    };
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists) {
        // A FIFO would block or take only part of the text, a device would
        // swallow it: only a regular file can hold a slot's text.
        if (!S_ISREG(old.st_mode))
            throw AppError::forFile(CannotCreate, fileName, NotRegular);
        // The rename below needs only the folder's permission; a file the
        // user may not write must stay as it is all the same.
        if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
            throw AppError::forFile(CannotCreate, fileName, errno);
    }

    // Hidden, named after the file, unique: ".name.XXXXXX" next to it. The
    // name part is shortened so the whole stays within the name limit.
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temp = (slash < 0 ? QByteArray() : target.left(slash + 1)) + '.' +
                      target.mid(slash + 1).left(200) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        throw AppError::forFile(CannotCreate, fileName, errno);

    auto fail = [&](const QString& message) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.constData());
        throw AppError::forFile(message, fileName, error);
    };
    if (!writeAll(fd, bytes))
        fail(FailedToSave);
    if (exists) {
        // Owner first: changing it clears set-user-id bits that fchmod sets.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno == EPERM) {
            // Not allowed to give the file away: keep at least its group.
            (void)!::fchown(fd, uid_t(-1), old.st_gid);
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            fail(CannotCreate);
    } else if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0) {
        fail(CannotCreate);
    }
    if (::fsync(fd) != 0)
        fail(FailedToSave);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        throw AppError::forFile(FailedToSave, fileName, error);
    }
    if (!stillSame()) {
        ::unlink(temp.constData());
        throw SlotFileChanged(fileName);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        throw AppError::forFile(CannotCreate, fileName, error);
    }
    // Make the rename itself durable. Some file systems cannot sync a
    // folder; the data is safe in the file either way.
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
}

int openRegularFile(const QString& fileName, int flags, const QString& errorText, qint64& size)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, S_IRUSR | S_IWUSR);
    if (fd < 0)
        throw AppError::forFile(errorText, fileName, errno);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw AppError::forFile(errorText, fileName, NotRegular);
    }
    size = qint64(st.st_size);
    return fd;
}

bool writeAll(int fd, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qsizetype>(left, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

void writeText(const QString& fileName, const QString& text, const QFont& font)
{
    writeAtomically(fileName,
                    formatFor(fileName) == Format::Rtf ? encodeRtf(text, font) : encodePlain(text));
}

} // namespace SlotFile
