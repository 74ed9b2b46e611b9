// The slot files' access to the disk on Windows: names in UTF-16, files
// opened so that others may read, write and replace them meanwhile, the
// write lock a byte range locked with LockFileEx, and a whole file replaced
// by ReplaceFileW (which keeps the old file's attributes, security and
// creation time) or, for a new one, MoveFileExW. Descriptors are the C
// library's, over the Windows handles, in binary mode.

#include "base/AppError.h"
#include "base/Translations.h"
#include "core/slotfile/SlotFile.h"
#include "platform/RuntimeFolder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>

namespace SlotFile {

namespace {

const TranslatedText CannotCreate{"SlotFile",
                                  QT_TRANSLATE_NOOP("SlotFile", "Cannot create file %s")};
const TranslatedText FailedToSave{"SlotFile",
                                  QT_TRANSLATE_NOOP("SlotFile", "Failed to Save Stream")};
const TranslatedText NotRegular{"SlotFile", QT_TRANSLATE_NOOP("SlotFile", "Not a regular file")};

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

// The system's reason for its last error.
QString lastReason()
{
    return qt_error_string(int(GetLastError()));
}

// The full path in Windows' form, as the system calls take it.
QString nativePath(const QString& fileName)
{
    return QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle turned into a descriptor that owns it; -1 (and the handle
// closed) when that fails.
int toDescriptor(HANDLE handle, int flags)
{
    const int fd = _open_osfhandle(intptr_t(handle), flags | _O_BINARY);
    if (fd < 0)
        CloseHandle(handle);
    return fd;
}

HANDLE handleOf(int fd)
{
    return HANDLE(_get_osfhandle(fd));
}

std::optional<FileState> stateOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!GetFileInformationByHandle(handle, &info) ||
        !GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times))
        return std::nullopt;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return std::nullopt;
    // Times count 100 ns steps.
    return FileState{info.dwVolumeSerialNumber,
                     (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                     (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                     times.LastWriteTime.QuadPart * 100, times.ChangeTime.QuadPart * 100};
}

bool writeHandle(HANDLE handle, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(handle, data, DWORD(std::min<qsizetype>(left, 1 << 30)), &written,
                       nullptr) ||
            written == 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

QString lockFolder()
{
    static const QString folder = privateRuntimeFolder();
    return folder;
}

} // namespace

WriteLock::WriteLock(const QString& fileName)
{
    const QString locks = lockFolder();
    if (locks.isEmpty()) {
        m_problem = QCoreApplication::translate("SlotFileAtomic", "no place for its lock");
        return;
    }
    // One lock file per slot file, named after its full path as Windows
    // compares names (without regard to case), in the user's own folder.
    const QByteArray key = nativePath(fileName).toUpper().toUtf8();
    const QString lockName = QDir(locks).filePath(
        QStringLiteral("clipstow-slot-%1.lock")
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(32))));
    const HANDLE handle =
        CreateFileW(wide(QDir::toNativeSeparators(lockName)), GENERIC_READ | GENERIC_WRITE,
                    ShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_problem = lastReason();
        return;
    }
    // Polled, as on other systems: another Clipstow that hangs cannot hang
    // this one.
    int waited = 0;
    for (int pause = 1;; pause = std::min(pause * 2, 20)) {
        OVERLAPPED whole{};
        if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                       &whole)) {
            m_fd = toDescriptor(handle, _O_RDWR);
            if (m_fd < 0)
                m_problem = lastReason();
            return;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION || waited >= WaitLimitMs)
            break;
        QThread::msleep(pause);
        waited += pause;
    }
    m_problem = QCoreApplication::translate("SlotFileAtomic", "another Clipstow was writing it");
    CloseHandle(handle);
}

WriteLock::~WriteLock()
{
    if (m_fd >= 0)
        _close(m_fd); // closing the handle releases the lock
}

// Appends are not recorded here yet, so an append cut off half way (the
// process killed during its write) is not recognised at the next read on
// Windows; the rest of the file stays as it is either way.
void WriteLock::recordAppend(int, qint64, QByteArrayView) const {}

void WriteLock::forgetAppend() const {}

QString WriteLock::setAsideTornAppend(const QString&) const
{
    return QString();
}

void writeAtomically(const QString& fileName, const QByteArray& bytes)
{
    const WriteLock lock(fileName);
    writeAtomically(fileName, bytes, lock, [] { return true; });
}

qint64 writeAtomically(const QString& fileName, const QByteArray& bytes, const WriteLock&,
                       const std::function<bool()>& stillSame)
{
    const QString target = nativePath(fileName);
    const DWORD attributes = GetFileAttributesW(wide(target));
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw AppError::forFile(CannotCreate, fileName, NotRegular);
    // The replacement needs only the folder's permission; a read-only file
    // must stay as it is all the same.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        throw AppError::forFile(CannotCreate, fileName, qt_error_string(ERROR_ACCESS_DENIED));

    // Hidden, named after the file, unique, next to it.
    const qsizetype slash = target.lastIndexOf(QLatin1Char('\\'));
    QString temp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temp = target.left(slash + 1) + QLatin1Char('.') + target.mid(slash + 1).left(200) +
               QLatin1Char('.') + QString::number(QRandomGenerator::global()->generate(), 36);
        handle = CreateFileW(wide(temp), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (handle == INVALID_HANDLE_VALUE)
        throw AppError::forFile(CannotCreate, fileName, lastReason());
    const bool written = writeHandle(handle, bytes) && FlushFileBuffers(handle);
    const QString reason = lastReason();
    CloseHandle(handle);
    if (!written) {
        DeleteFileW(wide(temp));
        throw AppError::forFile(FailedToSave, fileName, reason);
    }
    // The old file stays open across the replacement: a program that
    // appends without the lock may still add to it until then.
    const HANDLE old = exists ? CreateFileW(wide(target), GENERIC_READ, ShareAll, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                              : INVALID_HANDLE_VALUE;
    FileState before;
    bool known = false;
    if (old != INVALID_HANDLE_VALUE) {
        if (const std::optional<FileState> state = stateOfHandle(old)) {
            before = *state;
            known = true;
        }
    }
    auto closeOld = [&] {
        if (old != INVALID_HANDLE_VALUE)
            CloseHandle(old);
    };
    if (!stillSame() || (old != INVALID_HANDLE_VALUE && !known)) {
        closeOld();
        DeleteFileW(wide(temp));
        throw SlotFileChanged(fileName);
    }
    // The new file keeps the hidden attribute only while it is the temporary one.
    SetFileAttributesW(wide(temp), FILE_ATTRIBUTE_NORMAL);
    const bool replaced =
        exists ? ReplaceFileW(wide(target), wide(temp), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                              nullptr, nullptr) != FALSE
               : MoveFileExW(wide(temp), wide(target),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!replaced) {
        const QString why = lastReason();
        closeOld();
        DeleteFileW(wide(temp));
        throw AppError::forFile(CannotCreate, fileName, why);
    }
    if (old == INVALID_HANDLE_VALUE)
        return 0;
    // Bytes that reached the old file after it was last checked go to the
    // end of the new one.
    const std::optional<FileState> after = stateOfHandle(old);
    QByteArray late;
    if (after && after->size > before.size) {
        late.resize(qsizetype(after->size - before.size));
        OVERLAPPED at{};
        at.Offset = DWORD(before.size);
        at.OffsetHigh = DWORD(quint64(before.size) >> 32);
        DWORD n = 0;
        if (!ReadFile(old, late.data(), DWORD(late.size()), &n, &at))
            n = 0;
        late.truncate(qsizetype(n));
    }
    closeOld();
    if (late.isEmpty())
        return 0;
    const HANDLE added = CreateFileW(wide(target), FILE_APPEND_DATA, ShareAll, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool carried =
        added != INVALID_HANDLE_VALUE && writeHandle(added, late) && FlushFileBuffers(added);
    const QString why = lastReason();
    if (added != INVALID_HANDLE_VALUE)
        CloseHandle(added);
    if (!carried)
        throw AppError::forFile(FailedToSave, fileName, why);
    return late.size();
}

int openRegularFile(const QString& fileName, int flags, const QString& errorText, qint64& size)
{
    const int mode = flags & (_O_RDONLY | _O_WRONLY | _O_RDWR);
    DWORD access = mode == _O_WRONLY ? GENERIC_WRITE
                   : mode == _O_RDWR ? GENERIC_READ | GENERIC_WRITE
                                     : GENERIC_READ;
    // Appends go to the end as one write each, also while others append.
    if (flags & _O_APPEND)
        access = (access & ~GENERIC_WRITE) | FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES |
                 SYNCHRONIZE | ((access & GENERIC_READ) ? 0 : FILE_READ_ATTRIBUTES);
    const HANDLE handle = CreateFileW(wide(nativePath(fileName)), access, ShareAll, nullptr,
                                      (flags & _O_CREAT) ? OPEN_ALWAYS : OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw AppError::forFile(errorText, fileName, lastReason());
    const std::optional<FileState> state =
        GetFileType(handle) == FILE_TYPE_DISK ? stateOfHandle(handle) : std::nullopt;
    if (!state) {
        CloseHandle(handle);
        throw AppError::forFile(errorText, fileName, NotRegular);
    }
    size = state->size;
    const int fd = toDescriptor(handle, flags & (_O_RDONLY | _O_WRONLY | _O_RDWR | _O_APPEND));
    if (fd < 0)
        throw AppError::forFile(errorText, fileName, AppError::reasonFor(errno));
    return fd;
}

QString writeNewFile(const QString& baseName, QByteArrayView bytes)
{
    QString name = baseName;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int n = 2;; ++n) {
        handle = CreateFileW(wide(nativePath(name)), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS || n > 1000)
            break;
        name = baseName + QLatin1Char('-') + QString::number(n);
    }
    if (handle == INVALID_HANDLE_VALUE)
        throw AppError::forFile(CannotCreate, name, lastReason());
    const bool written = writeHandle(handle, bytes) && FlushFileBuffers(handle);
    const QString reason = lastReason();
    CloseHandle(handle);
    if (!written) {
        DeleteFileW(wide(nativePath(name)));
        throw AppError::forFile(FailedToSave, name, reason);
    }
    return name;
}

bool writeAll(int fd, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const int n = _write(fd, data, unsigned(std::min<qsizetype>(left, 1 << 30)));
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

std::optional<FileState> fileState(int fd)
{
    return stateOfHandle(handleOf(fd));
}

std::optional<FileState> fileState(const QString& fileName)
{
    const HANDLE handle = CreateFileW(wide(nativePath(fileName)), FILE_READ_ATTRIBUTES, ShareAll,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const std::optional<FileState> state =
        GetFileType(handle) == FILE_TYPE_DISK ? stateOfHandle(handle) : std::nullopt;
    CloseHandle(handle);
    return state;
}

bool syncData(int fd)
{
    if (FlushFileBuffers(handleOf(fd)))
        return true;
    errno = EIO;
    return false;
}

qsizetype readSome(int fd, qint64 at, char* data, qsizetype size)
{
    OVERLAPPED where{};
    where.Offset = DWORD(at);
    where.OffsetHigh = DWORD(quint64(at) >> 32);
    DWORD n = 0;
    if (ReadFile(handleOf(fd), data, DWORD(std::min<qsizetype>(size, 1 << 30)), &n, &where))
        return qsizetype(n);
    if (GetLastError() == ERROR_HANDLE_EOF)
        return 0;
    errno = EIO;
    return -1;
}

void writeText(const QString& fileName, const QString& text, const QFont& font)
{
    writeAtomically(fileName,
                    formatFor(fileName) == Format::Rtf ? encodeRtf(text, font) : encodePlain(text));
}

} // namespace SlotFile
