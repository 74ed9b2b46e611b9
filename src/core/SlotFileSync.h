#pragma once

#include "core/slotfile/SlotFileWriter.h"

#include <QDateTime>
#include <QString>

class SlotText;

// One slot's buffer kept in step with the slot's file. Every read and write
// of the file goes through one of these per slot, so it knows what the file
// held after the last of them (SlotFileWriter has the rules):
// - a write (Save, Clear, ...) writes the slot's text whole, in the slot
//   file format; a capture appends its block while the file is exactly the
//   format's bytes for the slot's text, and otherwise writes the file whole
//   once, in the format;
// - a whole rewrite replaces the file only while it is still exactly what
//   the slot last read or wrote, else raises SlotFile::SlotFileChanged;
// - before a capture, a file that changed on disk since is read again, so
//   that another program's text is kept and the block goes after it.
// The file is the record and the buffer a view of it: a file whose text is
// longer than the buffer may hold shows its end (isAppendOnly), and every
// capture reaches the file whole whatever the buffer can hold.
// After each successful read or write the buffer's text is marked unchanged
// (SlotText::markUnchanged). No copy of the text is kept here: an append
// takes only the new end from the buffer, and the rare whole rewrite takes
// the whole text from it.
class SlotFileSync final
{
public:
    // The most of a file's text a slot shows: the buffer's capacity less
    // room for the captures that follow, so that they do not each make the
    // view be read again.
    static constexpr qsizetype ViewHeadroom = 1'000'000;
    static qsizetype viewLimit();

    // Replaces the buffer's text with the file's (undo history discarded).
    // A text longer than viewLimit() gives the file's end, from the start of
    // a line, and makes the slot append-only until the next read finds the
    // whole text fits (the file shrank, or it is another file).
    // Raises the errors of SlotFile::readText; after a failure the slot
    // knows no file, so the next refreshBeforeWrite reads again.
    void read(SlotText& buffer, const QString& fileName);
    // Takes the file as it is now (usually missing) as the slot's, without
    // reading it; the buffer's text is not taken to be in it, so the next
    // write replaces it whole.
    void adopt(SlotText& buffer, const QString& fileName);
    // The file exists and is not what this slot last read or wrote.
    bool changedOnDisk(const QString& fileName) const { return m_writer.changedOnDisk(fileName); }
    // Reads the file again when it exists and is not what this slot last
    // read or wrote: only the bytes added when it only grew and the buffer
    // holds no unsaved text, else whole. Returns whether it did.
    bool refreshBeforeWrite(SlotText& buffer, const QString& fileName);
    // Writes the buffer's whole text to the file in the format its name
    // selects (an append-only slot: the file's text with what was added at
    // the end of the view).
    // Raises "Cannot create file %s" / "Failed to Save Stream"; the file
    // then still holds what it held before. Raises SlotFile::SlotFileChanged
    // when a whole rewrite finds the file changed, and, for an append-only
    // slot, an error when the text changed before its end.
    void write(SlotText& buffer, const QString& fileName);
    // Adds a capture's block (stampLine and text, see captureBlock) to the
    // slot: to the file with the buffer's unsaved text and then to the
    // buffer when the buffer can hold it, else straight to the end of the
    // file, the buffer then showing the file's end. The file gets the whole
    // block in either case; when a whole rewrite of the buffer's text is
    // refused (another program changed the file meanwhile) the block is
    // appended alone and SlotFileChanged still raised. When the write
    // fails the buffer still gets the block, unsaved.
    void appendCapture(SlotText& buffer, const QString& fileName, const QString& stampLine,
                       const QString& text);
    // The same for blocks (captureBlock) of several captures in a row: one
    // write of the file for all of them.
    void appendBlocks(SlotText& buffer, const QString& fileName, const QString& block);

    // --- The user's unsaved text and another program's change -----------

    // The buffer holds text changed since the last read or write.
    static bool hasUnsavedText(const SlotText& buffer);
    // The buffer holds unsaved text that cannot simply follow the file's new
    // text (an edit before the end) and the file changed on disk: a command
    // of the user's asks what to keep before it writes the slot.
    bool needsAnswer(const SlotText& buffer, const QString& fileName) const;

    enum class Settle
    {
        KeepBoth, // the file's new text, then the slot's
        FileOnly  // the file's new text; the slot's changes are dropped
    };
    // Before a command of the user's writes the slot or hands its file on:
    // brings the slot up to date with a file another program changed since
    // the last read or write. KeepBoth appends the slot's unsaved text to
    // the file (only the text added at the end when nothing before it
    // changed, else the slot's whole text) and reads the file again, so
    // nothing of either is lost. Does nothing while the file is unchanged.
    void settleChangedFile(SlotText& buffer, const QString& fileName, Settle how);

    // For a capture nobody asked for, before the file's new text is read
    // over the buffer: when the buffer holds unsaved text and the file
    // changed on disk, writes the buffer's whole text next to the file as
    // "<file name>.unsaved-<yyyyMMdd-HHmmss>" (a new file, 0600, never
    // through a link; a number added when that name is taken) and returns
    // that name; else returns an empty text. Raises "Cannot create file %s" / "Failed to Save
    // Stream" when it cannot be written; the buffer then stays as it is.
    QString setAsideUnsaved(const SlotText& buffer, const QString& fileName,
                            const QDateTime& now) const;
    // The same whether or not the file changed: for the end of the program
    // when nobody can be asked (the session ends).
    static QString saveAside(const SlotText& buffer, const QString& fileName, const QDateTime& now);

    // The buffer shows only the end of the file: editing before the end
    // cannot be saved, captures and text added at the end are appended.
    bool isAppendOnly() const { return m_writer.appendOnly(); }

    // How the last successful write reached the disk.
    SlotFileWriter::Method lastMethod() const { return m_writer.lastMethod(); }
    // Why the last read or write went ahead without its lock (empty: it
    // held it), and where a read set aside a capture that was cut off.
    const QString& lockProblem() const { return m_writer.lockProblem(); }
    QString takeTornAside() { return m_writer.takeTornAside(); }

private:
    SlotFileWriter m_writer;
};

// The block a capture adds after a slot's text, with '\n' line breaks:
// two line breaks, stampLine, a line break, text, three line breaks.
QString captureBlock(const QString& stampLine, const QString& text);
