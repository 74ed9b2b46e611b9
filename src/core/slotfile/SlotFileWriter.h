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
// The file is the record. Every write leaves it in the slot file format (see
// SlotFile): a whole write (Purpose::Whole) writes the text whole; a capture
// appends its text while the file is exactly the format's bytes for the text
// before it, and otherwise writes the file whole once (or, when another
// program adds to the file meanwhile, appends after their text). A whole
// rewrite replaces the file only while it is still exactly what the slot
// last read or wrote; otherwise it raises SlotFileChanged and the caller
// reads the file again first. Every write holds SlotFile::WriteLock, which every
// Clipstow process takes for its writes, from that check to the end of the
// write.
//
// A file read only in part (its text longer than the slot may hold) is
// append-only: text added at the end is appended (or, to bring the file into
// the format, written with the file's whole text read back), and nothing
// else is ever written to it, so the part not read cannot be lost.
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

    // When the file only grew since the slot's last read or write (the same
    // file, every byte known unchanged), reads only the bytes added and
    // returns their text, which the slot's text is to be followed by.
    // nullopt when the file
    // changed otherwise, or the bytes cannot be read on their own (RTF, a
    // known part that ends in a CR or a non-ASCII byte): the caller reads
    // it whole. Raises "Cannot open file %s" / "Failed to Load Stream".
    std::optional<QString> readAdded(const QString& fileName);

    // For a slot that takes the file as it is now (missing, if so) without
    // reading it: a file that holds text then counts as changed
    // (changedOnDisk), so the slot reads it before a whole rewrite could
    // replace it, and a capture goes after its text.
    void noteRead(const QString& fileName);

    // What a write is for.
    enum class Purpose
    {
        // The slot's text, whole, in the format (Save, Clear, ...): a file
        // whose bytes are already exactly that is written again all the same.
        Whole,
        // Text added at the end (a capture): appended while the file is
        // exactly the format's bytes for the text before it; a file that is
        // not (other line ends, another code page) is written whole once, in
        // the format, and the appends go on from there.
        Capture
    };

    // Writes text ('\n' or CR LF line breaks) to fileName in the format its
    // name selects. unchangedPrefixChars: how many leading characters of
    // text are the same as in the text of the last read or write; nullopt
    // when unknown. Raises the errors of SlotFile::writeAtomically, and
    // SlotFileChanged (see the class comment).
    void write(const QString& fileName, const QString& text, const QFont& font,
               std::optional<qsizetype> unchangedPrefixChars = std::nullopt,
               Purpose purpose = Purpose::Whole);

    // The same for a caller that holds the text elsewhere: textFrom(n)
    // gives the text from its n-th character to its end ('\n' breaks), and
    // is asked only for the part that is written.
    void save(const QString& fileName, std::optional<qsizetype> unchangedPrefixChars,
              const std::function<QString(qsizetype)>& textFrom, const QFont& font,
              Purpose purpose);

    // Appends text ('\n' breaks) to the end of the file whatever the file
    // holds and whatever the slot's text is, in the file's own way. An RTF
    // file is read whole, the text added and the file rewritten. The file
    // is then taken as changed (changedOnDisk), so the slot reads it again.
    void appendText(const QString& fileName, const QString& text, const QFont& font);

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
    // Why the last read or write went ahead without its lock; empty when it
    // held it.
    const QString& lockProblem() const { return m_lockProblem; }
    // The file a read since the last call moved a capture into that was cut
    // off while it was appended (WriteLock::setAsideTornAppend); empty when
    // none.
    QString takeTornAside();

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
                     QChar lastChar, bool appendable, bool inStep, bool create,
                     const SlotFile::WriteLock& lock);
    // Under the lock: an append cut off is set aside; tells whether one was.
    bool setAsideTornAppend(const QString& fileName, const SlotFile::WriteLock& lock);
    void noteLock(const SlotFile::WriteLock& lock);
    void appendRtf(const QString& fileName, const QString& tail, const QFont& font,
                   const SlotFile::WriteLock& lock);
    // For a slot that shows only the file's end: the file's whole text read
    // back and written in the format, with tail after it.
    void rewriteFromFile(const QString& fileName, const QString& tail,
                         const SlotFile::WriteLock& lock, const DiskState& expected);
    // Replaces the file while it is still in the state expected (nullopt:
    // missing), else raises SlotFileChanged.
    void rewrite(const QString& fileName, const QString& text, const QFont& font,
                 const SlotFile::WriteLock& lock, std::optional<DiskState> expected);
    void remember(const QString& fileName, std::optional<DiskState> state, qsizetype textLength,
                  QChar lastChar, bool appendable, bool inStep = true,
                  std::optional<SlotFile::Digest> digest = std::nullopt);

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
    // The file's last bytes as known (at most SlotFile::TailBytes), and the
    // digest of all its bytes while in step: what tells that it only grew
    // since.
    QByteArray m_tail;
    std::optional<SlotFile::Digest> m_digest;
    Method m_lastMethod = Method::None;
    QString m_lockProblem;
    QString m_tornAside;
};
