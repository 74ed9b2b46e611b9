#include "core/AppError.h"
#include "platform/SlotFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Reading a slot file: the whole file in one go, then decoded in the format
// its name selects, or in the other one when that fails.

namespace SlotFile {

namespace {

const QString CannotOpen = QStringLiteral("Cannot open file %s");
const QString FailedToLoad = QStringLiteral("Failed to Load Stream");

QByteArray readAll(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    // Non-blocking, so that a FIFO without a writer does not stop the open;
    // only a regular file is read: a FIFO, a device or a folder would block
    // or never end.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        throw AppError::withName(CannotOpen, fileName);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw AppError::withName(CannotOpen, fileName);
    }
    QByteArray bytes;
    qsizetype used = 0;
    // The size is a hint only: the file may grow while it is read.
    bytes.resize(qsizetype(st.st_size) + 1);
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + used, size_t(bytes.size() - used));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            throw AppError(FailedToLoad);
        }
        if (n == 0)
            break;
        used += n;
    }
    ::close(fd);
    bytes.truncate(used);
    return bytes;
}

} // namespace

ReadResult readTextDetailed(const QString& fileName)
{
    const QByteArray bytes = readAll(fileName);
    ReadResult result;
    result.size = bytes.size();
    if (formatFor(fileName) == Format::Rtf) {
        if (std::optional<QString> text = decodeRtf(bytes)) {
            result.text = std::move(*text);
            result.format = Format::Rtf;
            return result;
        }
    }
    // Plain-text decoding cannot fail (every byte has a character), so a
    // plain-text file is never tried as RTF: a .txt file holding RTF source
    // shows that source, and an .rtf file holding anything else shows it as
    // text.
    PlainDecoded plain = decodePlainDetailed(bytes);
    result.text = std::move(plain.text);
    result.canonical = plain.canonical;
    result.format = Format::PlainText;
    return result;
}

QString readText(const QString& fileName)
{
    return readTextDetailed(fileName).text;
}

} // namespace SlotFile
