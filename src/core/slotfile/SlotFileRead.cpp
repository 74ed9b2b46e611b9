#include "base/AppError.h"
#include "base/Translations.h"
#include "core/slotfile/SlotFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Reading a slot file: the whole file in one go, then decoded in the format
// its name selects, or in the other one when that fails.

namespace SlotFile {

namespace {

const TranslatedText CannotOpen{"SlotFile", QT_TRANSLATE_NOOP("SlotFile", "Cannot open file %s")};
const TranslatedText FailedToLoad{"SlotFile",
                                  QT_TRANSLATE_NOOP("SlotFile", "Failed to Load Stream")};

// An open regular file, closed on leaving the scope.
class OpenFile final
{
public:
    explicit OpenFile(const QString& fileName) : m_fileName(fileName)
    {
        m_fd = openRegularFile(fileName, O_RDONLY, CannotOpen, m_size);
    }
    ~OpenFile() { ::close(m_fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    qint64 size() const { return m_size; }

    // From offset to the end, reading on as long as the file grows.
    QByteArray readFrom(qint64 offset) const
    {
        return readToEnd(m_fd, offset, m_size - offset, m_fileName);
    }

    // Feeds the bytes from 0 to end to check and digest, a piece at a time.
    void check(qint64 end, FormatCheck& check, Digest& digest) const
    {
        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (qint64 at = 0; at < end;) {
            const qsizetype n =
                readAt(m_fd, at, piece.data(), qsizetype(std::min<qint64>(piece.size(), end - at)),
                       m_fileName);
            if (n == 0)
                break;
            check.add(QByteArrayView(piece.constData(), n));
            digest.add(QByteArrayView(piece.constData(), n));
            at += n;
        }
    }

private:
    QString m_fileName;
    int m_fd = -1;
    qint64 m_size = 0;
};

// The end of text that fits in maxChars, from the start of a line when one
// starts within it; never the second half of a surrogate pair.
qsizetype tailStart(const QString& text, qsizetype maxChars)
{
    qsizetype start = text.size() - maxChars;
    const qsizetype lineStart = text.indexOf(QLatin1Char('\n'), start - 1) + 1;
    if (lineStart > 0 && lineStart < text.size())
        return lineStart;
    if (start > 0 && text.at(start).isLowSurrogate())
        ++start;
    return start;
}

} // namespace

qsizetype readAt(int fd, qint64 at, char* data, qsizetype size, const QString& fileName)
{
    for (;;) {
        const qsizetype n = readSome(fd, at, data, size);
        if (n >= 0)
            return n;
        if (errno != EINTR)
            throw AppError::forFile(FailedToLoad, fileName, errno);
    }
}

QByteArray readToEnd(int fd, qint64 offset, qint64 expected, const QString& fileName)
{
    QByteArray bytes;
    qsizetype used = 0;
    // The size expected is a hint only: the file may grow while it is read.
    bytes.resize(qsizetype(std::max<qint64>(expected, 0)) + 1);
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const qsizetype n =
            readAt(fd, offset + used, bytes.data() + used, bytes.size() - used, fileName);
        if (n == 0)
            break;
        used += n;
    }
    bytes.truncate(used);
    return bytes;
}

ReadResult readTextDetailed(const QString& fileName, std::optional<qsizetype> maxChars)
{
    const OpenFile file(fileName);
    ReadResult result;
    const bool rtf = formatFor(fileName) == Format::Rtf;
    // No character takes more than 3 bytes of UTF-8 (a pair of UTF-16 units
    // takes 4), so this many bytes from the end hold the last maxChars
    // characters and the start of the line they begin in is looked for
    // within them.
    qint64 offset = 0;
    if (maxChars && !rtf && file.size() > 3 * *maxChars + 4)
        offset = file.size() - (3 * *maxChars + 4);
    QByteArray bytes = file.readFrom(offset);
    result.size = offset + bytes.size();
    result.tail = bytes.right(TailBytes);
    // Whether the whole file is in the format, also the part not read.
    bool headInFormat = true;
    if (offset > 0 && !rtf) {
        FormatCheck check;
        file.check(offset, check, result.digest);
        check.add(bytes);
        headInFormat = check.inFormat();
    }
    result.digest.add(bytes);
    if (offset > 0) {
        // Start at a character: skip the rest of a sequence cut in two.
        qsizetype skip = 0;
        while (skip < 3 && skip < bytes.size() && (uchar(bytes.at(skip)) & 0xC0) == 0x80)
            ++skip;
        bytes.remove(0, skip);
    }

    bool decoded = false;
    if (rtf) {
        if (std::optional<QString> text = decodeRtf(bytes)) {
            result.text = std::move(*text);
            result.format = Format::Rtf;
            decoded = true;
        }
    }
    // Plain-text decoding cannot fail (every byte has a character), so a
    // plain-text file is never tried as RTF: a .txt file holding RTF source
    // shows that source, and an .rtf file holding anything else shows it as
    // text.
    if (!decoded) {
        PlainDecoded plain = decodePlainDetailed(bytes);
        result.text = std::move(plain.text);
        result.canonical = offset == 0 ? plain.canonical : headInFormat;
        result.format = Format::PlainText;
    }
    if (offset > 0 || (maxChars && result.text.size() > *maxChars)) {
        // A window that does not reach the file's start begins inside a
        // line whatever its length: that line is dropped.
        result.text.remove(0, tailStart(result.text, std::min(*maxChars, result.text.size() - 1)));
        result.cut = true;
    }
    return result;
}

QString readText(const QString& fileName)
{
    return readTextDetailed(fileName).text;
}

SlotFileChanged::SlotFileChanged(const QString& fileName)
    : AppError(AppError::withName(
          QCoreApplication::translate("SlotFileAtomic",
                                      "%s was changed by another program and was not overwritten"),
          fileName))
{
}

} // namespace SlotFile
