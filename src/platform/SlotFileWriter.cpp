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

} // namespace

QString SlotFileWriter::read(const QString& fileName)
{
    // The state is taken before reading: a change during the read makes it
    // differ from the file afterwards, so changedOnDisk reports it.
    const std::optional<DiskState> before = stateOf(fileName);
    SlotFile::ReadResult result = SlotFile::readTextDetailed(fileName);
    const bool complete = before && before->size == result.size;
    remember(fileName, complete ? before : std::nullopt, result.text.size(),
             complete && result.format == SlotFile::Format::PlainText && result.canonical);
    return std::move(result.text);
}

void SlotFileWriter::noteRead(const QString& fileName)
{
    remember(fileName, stateOf(fileName), 0, false);
}

void SlotFileWriter::write(const QString& fileName, const QString& text, const QFont& font,
                           std::optional<qsizetype> unchangedPrefixChars)
{
    if (tryAppend(fileName, text, unchangedPrefixChars)) {
        m_lastMethod = Method::Appended;
        return;
    }
    const SlotFile::Format format = SlotFile::formatFor(fileName);
    try {
        SlotFile::writeAtomically(fileName, format == SlotFile::Format::Rtf
                                                ? SlotFile::encodeRtf(text, font)
                                                : SlotFile::encodePlain(text));
    } catch (const AppError&) {
        // The old file is untouched, but the text no longer matches it.
        m_appendable = false;
        throw;
    }
    remember(fileName, stateOf(fileName), text.size(), format == SlotFile::Format::PlainText);
    m_lastMethod = Method::Rewritten;
}

bool SlotFileWriter::tryAppend(const QString& fileName, const QString& text,
                               std::optional<qsizetype> unchangedPrefixChars)
{
    if (!m_appendable || !m_disk || fileName != m_fileName || !unchangedPrefixChars ||
        *unchangedPrefixChars < m_textLength || text.size() < m_textLength ||
        SlotFile::formatFor(fileName) != SlotFile::Format::PlainText)
        return false;
    // Encoding is local except across a CR LF pair or a surrogate pair: when
    // the old text ends in the first half of one, only a rewrite is exact.
    if (m_textLength > 0) {
        const QChar last = text.at(m_textLength - 1);
        if (last == QLatin1Char('\r') || last.isHighSurrogate())
            return false;
    }
    if (stateOf(fileName) != m_disk)
        return false;
    const QByteArray suffix =
        SlotFile::encodePlain(QStringView(text).sliced(m_textLength).toString());

    const int fd =
        ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || toState(st) != *m_disk) {
        ::close(fd);
        return false;
    }
    const char* data = suffix.constData();
    qsizetype left = suffix.size();
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
    if (ok && suffix.size() > 0)
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
    remember(fileName, statOk ? std::optional(toState(st)) : std::nullopt, text.size(), statOk);
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
    remember(QString(), std::nullopt, 0, false);
    m_lastMethod = Method::None;
}

void SlotFileWriter::remember(const QString& fileName, std::optional<DiskState> state,
                              qsizetype textLength, bool appendable)
{
    m_fileName = fileName;
    m_disk = state;
    m_textLength = textLength;
    m_appendable = appendable && state.has_value();
}
