#pragma once

#include "core/slotfile/SlotFile.h"

#include <QFont>
#include <QString>
#include <optional>

// Writes one slot's file and remembers what the file held after the slot's
// last read or write, so that
// - a capture that only adds text at the end appends the new bytes instead
//   of rewriting a file of many megabytes, and
// - the slot notices when another program changed the file since.
//
// Appending happens only when the file on disk is still exactly what this
// writer last saw (same name, device, inode, size, modification and change
// time), its bytes are the canonical plain-text encoding of the text then
// known, and the caller vouches that that text is an unchanged prefix of the
// new one. Every other write replaces the whole file atomically
// (SlotFile::writeAtomically).
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

    // Reads the file (SlotFile::readTextDetailed) and remembers it. Raises
    // the errors of SlotFile::readText.
    QString read(const QString& fileName);

    // For a caller that read the file itself: remembers the file as it is
    // now. Its bytes are not known to re-encode exactly, so the next write
    // replaces it whole; appends resume after that.
    void noteRead(const QString& fileName);

    // Writes text ('\n' or CR LF line breaks) to fileName in the format its
    // name selects. unchangedPrefixChars: how many leading characters of
    // text are the same as in the text of the last read or write; nullopt
    // when unknown. Raises the errors of SlotFile::writeAtomically.
    void write(const QString& fileName, const QString& text, const QFont& font,
               std::optional<qsizetype> unchangedPrefixChars = std::nullopt);

    // Appends tail ('\n' line breaks), the text that follows the first
    // tailPosition characters of the slot's text, when the file can take it
    // byte for byte: the text of the last read or write was tailPosition
    // characters long and is unchanged (the caller vouches for that), and
    // the rest of the conditions above hold. Returns false, touching
    // nothing, when it cannot; the caller then writes the whole text. A
    // failure while appending cuts the file back to its old bytes and
    // raises "Failed to Save Stream"; the next write then rewrites.
    bool appendIfUnchanged(const QString& fileName, qsizetype tailPosition, const QString& tail);

    // After read(): the caller keeps the text in a form that differs from
    // the one read (a slot editor stores some characters or breaks its own
    // way), so the file is no longer known to be its encoding and the next
    // write replaces it whole. The file itself stays known (changedOnDisk).
    void noteTextDiffers() { m_appendable = false; }

    // True when a file named fileName exists and is not the one this writer
    // last read or wrote (another program replaced or changed it, or this
    // writer never saw it). A missing file gives false: there is nothing
    // to read back.
    bool changedOnDisk(const QString& fileName) const;

    // Drops what is remembered; the next write is a whole rewrite.
    void forget();

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
    bool canAppendAt(const QString& fileName, qsizetype tailPosition) const;
    bool appendBytes(const QString& fileName, const QByteArray& bytes, qsizetype textLength,
                     QChar lastChar);
    void remember(const QString& fileName, std::optional<DiskState> state, qsizetype textLength,
                  QChar lastChar, bool appendable);

    QString m_fileName;
    std::optional<DiskState> m_disk;
    // Characters of the text the file holds; meaningful when m_appendable.
    qsizetype m_textLength = 0;
    // Its last character (null for an empty text): an append after the
    // first half of a CR LF or surrogate pair would not be exact.
    QChar m_lastChar;
    bool m_appendable = false;
    Method m_lastMethod = Method::None;
};
