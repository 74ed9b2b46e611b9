#pragma once

#include "core/slotfile/SlotFile.h"

#include <QFont>
#include <QString>
#include <functional>
#include <optional>

// Writes one slot's file and remembers what the file held after the slot's
// last read or write, so that
// - a capture that only adds text at the end appends the new bytes instead
//   of rewriting a file of many megabytes,
// - the slot notices when another program changed the file since, and
// - nothing another program wrote to the file is ever written over.
//
// The file is the record. Text added at the end of the slot's text is
// appended to the file like any other program's, whatever the file's line
// breaks and code page, also when the file changed since it was last read
// (the next read then brings the slot up to date). A whole rewrite (the
// text changed before its end) replaces the file only while it is still
// exactly what the slot last read or wrote; otherwise it raises
// SlotFileChanged and the caller reads the file again first. Every write
// holds SlotFile::WriteLock, which every Clipstow process takes for its
// writes, from that check to the end of the write.
//
// A file read only in part (its text longer than the slot may hold) is
// append-only: text added at the end is appended, and nothing else is ever
// written to it, so the part not read cannot be lost.
//
// The writer keeps no copy of the text: only its length and last character,
// which is all an exact append needs to know about it.
class SlotFileWriter final
{
public:
    enum class Method
    {
        None,
        Appended,
        Rewritten
    };

    // Reads the file (SlotFile::readTextDetailed) and remembers it. With
    // maxChars, a longer text gives only its end and makes the slot
    // append-only (appendOnly()); any other read ends that. Raises the
    // errors of SlotFile::readText.
    QString read(const QString& fileName, std::optional<qsizetype> maxChars = std::nullopt);

    // For a caller that read the file itself, or takes it as the slot's
    // without reading it: remembers the file as it is now (missing, if so),
    // holding exactly the first heldChars characters of the slot's text.
    // Text added after them is appended; a file that holds text when
    // heldChars is 0 counts as changed (changedOnDisk), so the slot reads it
    // before a whole rewrite could replace it.
    void noteRead(const QString& fileName, qsizetype heldChars = 0);

    // Writes text ('\n' or CR LF line breaks) to fileName in the format its
    // name selects. unchangedPrefixChars: how many leading characters of
    // text are the same as in the text of the last read or write; nullopt
    // when unknown. Raises the errors of SlotFile::writeAtomically, and
    // SlotFileChanged (see the class comment).
    void write(const QString& fileName, const QString& text, const QFont& font,
               std::optional<qsizetype> unchangedPrefixChars = std::nullopt);

    // The same for a caller that holds the text elsewhere: textFrom(n)
    // gives the text from its n-th character to its end ('\n' breaks), and
    // is asked only for the part that is written.
    void save(const QString& fileName, std::optional<qsizetype> unchangedPrefixChars,
              const std::function<QString(qsizetype)>& textFrom, const QFont& font);

    // Appends text ('\n' breaks) to the end of the file whatever the file
    // holds and whatever the slot's text is: for a capture the slot cannot
    // hold. An RTF file is read whole, the text added and the file
    // rewritten. The file is then taken as changed (changedOnDisk), so the
    // slot reads it again.
    void appendText(const QString& fileName, const QString& text, const QFont& font);

    // Appends tail ('\n' line breaks), the text that follows the first
    // tailPosition characters of the slot's text, when the file can take it
    // byte for byte: the text of the last read or write was tailPosition
    // characters long and is unchanged (the caller vouches for that), the
    // file is still exactly what this writer last saw and holds the
    // canonical encoding of that text. Returns false, touching nothing,
    // when it cannot; the caller then writes the whole text. A failure while
    // appending cuts the file back to its old bytes and raises "Failed to
    // Save Stream".
    bool appendIfUnchanged(const QString& fileName, qsizetype tailPosition, const QString& tail);

    // After read(): the caller keeps the text in a form that differs from
    // the one read (a slot editor stores some characters or breaks its own
    // way), so the file is no longer known to be its encoding and the next
    // write replaces it whole. The file itself stays known (changedOnDisk).
    // textLength: the length of the text as the caller keeps it, when it
    // differs from the one read.
    void noteTextDiffers(std::optional<qsizetype> textLength = std::nullopt);

    // True when a file named fileName exists and is not the one this writer
    // last read or wrote (another program replaced or changed it, or this
    // writer never saw it). A missing file gives false: there is nothing
    // to read back.
    bool changedOnDisk(const QString& fileName) const;

    // Drops what is remembered; an existing file is then taken as changed.
    void forget();

    // The last read gave only the file's end: only appends reach the file.
    bool appendOnly() const { return m_appendOnly; }

    // How the last successful write reached the disk.
    Method lastMethod() const { return m_lastMethod; }

    struct DiskState
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 mtimeNs = 0;
        qint64 ctimeNs = 0;
        bool operator==(const DiskState&) const = default;
    };

private:
    // The file is the one last read or written and nobody changed it since.
    bool unchangedOnDisk(const QString& fileName) const;
    bool exactAppendAt(const QString& fileName, qsizetype tailPosition) const;
    // Appends bytes while the lock is held (creating a missing file when
    // create is set). The text then holds textLength characters ending in
    // lastChar; the file stays its exact encoding when appendable, and in
    // step with it when it was before (inStep).
    void appendBytes(const QString& fileName, const QByteArray& bytes, qsizetype textLength,
                     QChar lastChar, bool appendable, bool inStep, bool create);
    void appendRtf(const QString& fileName, const QString& tail, const QFont& font,
                   const SlotFile::WriteLock& lock);
    // Replaces the file while it is still in the state expected (nullopt:
    // missing), else raises SlotFileChanged.
    void rewrite(const QString& fileName, const QString& text, const QFont& font,
                 const SlotFile::WriteLock& lock, std::optional<DiskState> expected);
    void remember(const QString& fileName, std::optional<DiskState> state, qsizetype textLength,
                  QChar lastChar, bool appendable, bool inStep = true);

    QString m_fileName;
    // The file after the last read or write; nullopt: there was none.
    std::optional<DiskState> m_disk;
    // m_disk is what the file held at the last read or write, and the text
    // was then in step with it.
    bool m_inStep = false;
    // Characters of the slot's text the file holds.
    qsizetype m_textLength = 0;
    // Its last character (null for an empty text): an append after the
    // first half of a CR LF or surrogate pair would not be exact.
    QChar m_lastChar;
    // The file's bytes are exactly the encoding of those characters.
    bool m_appendable = false;
    bool m_appendOnly = false;
    Method m_lastMethod = Method::None;
};
