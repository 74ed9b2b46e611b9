#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>
#include <sys/resource.h>

// File helpers shared by the tests that read and write slot files.
namespace TestSupport {

// The bytes of a file, or "<missing>" when it cannot be read.
QByteArray fileBytes(const QString& path);

// Writes `bytes` to a file opened with `mode` (replacing it by default);
// fails the running test when the file cannot be opened or not every byte
// is written.
void writeBytes(const QString& path, const QByteArray& bytes,
                QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Truncate);

// The texts of the captures in a slot file, in order: what follows each
// stamp line, without the blank lines around it.
QStringList capturedTexts(const QString& path);

// The file's inode, 0 when it does not exist: an atomic rewrite puts a new
// file in place, an append keeps the old one.
quint64 inodeOf(const QString& path);

// The message of the AppError that `action` raises, empty when it raises none.
QString errorOf(const std::function<void()>& action);

// Lowers the largest file size this process may write while it lives;
// writes beyond it fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit final
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace TestSupport
