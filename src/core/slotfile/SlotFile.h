#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <functional>
#include <optional>

#include "base/AppError.h"

// The bytes of a slot file and how they reach the disk.
//
// Plain text is UTF-8 without a byte-order mark, every line break CR LF,
// nothing added. Reading accepts UTF-8 and falls back to Windows-1252 for
// bytes that are not valid UTF-8. A file whose own name's extension is "rtf"
// (any case) holds one RTF document.
namespace SlotFile {

enum class Format
{
    PlainText,
    Rtf
};

// By the extension of the file's own name: "rtf" in any case selects RTF.
Format formatFor(const QString& fileName);

// text uses '\n' for line breaks (as QPlainTextEdit gives it); the result
// has CR LF. A text with CR LF or lone CR is normalised first. These are
// the bytes of a whole file: a text that begins with U+FEFF gets a
// byte-order mark before it, which reading drops.
QByteArray encodePlain(const QString& text);
// The same for text written after other bytes of a file: never a mark.
QByteArray encodePlainContinued(const QString& text);
// Each CR LF, lone CR and lone LF becomes '\n'. Never fails.
// A UTF-8 byte-order mark at the start is dropped; bytes of value 0 are kept
// as U+0000 so that a write gives them back unchanged.
QString decodePlain(const QByteArray& bytes);

QByteArray encodeRtf(const QString& text, const QFont& font);
// The text of an RTF document with '\n' line breaks; nullopt when the bytes
// are not an RTF document.
std::optional<QString> decodeRtf(const QByteArray& bytes);

// Reads the text in the format its name selects; a file named for RTF that
// holds no RTF document is read as plain text (plain text is never tried as
// RTF). Raises AppError "Cannot open file %s" / "Failed to Load Stream".
// Only a regular file is read: a FIFO, a device or a folder gives "Cannot
// open file %s" at once, without waiting for a writer.
QString readText(const QString& fileName);

// Replaces the file's contents with bytes without ever leaving a partial
// file: a temporary file in the same folder, flushed to disk and renamed
// over the old one, keeping its permissions; a symbolic link is written
// through to its target (one the kernel's protected_symlinks rule allows
// only); a new file is created 0600. Raises AppError "Cannot create file
// %s" (also when something other than a regular file has the name, or the
// file size limit is reached) or "Failed to Save Stream"; the old file
// stays.
void writeAtomically(const QString& fileName, const QByteArray& bytes);

// Encodes text in the format fileName selects and writes it atomically.
void writeText(const QString& fileName, const QString& text, const QFont& font);

// The lock every Clipstow process holds while it reads or writes a slot
// file, so that one process's check of what the file holds and its write
// that follows are never split by another's: an exclusive advisory lock
// (flock) on a file in the user's runtime folder, named after the slot
// file's folder and its own name, so it serves files that do not exist yet
// and survives a file being replaced by a rename. Only the user can open
// it. Waits a short moment at most while another process holds it; after
// that, or where there is no runtime folder, goes on without it rather than
// lose the write or freeze the program (problem() says why).
//
// The lock file also keeps the record of the last append made under it,
// so that an append cut off half way (the process killed) is recognised at
// the next read.
class WriteLock final
{
public:
    static constexpr int WaitLimitMs = 500;

    explicit WriteLock(const QString& fileName);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held() const { return m_fd >= 0; }
    // Why the lock is not held.
    const QString& problem() const { return m_problem; }

    // Before appending bytes at start of the file open as fd: records where
    // they go and what they are (one write into the lock file).
    void recordAppend(int fd, qint64 start, QByteArrayView bytes) const;
    // Once the append is on the disk, or was taken back, or after a write
    // of the whole file: no append is under way.
    void forgetAppend() const;
    // When the last append recorded for fileName never finished and was
    // cut off (the file ends between its start and its end, and the bytes
    // from its start are exactly the first ones it was writing): moves
    // what got through into "<fileName>.torn-<yyyyMMdd-HHmmss>"
    // (writeNewFile), cuts the file back to where the append started and
    // returns that file's name; else an empty text. A file changed since
    // in any other way is left as it is. Only while the lock is held.
    QString setAsideTornAppend(const QString& fileName) const;

private:
    int m_fd = -1;
    QString m_problem;
};

// writeAtomically for a caller that holds the file's lock. stillSame runs
// just before the new file takes the old one's place; when it returns false
// the old file stays and SlotFileChanged is raised. Bytes another program
// appended to the old file after that (without the lock) are carried to the
// end of the new one; returns how many.
qint64 writeAtomically(const QString& fileName, const QByteArray& bytes, const WriteLock& lock,
                       const std::function<bool()>& stillSame);

// Raised instead of replacing a slot file whose contents are no longer
// those the slot last read or wrote: another program changed it since.
// The caller reads the file again before a whole rewrite.
class SlotFileChanged final : public AppError
{
public:
    explicit SlotFileChanged(const QString& fileName);
};

// A digest of bytes given in pieces, in order (xxHash64): by which the
// bytes a file held can be told from any others without keeping them.
class Digest final
{
public:
    Digest();
    void add(QByteArrayView bytes);
    // Of all the bytes added so far; more may be added after.
    quint64 value() const;
    // How many bytes were added.
    qint64 size() const { return m_size; }
    bool operator==(const Digest& other) const
    {
        return m_size == other.m_size && value() == other.value();
    }

private:
    static constexpr int Stripe = 32;
    void stripe(const char* bytes);
    quint64 m_lanes[4];
    char m_pending[Stripe] = {};
    int m_pendingSize = 0;
    qint64 m_size = 0;
};
// The digest of the first size bytes of fd (fewer when it is shorter).
// Raises "Failed to Load Stream" for the file on an error.
Digest digestOf(int fd, qint64 size, const QString& fileName);

// What a read found, for callers that keep track of the file (SlotFileWriter).
struct ReadResult
{
    QString text;
    // The format the text was finally read in (after any fallback).
    Format format = Format::PlainText;
    // Plain text whose bytes are exactly encodePlain(text): valid UTF-8, no
    // byte-order mark (but before U+FEFF), every line break CR LF. Only
    // then can more text be appended to the file byte for byte. For a cut
    // read: the whole file's bytes, the part not read included.
    bool canonical = false;
    // Size of the file as read, in bytes.
    qint64 size = 0;
    // Only the file's end was read (see readTextDetailed).
    bool cut = false;
    // The file's last bytes (at most TailBytes), and the digest of all the
    // bytes read (the part only checked for the format included), by which
    // a later read can tell that the file only grew since
    // (SlotFileWriter::readAdded).
    QByteArray tail;
    Digest digest;
};
constexpr qsizetype TailBytes = 4096;
// With maxChars, a file whose text is longer gives only its end: as many of
// its last characters as fit, starting at the beginning of a line (or, when
// the last line alone is longer, its last maxChars characters), and cut set.
// Of a plain-text file only the bytes that can hold those characters are
// read (and the rest only checked for the format).
ReadResult readTextDetailed(const QString& fileName,
                            std::optional<qsizetype> maxChars = std::nullopt);

// Plain-text decoding with the canonical flag of ReadResult.
struct PlainDecoded
{
    QString text;
    bool canonical = false;
};
PlainDecoded decodePlainDetailed(const QByteArray& bytes);
// The same for bytes that follow others in a file: a byte-order mark at
// their start is a character (U+FEFF) there.
PlainDecoded decodePlainContinued(QByteArrayView bytes);

// Tells whether bytes, given in pieces in file order, are exactly what
// encodePlain gives for their text (valid UTF-8, no byte-order mark but
// before U+FEFF, every line break CR LF): what a file that is too long to
// decode is checked with.
class FormatCheck final
{
public:
    void add(QByteArrayView bytes);
    // At the end of the bytes: nothing left half way (a CR, a sequence).
    bool inFormat() const
    {
        return m_ok && !m_pendingCr && m_continuations == 0 &&
               (m_start != MarkBytes || m_seen == 6);
    }

private:
    static constexpr quint32 MarkBytes = 0xEFBBBF;
    bool m_ok = true;
    bool m_pendingCr = false;
    int m_seen = 0;
    quint32 m_start = 0;
    quint32 m_second = 0;
    int m_continuations = 0;
    // The range of the next continuation byte (it narrows after some leads).
    uchar m_low = 0x80;
    uchar m_high = 0xBF;
};

// The Windows-1252 character of a byte (bytes without one map to the C1
// control of the same value), and the byte of a character (-1 when none).
char16_t cp1252ToUnicode(unsigned char byte);
int unicodeToCp1252(char16_t ch);

// The slot file code's own access to the disk.
// Opens fileName with flags (as for open(2); close-on-exec, no controlling
// terminal and non-blocking are added, and a file O_CREAT makes is 0600),
// following links only where the kernel's protected_symlinks rule allows
// (never another user's link in a sticky folder anyone may write to), only
// as a regular file: a FIFO, a device or a folder would block or never
// end. Sets size to the file's size and returns the descriptor, which the
// caller closes. Raises AppError errorText for the file when it cannot be
// opened or is not a regular file.
int openRegularFile(const QString& fileName, int flags, const QString& errorText, qint64& size);
// Reads up to size bytes at offset at of fd, going on after signals;
// returns how many (0 at the end). Raises "Failed to Load Stream" for the
// file on an error.
qsizetype readAt(int fd, qint64 at, char* data, qsizetype size, const QString& fileName);
// The bytes of fd from offset to its end, about expected of them, reading on
// as long as the file grows.
QByteArray readToEnd(int fd, qint64 offset, qint64 expected, const QString& fileName);

// Writes all of bytes to fd, going on after signals; false on an error
// (errno says which).
bool writeAll(int fd, QByteArrayView bytes);

// The rest of what the system is asked about files (SlotFileAtomic.cpp,
// SlotFileAtomicWindows.cpp). What tells one version of a file from
// another: the file itself (device and inode, or volume and file index),
// its size and its last change.
struct FileState
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
};
std::optional<FileState> fileState(int fd);
// A regular file's, following links; nullopt for anything else.
std::optional<FileState> fileState(const QString& fileName);
// Puts fd's data on the disk; false (errno set) when that fails.
bool syncData(int fd);
// Reads up to size bytes at offset at, without moving fd's offset: the
// count read (0 at the end), -1 with errno set on failure.
qsizetype readSome(int fd, qint64 at, char* data, qsizetype size);

// Writes bytes to a new file named baseName, created 0600 and never opened
// through a link or over a file that is there: when the name is taken,
// "-2", "-3", ... is added. Returns the name used. Raises "Cannot create
// file %s" / "Failed to Save Stream"; nothing is left behind then.
QString writeNewFile(const QString& baseName, QByteArrayView bytes);

} // namespace SlotFile
