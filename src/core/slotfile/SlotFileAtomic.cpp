#include "base/AppError.h"
#include "base/Translations.h"
#include "core/slotfile/SlotFile.h"
#include "platform/RuntimeFolder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

// Writing a slot file so that a crash, a full disk or a killed process never
// leaves it half written: the new contents go to a temporary file next to
// the old one, are flushed to disk, and replace the old file by a rename.

namespace SlotFile {

namespace {

const TranslatedText CannotCreate{"SlotFile",
                                  QT_TRANSLATE_NOOP("SlotFile", "Cannot create file %s")};
const TranslatedText FailedToSave{"SlotFile",
                                  QT_TRANSLATE_NOOP("SlotFile", "Failed to Save Stream")};
const TranslatedText NotRegular{"SlotFile", QT_TRANSLATE_NOOP("SlotFile", "Not a regular file")};

QByteArray directoryOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// Whether a link may be followed, by the rule the kernel applies where
// fs.protected_symlinks is set (and that a program resolving links itself
// must apply): in a sticky folder anyone may write to, only a link of the
// follower's own or of the folder's owner.
bool mayFollow(const QByteArray& link, const struct stat& linkStat)
{
    struct stat folder
    {
    };
    if (::stat(directoryOf(link).constData(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || linkStat.st_uid == ::geteuid() || linkStat.st_uid == folder.st_uid;
}

// Follows a chain of symbolic links to the file that is really written.
// A link to a missing file gives that file's path: it is created there. A
// loop, or a chain longer than 40 links, gives an empty path and error
// ELOOP; a link that may not be followed (mayFollow) gives EACCES. Either
// way the write fails instead of going where someone else points it.
QByteArray resolveLinks(QByteArray path, int& error)
{
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat st
        {
        };
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        if (!mayFollow(path, st)) {
            error = EACCES;
            return QByteArray();
        }
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            break;
        target.truncate(n);
        path = target.startsWith('/') ? target : directoryOf(path) + '/' + target;
    }
    error = ELOOP;
    return QByteArray();
}

// A write that failed with error: past the file size limit or on a full
// disk the file could not be made, as the user sees it; anything else is a
// failed write of the text.
QString writeFailure(int error)
{
    return error == EFBIG ? CannotCreate : FailedToSave;
}

// The folder where this user's lock files live, which only the user may
// enter (the single-instance lock's). Empty when there is none. Looked up
// once.
QString lockFolder()
{
    static const QString folder = privateRuntimeFolder();
    return folder;
}

// What a lock file holds while an append is under way (it is emptied once
// the append is on the disk): the file (device, inode and, where the file
// system keeps it, the time it was made, so that a later file that got the
// same inode is not taken for it), where the appended bytes start and end,
// and what they are: their first headSize bytes as they are, then the
// digests of the bytes from start to each page boundary of the file after
// those (a write cut off by a signal ends at one), digestCount of them.
struct AppendRecord
{
    char magic[8];
    quint64 device;
    quint64 inode;
    qint64 bornNs;
    qint64 start;
    qint64 end;
    qint32 headSize;
    qint32 digestCount;
};
constexpr char RecordMagic[8] = {'c', 'l', 'i', 'p', 'a', 'p', 'p', '3'};
constexpr qint64 RecordHeadBytes = 64 * 1024;
constexpr qint64 PageBytes = 4096;

// The first page boundary of the file after the bytes a record holds as
// they are.
qint64 firstDigestAt(const AppendRecord& record)
{
    return (record.start + record.headSize) / PageBytes * PageBytes + PageBytes;
}

// The identity of the open file fd: device, inode, birth time (0 where the
// file system keeps none). False when it cannot be had.
bool identify(int fd, AppendRecord& record)
{
    struct statx sx
    {
    };
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &sx) != 0)
        return false;
    record.device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    record.inode = sx.stx_ino;
    record.bornNs = (sx.stx_mask & STATX_BTIME)
                        ? qint64(sx.stx_btime.tv_sec) * 1'000'000'000 + sx.stx_btime.tv_nsec
                        : 0;
    return true;
}

} // namespace

WriteLock::WriteLock(const QString& fileName)
{
    int error = 0;
    const QByteArray target = resolveLinks(QFile::encodeName(fileName), error);
    struct stat folder
    {
    };
    const QString locks = lockFolder();
    if (target.isEmpty() || locks.isEmpty() ||
        ::stat(directoryOf(target).constData(), &folder) != 0) {
        m_problem = QCoreApplication::translate("SlotFileAtomic", "no place for its lock");
        return;
    }
    // One lock file per slot file, named after the file's folder (which
    // stays when the file is replaced) and its own name, in a folder only
    // this user may enter: nobody else can hold it.
    const QByteArray name = target.mid(target.lastIndexOf('/') + 1);
    const QString lockName =
        locks + QStringLiteral("/clipstow-slot-%1-%2-%3.lock")
                    .arg(quint64(folder.st_dev), 0, 16)
                    .arg(quint64(folder.st_ino), 0, 16)
                    .arg(QString::fromLatin1(
                        QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(16)));
    m_fd = ::open(QFile::encodeName(lockName).constData(),
                  O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (m_fd < 0) {
        m_problem = AppError::reasonFor(errno);
        return;
    }
    // Only another Clipstow of this user's holds it, for as long as one
    // write takes: waited for a short moment at most, polled so that one
    // that hangs cannot hang this one.
    int waited = 0;
    for (int pause = 1;; pause = std::min(pause * 2, 20)) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return;
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= WaitLimitMs)
            break;
        QThread::msleep(pause);
        waited += pause;
    }
    m_problem = QCoreApplication::translate("SlotFileAtomic", "another Clipstow was writing it");
    ::close(m_fd);
    m_fd = -1;
}

WriteLock::~WriteLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

void WriteLock::recordAppend(int fd, qint64 start, QByteArrayView bytes) const
{
    AppendRecord record{};
    if (m_fd < 0 || !identify(fd, record))
        return;
    std::memcpy(record.magic, RecordMagic, sizeof record.magic);
    record.start = start;
    record.end = start + bytes.size();
    record.headSize = qint32(std::min<qint64>(bytes.size(), RecordHeadBytes));
    std::vector<quint64> digests;
    Digest digest;
    qint64 at = start;
    for (qint64 boundary = firstDigestAt(record); boundary < record.end; boundary += PageBytes) {
        digest.add(bytes.sliced(at - start, boundary - at));
        digests.push_back(digest.value());
        at = boundary;
    }
    record.digestCount = qint32(digests.size());
    const iovec parts[] = {
        {&record, sizeof record},
        {const_cast<char*>(bytes.data()), size_t(record.headSize)},
        {digests.data(), digests.size() * sizeof(quint64)},
    };
    // The one extra write of an append; a record that does not get through
    // only means a torn append would not be recognised.
    (void)!::pwritev(m_fd, parts, 3, 0);
}

void WriteLock::forgetAppend() const
{
    if (m_fd >= 0)
        (void)!::ftruncate(m_fd, 0);
}

QString WriteLock::setAsideTornAppend(const QString& fileName) const
{
    AppendRecord record{};
    if (m_fd < 0 || ::pread(m_fd, &record, sizeof record, 0) != qsizetype(sizeof record) ||
        std::memcmp(record.magic, RecordMagic, sizeof record.magic) != 0 || record.start < 0 ||
        record.end <= record.start || record.headSize < 0 || record.headSize > RecordHeadBytes ||
        record.headSize > record.end - record.start || record.digestCount < 0 ||
        record.digestCount > (record.end - record.start) / PageBytes + 1)
        return QString();
    QByteArray head(record.headSize, Qt::Uninitialized);
    std::vector<quint64> digests(size_t(record.digestCount));
    iovec parts[] = {
        {head.data(), size_t(head.size())},
        {digests.data(), digests.size() * sizeof(quint64)},
    };
    if (::preadv(m_fd, parts, 2, sizeof record) !=
        qsizetype(head.size() + digests.size() * sizeof(quint64)))
        return QString();
    qint64 size = 0;
    int fd = -1;
    try {
        fd = openRegularFile(fileName, O_RDWR, CannotCreate, size);
    } catch (const AppError&) {
        return QString(); // not there, or not writable: not appended to by us
    }
    AppendRecord file{};
    QByteArray torn;
    if (identify(fd, file) && file.device == record.device && file.inode == record.inode &&
        file.bornNs == record.bornNs && size > record.start && size < record.end) {
        torn.resize(qsizetype(size - record.start));
        if (::pread(fd, torn.data(), size_t(torn.size()), record.start) != torn.size())
            torn.clear();
        // Exactly the first bytes of the append, checked byte for byte
        // where the record holds them, else by the digest at the page
        // boundary the file ends at.
        const qint64 index = (size - firstDigestAt(record)) / PageBytes;
        bool prefix = false;
        if (torn.size() <= head.size()) {
            prefix = head.startsWith(torn);
        } else if (size % PageBytes == 0 && index >= 0 && index < record.digestCount &&
                   torn.startsWith(head)) {
            Digest digest;
            digest.add(torn);
            prefix = digest.value() == digests[size_t(index)];
        }
        if (!prefix)
            torn.clear();
    }
    if (torn.isEmpty()) {
        ::close(fd);
        return QString();
    }
    // Whoever appended holds the lock no more and left the file between
    // the start and the end of what it meant to write, with exactly its
    // first bytes, and never said it finished: the append was cut off.
    // (Bytes changed or cut by anyone else are theirs and stay.) What got
    // through is kept beside the file, and the file is cut back to where
    // the append started.
    QString name;
    try {
        name = writeNewFile(
            fileName + QStringLiteral(".torn-") +
                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
            torn);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const bool cut = ::ftruncate(fd, record.start) == 0 && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!cut)
        throw AppError::forFile(FailedToSave, fileName, error);
    forgetAppend();
    return name;
}

void writeAtomically(const QString& fileName, const QByteArray& bytes)
{
    const WriteLock lock(fileName);
    writeAtomically(fileName, bytes, lock, [] { return true; });
}

qint64 writeAtomically(const QString& fileName, const QByteArray& bytes, const WriteLock&,
                       const std::function<bool()>& stillSame)
{
    int linkError = 0;
    const QByteArray target = resolveLinks(QFile::encodeName(fileName), linkError);
    if (target.isEmpty())
        throw AppError::forFile(CannotCreate, fileName, linkError);
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
        fail(writeFailure(errno));
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
    // The old file stays open across the rename: a program that appends
    // without the lock (a shell's >>) may still add to it until then.
    const int oldFd =
        exists ? ::open(target.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK) : -1;
    struct stat before
    {
    };
    if (!stillSame() || (oldFd >= 0 && ::fstat(oldFd, &before) != 0)) {
        if (oldFd >= 0)
            ::close(oldFd);
        ::unlink(temp.constData());
        throw SlotFileChanged(fileName);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int error = errno;
        if (oldFd >= 0)
            ::close(oldFd);
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
    if (oldFd < 0)
        return 0;
    // Bytes that reached the old file after it was last checked go to the
    // end of the new one.
    struct stat after
    {
    };
    QByteArray late;
    if (::fstat(oldFd, &after) == 0 && after.st_size > before.st_size) {
        late.resize(qsizetype(after.st_size - before.st_size));
        const ssize_t n = ::pread(oldFd, late.data(), size_t(late.size()), before.st_size);
        late.truncate(std::max<ssize_t>(n, 0));
    }
    ::close(oldFd);
    if (late.isEmpty())
        return 0;
    const int newFd =
        ::open(target.constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    const bool carried = newFd >= 0 && writeAll(newFd, late) && ::fdatasync(newFd) == 0;
    const int error = errno;
    if (newFd >= 0)
        ::close(newFd);
    if (!carried)
        throw AppError::forFile(FailedToSave, fileName, error);
    return late.size();
}

int openRegularFile(const QString& fileName, int flags, const QString& errorText, qint64& size)
{
    // Links are followed here, by the rule the kernel may not apply, and
    // the file found is opened without following another one put there
    // meanwhile.
    int linkError = 0;
    const QByteArray target = resolveLinks(QFile::encodeName(fileName), linkError);
    if (target.isEmpty())
        throw AppError::forFile(errorText, fileName, linkError);
    const int fd =
        ::open(target.constData(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW,
               S_IRUSR | S_IWUSR);
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

QString writeNewFile(const QString& baseName, QByteArrayView bytes)
{
    QString name = baseName;
    int fd = -1;
    for (int n = 2;; ++n) {
        // A new file only: never one that is there, never through a link
        // someone put at the name.
        fd = ::open(QFile::encodeName(name).constData(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                    S_IRUSR | S_IWUSR);
        if (fd >= 0 || errno != EEXIST || n > 1000)
            break;
        name = baseName + QLatin1Char('-') + QString::number(n);
    }
    if (fd < 0)
        throw AppError::forFile(CannotCreate, name, errno);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(QFile::encodeName(name).constData());
        throw AppError::forFile(writeFailure(error), name, error);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(QFile::encodeName(name).constData());
        throw AppError::forFile(FailedToSave, name, error);
    }
    return name;
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

namespace {

FileState stateFrom(const struct stat& st)
{
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec};
}

} // namespace

std::optional<FileState> fileState(int fd)
{
    struct stat st
    {
    };
    return ::fstat(fd, &st) == 0 ? std::optional(stateFrom(st)) : std::nullopt;
}

std::optional<FileState> fileState(const QString& fileName)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return stateFrom(st);
}

bool syncData(int fd)
{
    return ::fdatasync(fd) == 0;
}

qsizetype readSome(int fd, qint64 at, char* data, qsizetype size)
{
    return ::pread(fd, data, size_t(size), at);
}

void writeText(const QString& fileName, const QString& text, const QFont& font)
{
    writeAtomically(fileName,
                    formatFor(fileName) == Format::Rtf ? encodeRtf(text, font) : encodePlain(text));
}

} // namespace SlotFile
