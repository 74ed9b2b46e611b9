#include "core/slotfile/SlotFileWriter.h"
#include "base/Translations.h"

#include "base/AppError.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

const TranslatedText CannotCreate{"SlotFile",
                                  QT_TRANSLATE_NOOP("SlotFile", "Cannot create file %s")};
const TranslatedText CannotOpen{"SlotFile", QT_TRANSLATE_NOOP("SlotFile", "Cannot open file %s")};
const TranslatedText FailedToSave{"SlotFile",
                                  QT_TRANSLATE_NOOP("SlotFile", "Failed to Save Stream")};

// The bytes of text that starts at character offset of the file's text.
QByteArray encodeAt(qsizetype offset, const QString& text)
{
    return offset == 0 ? SlotFile::encodePlain(text) : SlotFile::encodePlainContinued(text);
}

SlotFileWriter::DiskState toState(const SlotFile::FileState& st)
{
    return {st.device, st.inode, st.size, st.mtimeNs, st.ctimeNs};
}

std::optional<SlotFileWriter::DiskState> stateOf(const QString& fileName)
{
    const std::optional<SlotFile::FileState> st = SlotFile::fileState(fileName);
    return st ? std::optional(toState(*st)) : std::nullopt;
}

QChar lastOf(QStringView text)
{
    return text.isEmpty() ? QChar() : text.back();
}

bool isPlain(const QString& fileName)
{
    return SlotFile::formatFor(fileName) == SlotFile::Format::PlainText;
}

} // namespace

QString SlotFileWriter::read(std::optional<qsizetype> maxChars)
{
    const QString& fileName = m_file;
    // Under the lock, so that another Clipstow's append is never read half
    // written. The state is taken before reading: a change during the read
    // by anyone else makes it differ from the file afterwards, so
    // changedOnDisk reports it.
    const SlotFile::WriteLock lock(fileName);
    noteLock(lock);
    setAsideTornAppend(fileName, lock);
    dropKnownBytesCheck();
    const std::optional<DiskState> before = stateOf(fileName);
    SlotFile::ReadResult result = SlotFile::readTextDetailed(fileName, maxChars);
    const bool complete = before && before->size == result.size;
    remember(fileName, complete ? before : std::nullopt, result.text.size(), lastOf(result.text),
             complete && result.format == SlotFile::Format::PlainText && result.canonical, complete,
             result.digest);
    m_tail = complete ? std::move(result.tail) : QByteArray();
    m_appendOnly = result.cut;
    return std::move(result.text);
}

std::optional<QString> SlotFileWriter::readAdded(const QString& fileName)
{
    const SlotFile::WriteLock lock(fileName);
    noteLock(lock);
    if (setAsideTornAppend(fileName, lock))
        return std::nullopt;
    // Only a plain-text file that is the one last read or written, longer
    // now, whose known part ends with a whole character that no byte added
    // can change (not a CR, not inside a sequence).
    const std::optional<DiskState> now = stateOf(fileName);
    if (!m_inStep || !knownBytesIntact() || !m_disk || !now || fileName != m_fileName ||
        !isPlain(fileName) || now->device != m_disk->device || now->inode != m_disk->inode ||
        now->size <= m_disk->size || m_disk->size == 0 || !m_digest ||
        m_digest->size() != m_disk->size ||
        m_tail.size() != std::min<qint64>(m_disk->size, SlotFile::TailBytes) ||
        m_tail.back() == '\r' || uchar(m_tail.back()) >= 0x80)
        return std::nullopt;
    qint64 size = 0;
    const int fd = SlotFile::openRegularFile(fileName, O_RDONLY, CannotOpen, size);
    // The last bytes known are compared at once (an edit near the end, as
    // editors make, is read whole before the capture); every other byte
    // below.
    QByteArray added;
    try {
        QByteArray tail(m_tail.size(), Qt::Uninitialized);
        const qsizetype n =
            SlotFile::readAt(fd, m_disk->size - tail.size(), tail.data(), tail.size(), fileName);
        if (n == tail.size() && tail == m_tail)
            added = SlotFile::readToEnd(fd, m_disk->size, size - m_disk->size, fileName);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const std::optional<SlotFile::FileState> st =
        added.isEmpty() ? std::nullopt : SlotFile::fileState(fd);
    if (!st) {
        ::close(fd);
        return std::nullopt;
    }
    const SlotFile::PlainDecoded decoded = SlotFile::decodePlainContinued(added);
    // Every old byte is still there as it was, not only the last ones: a
    // line changed in place anywhere before them would otherwise stay old
    // in the slot's text, and a whole write would put it back. Added bytes
    // in the format are appended to as they are, so the old ones are
    // compared beside that; others make the capture write the file whole,
    // so they are compared first.
    const qint64 known = m_disk->size;
    const SlotFile::Digest expected = *m_digest;
    auto compare = [fileName, known, expected](int checked) {
        try {
            const bool same = SlotFile::digestOf(checked, known, fileName) == expected;
            ::close(checked);
            return same;
        } catch (...) {
            ::close(checked);
            return false;
        }
    };
    if (!(m_appendable && decoded.canonical)) {
        if (!compare(fd))
            return std::nullopt;
    } else {
        try {
            m_knownBytesCheck = std::async(std::launch::async, compare, fd);
        } catch (const std::system_error&) {
            // No thread to be had: compared here, as a capture that
            // failed over it would keep its text nowhere.
            if (!compare(fd))
                return std::nullopt;
        }
    }
    // Known up to where the bytes were read; a later append shows as more.
    DiskState state = toState(*st);
    state.size = m_disk->size + added.size();
    SlotFile::Digest digest = *m_digest;
    digest.add(added);
    remember(fileName, state, m_textLength + decoded.text.size(),
             decoded.text.isEmpty() ? m_lastChar : decoded.text.back(),
             m_appendable && decoded.canonical, true, digest);
    m_tail = (m_tail + added).right(SlotFile::TailBytes);
    return decoded.text;
}

bool SlotFileWriter::knownBytesIntact() const
{
    if (m_knownBytesCheck.valid() && !m_knownBytesCheck.get())
        m_knownBytesChanged = true;
    return !m_knownBytesChanged;
}

void SlotFileWriter::dropKnownBytesCheck()
{
    if (m_knownBytesCheck.valid())
        m_knownBytesCheck.wait();
    m_knownBytesCheck = {};
    m_knownBytesChanged = false;
}

bool SlotFileWriter::setAsideTornAppend(const QString& fileName, const SlotFile::WriteLock& lock)
{
    if (!lock.held())
        return false; // the one appending may still be at it
    const QString aside = lock.setAsideTornAppend(fileName);
    if (aside.isEmpty())
        return false;
    m_tornAside = aside;
    return true;
}

void SlotFileWriter::noteLock(const SlotFile::WriteLock& lock)
{
    m_lockProblem = lock.held() ? QString() : lock.problem();
}

void SlotFileWriter::noteRead()
{
    dropKnownBytesCheck();
    const std::optional<DiskState> state = stateOf(m_file);
    remember(m_file, state, 0, QChar(), false, !state || state->size == 0);
    m_tail.clear();
    m_appendOnly = false;
}

void SlotFileWriter::write(const QString& text, const QFont& font,
                           std::optional<qsizetype> unchangedPrefixChars, Purpose purpose)
{
    if (unchangedPrefixChars)
        unchangedPrefixChars = std::min(*unchangedPrefixChars, text.size());
    save(
        unchangedPrefixChars, [&](qsizetype from) { return text.mid(from); }, font, purpose);
}

void SlotFileWriter::save(std::optional<qsizetype> unchangedPrefixChars,
                          const std::function<QString(qsizetype)>& textFrom, const QFont& font,
                          Purpose purpose)
{
    const QString& fileName = m_file;
    const SlotFile::WriteLock lock(fileName);
    noteLock(lock);
    // The file holds the first m_textLength characters of the text (or
    // more, when another program added to it), and the text only grew
    // after them: the new end may be appended. It is taken from the caller
    // before the file is looked at, so that nothing the caller does comes
    // between that look and the append.
    const bool onlyGrew = !m_fileName.isEmpty() && fileName == m_fileName && unchangedPrefixChars &&
                          *unchangedPrefixChars >= m_textLength;
    std::optional<QString> plainTail;
    if (onlyGrew && isPlain(fileName) && (m_appendOnly || purpose == Purpose::Capture))
        plainTail = textFrom(m_textLength);
    // The one look at the file before the write; the rename of a whole
    // rewrite looks again, just before it replaces the file.
    const std::optional<DiskState> now = stateOf(fileName);
    // (Appends need no answer of a check of the known bytes: they leave
    // those bytes as they are.)
    const bool unchanged = unchangedAt(now);
    const bool grown = now && onlyGrew;
    if (!isPlain(fileName)) {
        // An RTF document cannot take bytes at its end: text added there
        // is written with the file's whole text.
        if (grown && (!unchanged || m_appendOnly)) {
            appendRtf(textFrom(m_textLength), font, lock, unchanged, *now);
            return;
        }
    } else if (grown && plainTail) {
        const QString& tail = *plainTail;
        const QChar last = tail.isEmpty() ? m_lastChar : tail.back();
        // The file is exactly the slot file format's bytes for the text:
        // the new end is appended, and the file stays so.
        if (exactAppendAt(m_textLength, unchanged)) {
            appendBytes(encodeAt(m_textLength, tail), m_textLength + tail.size(), last, true, true,
                        false, lock);
            return;
        }
        // Another program wrote to the file since the slot read it (just
        // now, or the slot shows only its end): the capture goes after
        // their text, which the next read brings in.
        if (!unchanged && purpose == Purpose::Capture) {
            appendBytes(SlotFile::encodePlainContinued(tail), m_textLength + tail.size(), last,
                        false, false, false, lock);
            return;
        }
        // Bytes not in the format (other line ends, another code page, a
        // byte-order mark): the file is written once in the format, the
        // new end with it.
        if (m_appendOnly && unchanged) {
            rewriteFromFile(tail, lock, *now);
            return;
        }
    }
    // A whole rewrite, exact only over the text it was computed from.
    if (now && !(unchanged && knownBytesIntact()))
        throw SlotFile::SlotFileChanged(fileName);
    if (now && m_appendOnly)
        throw AppError::withName(
            QCoreApplication::translate(
                "SlotFileWriter", "%s is longer than the editor holds: only text added at its end "
                                  "can be saved"),
            fileName);
    if (!grown || purpose != Purpose::Capture || !isPlain(fileName)) {
        rewrite(textFrom(0), font, lock, now);
        return;
    }
    try {
        rewrite(textFrom(0), font, lock, now);
    } catch (const SlotFile::SlotFileChanged&) {
        // Another program added to the file (a shell's >>, which takes no
        // lock) while it was being brought into the format: the capture
        // goes after their text, which the next read brings in, and a later
        // capture brings the file into the format.
        const QString& tail = *plainTail;
        appendBytes(SlotFile::encodePlainContinued(tail), m_textLength + tail.size(),
                    tail.isEmpty() ? m_lastChar : tail.back(), false, false, false, lock);
    }
}

void SlotFileWriter::appendText(const QString& text, const QFont& font)
{
    const SlotFile::WriteLock lock(m_file);
    noteLock(lock);
    const std::optional<DiskState> now = stateOf(m_file);
    if (!isPlain(m_file) && now) {
        appendRtf(text, font, lock, unchangedAt(now) && knownBytesIntact(), *now);
    } else if (!isPlain(m_file)) {
        rewrite(text, font, lock, std::nullopt);
    } else {
        appendBytes(encodeAt(m_textLength, text), m_textLength + text.size(), lastOf(text), false,
                    false, true, lock);
        return;
    }
    m_inStep = false;
}

void SlotFileWriter::noteTextDiffers(std::optional<qsizetype> textLength)
{
    m_appendable = false;
    if (textLength)
        m_textLength = *textLength;
}

bool SlotFileWriter::unchangedAt(const std::optional<DiskState>& now) const
{
    return m_inStep && !m_fileName.isEmpty() && m_file == m_fileName && now == m_disk;
}

bool SlotFileWriter::exactAppendAt(qsizetype tailPosition, bool unchanged) const
{
    if (!m_appendable || !m_disk || tailPosition != m_textLength || !isPlain(m_file))
        return false;
    // Encoding is local except across a CR LF pair or a surrogate pair: when
    // the old text ends in the first half of one, only a rewrite is exact.
    if (m_lastChar == QLatin1Char('\r') || m_lastChar.isHighSurrogate())
        return false;
    return unchanged;
}

void SlotFileWriter::appendBytes(const QByteArray& bytes, qsizetype textLength, QChar lastChar,
                                 bool appendable, bool inStep, bool create,
                                 const SlotFile::WriteLock& lock)
{
    const QString& fileName = m_file;
    qint64 sizeBefore = 0;
    const int fd = SlotFile::openRegularFile(fileName, O_WRONLY | O_APPEND | (create ? O_CREAT : 0),
                                             CannotCreate, sizeBefore);
    std::optional<SlotFile::FileState> st;
    lock.recordAppend(fd, sizeBefore, bytes);
    // Written in one piece as far as the system allows; where it ends tells
    // where it went (another program may append meanwhile, without the
    // lock).
    qsizetype written = 0;
    bool ok = true;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written,
                                  size_t(std::min<qsizetype>(bytes.size() - written, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        written += std::max<ssize_t>(n, 0);
    }
    if (ok && !bytes.isEmpty())
        ok = SlotFile::syncData(fd);
    const int error = errno;
    // (The offset of a file opened to append moves only with a write.)
    const qint64 end = written > 0 ? ::lseek(fd, 0, SEEK_CUR) : sizeBefore;
    const qint64 start = end - written;
    if (!ok) {
        // Take back what got through, so the file holds its old bytes only
        // (unless someone appended after them: theirs stay, and so do
        // these); then it is still in step with the text as it was.
        const bool last = (st = SlotFile::fileState(fd)) && st->size == end;
        const bool restored = last && ::ftruncate(fd, start) == 0 && (st = SlotFile::fileState(fd));
        ::close(fd);
        if (restored)
            lock.forgetAppend();
        if (restored && m_inStep && inStep && start == sizeBefore)
            m_disk = toState(*st);
        else
            m_inStep = false;
        throw AppError::forFile(error == EFBIG ? CannotCreate : FailedToSave, fileName, error);
    }
    // On the disk: the append is no longer under way, so that what the user
    // or another program does to these bytes later is never taken for one
    // cut off.
    if (!bytes.isEmpty())
        lock.forgetAppend();
    const bool statOk = bool(st = SlotFile::fileState(fd));
    // Another program's bytes between the old end and these: not in the
    // slot's text, so the slot reads the file again.
    const bool interleaved = !m_disk || start != m_disk->size;
    std::optional<DiskState> state;
    if (statOk) {
        state = toState(*st);
        state->size = end;
    }
    QByteArray tail;
    std::optional<SlotFile::Digest> digest;
    if (!interleaved) {
        tail = (m_tail + bytes).right(SlotFile::TailBytes);
        if (m_digest && m_digest->size() == sizeBefore) {
            digest = std::move(m_digest);
            digest->add(bytes);
        }
    } else {
        tail.resize(std::min<qint64>(end, SlotFile::TailBytes));
        if (SlotFile::readSome(fd, end - tail.size(), tail.data(), tail.size()) != tail.size())
            tail.clear();
    }
    ::close(fd);
    remember(fileName, state, textLength, lastChar, appendable && !interleaved,
             inStep && statOk && !interleaved, digest);
    m_tail = tail;
}

void SlotFileWriter::appendRtf(const QString& tail, const QFont& font,
                               const SlotFile::WriteLock& lock, bool unchanged,
                               const DiskState& before)
{
    // An RTF document cannot take bytes at its end: its whole text is read
    // and written again with the tail added, never the slot's partial view.
    const QString text = SlotFile::readText(m_file) + tail;
    rewrite(text, font, lock, before);
    m_textLength = m_textLength + tail.size();
    m_lastChar = lastOf(text);
    m_inStep = unchanged;
}

void SlotFileWriter::rewriteFromFile(const QString& tail, const SlotFile::WriteLock& lock,
                                     const DiskState& expected)
{
    // The slot shows only the file's end, so the text written is the
    // file's own, read whole, with the new end after it. The view still
    // shows the end of that text: only the record of the file changes.
    const qsizetype viewLength = m_textLength + tail.size();
    const QChar last = tail.isEmpty() ? m_lastChar : tail.back();
    rewrite(SlotFile::readText(m_file) + tail, QFont(), lock, expected);
    m_textLength = viewLength;
    m_lastChar = last;
    m_appendOnly = true;
}

void SlotFileWriter::rewrite(const QString& text, const QFont& font,
                             const SlotFile::WriteLock& lock, std::optional<DiskState> expected)
{
    const QString& fileName = m_file;
    const bool plain = isPlain(fileName);
    const QByteArray bytes = plain ? SlotFile::encodePlain(text) : SlotFile::encodeRtf(text, font);
    qint64 carried = 0;
    try {
        // Checked once more just before the new file takes the old one's
        // place: a program that does not take the lock may have written
        // while the new bytes were prepared.
        carried = SlotFile::writeAtomically(fileName, bytes, lock,
                                            [&] { return stateOf(fileName) == expected; });
        lock.forgetAppend();
    } catch (const SlotFile::SlotFileChanged&) {
        m_inStep = false;
        throw;
    } catch (const AppError&) {
        // The old file is untouched; the next write replaces it whole.
        m_appendable = false;
        throw;
    }
    // Bytes another program appended meanwhile follow the text: the slot
    // reads them in.
    dropKnownBytesCheck();
    SlotFile::Digest digest;
    digest.add(bytes);
    remember(fileName, stateOf(fileName), text.size(), lastOf(text), plain, carried == 0, digest);
    m_tail = bytes.right(SlotFile::TailBytes);
    m_appendOnly = false;
}

bool SlotFileWriter::changedOnDisk() const
{
    const std::optional<DiskState> now = stateOf(m_file);
    if (!now) {
        // Missing (or not a regular file): changed only if something other
        // than a plain missing file is there.
        return QFile::exists(m_file);
    }
    return !(unchangedAt(now) && knownBytesIntact());
}

QString SlotFileWriter::takeTornAside()
{
    return std::exchange(m_tornAside, QString());
}

void SlotFileWriter::forget()
{
    dropKnownBytesCheck();
    remember(QString(), std::nullopt, 0, QChar(), false, false);
    m_tail.clear();
    m_appendOnly = false;
}

void SlotFileWriter::remember(const QString& fileName, std::optional<DiskState> state,
                              qsizetype textLength, QChar lastChar, bool appendable, bool inStep,
                              std::optional<SlotFile::Digest> digest)
{
    m_fileName = fileName;
    m_disk = state;
    // Only of all the bytes the file held, and only while it is in step.
    m_digest = inStep && state && digest && digest->size() == state->size ? std::move(digest)
                                                                          : std::nullopt;
    m_textLength = textLength;
    m_lastChar = lastChar;
    m_inStep = inStep;
    m_appendable = appendable && inStep && state.has_value();
}
