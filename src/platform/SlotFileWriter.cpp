#include "platform/SlotFileWriter.h"

#include "core/AppError.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SlotFileWriter::DiskState toState(const struct stat& st)
{
    SlotFileWriter::DiskState s;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.ctimeNs = qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    return s;
}

std::optional<SlotFileWriter::DiskState> stateOf(const QString& fileName)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return toState(st);
}

QChar lastOf(QStringView text)
{
    return text.isEmpty() ? QChar() : text.back();
}

} // namespace

QString SlotFileWriter::read(const QString& fileName)
{
    // The state is taken before reading: a change during the read makes it
    // differ from the file afterwards, so changedOnDisk reports it.
    const std::optional<DiskState> before = stateOf(fileName);
    SlotFile::ReadResult result = SlotFile::readTextDetailed(fileName);
    const bool complete = before && before->size == result.size;
    remember(fileName, complete ? before : std::nullopt, result.text.size(), lastOf(result.text),
             complete && result.format == SlotFile::Format::PlainText && result.canonical);
    return std::move(result.text);
}

void SlotFileWriter::noteRead(const QString& fileName)
{
    remember(fileName, stateOf(fileName), 0, QChar(), false);
}

void SlotFileWriter::write(const QString& fileName, const QString& text, const QFont& font,
                           std::optional<qsizetype> unchangedPrefixChars)
{
    const qsizetype known = m_textLength;
    if (unchangedPrefixChars && *unchangedPrefixChars >= known && text.size() >= known &&
        canAppendAt(fileName, known) && appendIfUnchanged(fileName, known, text.sliced(known)))
        return;
    try {
        SlotFile::writeText(fileName, text, font);
    } catch (const AppError&) {
        // The old file is untouched, but the text no longer matches it.
        m_appendable = false;
        throw;
    }
    remember(fileName, stateOf(fileName), text.size(), lastOf(text),
             SlotFile::formatFor(fileName) == SlotFile::Format::PlainText);
    m_lastMethod = Method::Rewritten;
}

bool SlotFileWriter::canAppendAt(const QString& fileName, qsizetype tailPosition) const
{
    if (!m_appendable || !m_disk || fileName != m_fileName || tailPosition != m_textLength ||
        SlotFile::formatFor(fileName) != SlotFile::Format::PlainText)
        return false;
    // Encoding is local except across a CR LF pair or a surrogate pair: when
    // the old text ends in the first half of one, only a rewrite is exact.
    if (m_lastChar == QLatin1Char('\r') || m_lastChar.isHighSurrogate())
        return false;
    return stateOf(fileName) == m_disk;
}

bool SlotFileWriter::appendIfUnchanged(const QString& fileName, qsizetype tailPosition,
                                       const QString& tail)
{
    if (!canAppendAt(fileName, tailPosition))
        return false;
    const QChar last = tail.isEmpty() ? m_lastChar : tail.back();
    if (!appendBytes(fileName, SlotFile::encodePlain(tail), tailPosition + tail.size(), last))
        return false;
    m_lastMethod = Method::Appended;
    return true;
}

bool SlotFileWriter::appendBytes(const QString& fileName, const QByteArray& bytes,
                                 qsizetype textLength, QChar lastChar)
{
    const int fd =
        ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || toState(st) != *m_disk) {
        ::close(fd);
        return false;
    }
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        data += n;
        left -= n;
    }
    if (ok && !bytes.isEmpty())
        ok = ::fdatasync(fd) == 0;
    if (!ok) {
        // Take back what got through, so the file holds its old text only.
        (void)!::ftruncate(fd, m_disk->size);
        ::close(fd);
        m_disk.reset();
        m_appendable = false;
        throw AppError(QStringLiteral("Failed to Save Stream"));
    }
    const bool statOk = ::fstat(fd, &st) == 0;
    ::close(fd);
    remember(fileName, statOk ? std::optional(toState(st)) : std::nullopt, textLength, lastChar,
             statOk);
    return true;
}

bool SlotFileWriter::changedOnDisk(const QString& fileName) const
{
    const std::optional<DiskState> now = stateOf(fileName);
    if (!now) {
        // Missing (or not a regular file): changed only if something other
        // than a plain missing file is there.
        return QFile::exists(fileName);
    }
    return fileName != m_fileName || !m_disk || *now != *m_disk;
}

void SlotFileWriter::forget()
{
    remember(QString(), std::nullopt, 0, QChar(), false);
    m_lastMethod = Method::None;
}

void SlotFileWriter::remember(const QString& fileName, std::optional<DiskState> state,
                              qsizetype textLength, QChar lastChar, bool appendable)
{
    m_fileName = fileName;
    m_disk = state;
    m_textLength = textLength;
    m_lastChar = lastChar;
    m_appendable = appendable && state.has_value();
}
