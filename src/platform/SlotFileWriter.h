#pragma once

#include "platform/SlotFile.h"

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
    bool tryAppend(const QString& fileName, const QString& text,
                   std::optional<qsizetype> unchangedPrefixChars);
    void remember(const QString& fileName, std::optional<DiskState> state, qsizetype textLength,
                  bool appendable);

    QString m_fileName;
    std::optional<DiskState> m_disk;
    // Characters of the text the file holds; meaningful when m_appendable.
    qsizetype m_textLength = 0;
    bool m_appendable = false;
    Method m_lastMethod = Method::None;
};
