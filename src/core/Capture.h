#pragma once

#include "platform/SlotFileWriter.h"

#include <QDateTime>
#include <QString>
#include <functional>

class SlotEditor;

// The capture of the clipboard's text into a slot's editor. The block added
// to the end of the buffer, with C the clipboard text and each line break
// written out as CR LF, is
//   CR LF CR LF, stampLine, CR LF, C, CR LF CR LF CR LF
// where stampLine already ends with its own CR LF (or is "\r\n\r\n" for the
// style without date and time). Whatever the caret or selection was, the
// block goes to the end and leaves the rest of the text as it was.

// One slot's editor kept in step with the slot's file. Every read and write
// of the file goes through one of these per slot, so it knows what the file
// held after the last of them (SlotFileWriter has the rules):
// - text only added at the end since then is appended to the file, also
//   when another program added to the file meanwhile; the bytes already
//   there stay as they are;
// - a whole rewrite (an edit before the end) replaces the file only while it
//   is still exactly what the slot last read or wrote, else raises
//   SlotFile::SlotFileChanged;
// - before a capture, a file that changed on disk since is read again, so
//   that another program's text is kept and the block goes after it.
// The file is the record and the editor a view of it: a file whose text is
// longer than the editor may hold shows its end (IsAppendOnly), and every
// capture reaches the file whole whatever the editor can hold.
// After each successful read or write the editor's text is marked unchanged
// (SlotEditor::MarkUnchanged). No copy of the text is kept here: an append
// takes only the new end from the editor, and the rare whole rewrite takes
// the whole text from it.
class SlotFileSync final
{
public:
    // The most of a file's text a slot shows: the editor's capacity less
    // room for the captures that follow, so that they do not each make the
    // view be read again.
    static constexpr qsizetype ViewHeadroom = 1'000'000;
    static qsizetype ViewLimit();

    // Replaces the editor's text with the file's (undo history discarded).
    // A text longer than ViewLimit() gives the file's end, from the start of
    // a line, and makes the slot append-only until the next Read finds the
    // whole text fits (the file shrank, or it is another file).
    // Raises the errors of SlotFile::readText; after a failure the slot
    // knows no file, so the next RefreshBeforeWrite reads again.
    void Read(SlotEditor& editor, const QString& fileName);
    // Takes the file as it is now (usually missing) as the slot's, without
    // reading it; the editor's text is not taken to be in it, so the next
    // write replaces it whole.
    void Adopt(SlotEditor& editor, const QString& fileName);
    // The file exists and is not what this slot last read or wrote.
    bool ChangedOnDisk(const QString& fileName) const { return m_writer.changedOnDisk(fileName); }
    // Reads the file again when it exists and is not what this slot last
    // read or wrote. Returns whether it did.
    bool RefreshBeforeWrite(SlotEditor& editor, const QString& fileName);
    // Writes the editor's text to the file in the format its name selects.
    // Raises "Cannot create file %s" / "Failed to Save Stream"; the file
    // then still holds what it held before. Raises SlotFile::SlotFileChanged
    // when a whole rewrite finds the file changed, and, for an append-only
    // slot, an error when the text changed before its end.
    void Write(SlotEditor& editor, const QString& fileName);
    // Adds a capture's block (stampLine and text, see AppendCaptureBlock)
    // to the slot: into the editor and then the file when the editor can
    // hold it, else straight to the end of the file, the editor then
    // showing the file's end. The file gets the whole block in either case;
    // when a whole rewrite of the editor's text is refused (another program
    // changed the file meanwhile) the block is appended alone and
    // SlotFileChanged still raised.
    void AppendCapture(SlotEditor& editor, const QString& fileName, const QString& stampLine,
                       const QString& text);

    // --- The user's unsaved text and another program's change -----------

    // The editor holds text changed since the last read or write.
    static bool HasUnsavedText(const SlotEditor& editor);
    // The editor holds unsaved text that cannot simply follow the file's new
    // text (an edit before the end) and the file changed on disk: a command
    // of the user's asks what to keep before it writes the slot.
    bool NeedsAnswer(const SlotEditor& editor, const QString& fileName) const;

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
    void SettleChangedFile(SlotEditor& editor, const QString& fileName, Settle how);

    // For a capture nobody asked for, before the file's new text is read
    // over the editor: when the editor holds unsaved text and the file
    // changed on disk, writes the editor's whole text next to the file as
    // "<file name>.unsaved-<yyyyMMdd-HHmmss>" (created 0600, a number added
    // when that name is taken) and returns that name; else returns an empty
    // text. Raises "Cannot create file %s" / "Failed to Save Stream" when it
    // cannot be written; the editor then stays as it is.
    QString SetAsideUnsaved(const SlotEditor& editor, const QString& fileName,
                            const QDateTime& now) const;

    // The editor shows only the end of the file: editing before the end
    // cannot be saved, captures and text added at the end are appended.
    bool IsAppendOnly() const { return m_writer.appendOnly(); }

    // How the last successful write reached the disk.
    SlotFileWriter::Method LastMethod() const { return m_writer.lastMethod(); }

private:
    SlotFileWriter m_writer;
};

// The block a capture adds after a slot's text, with '\n' line breaks:
// two line breaks, stampLine, a line break, text, three line breaks.
QString CaptureBlock(const QString& stampLine, const QString& text);

// Adds the block to editor's text. The undo history is discarded.
void AppendCaptureBlock(SlotEditor& editor, const QString& stampLine);

// The whole capture on one slot: adds the block, then runs writeFile (which
// writes the buffer to the slot file), then indicateSave (the save sound).
// A failure raised by writeFile leaves the block in the buffer, unsaved, and
// the sound unplayed; one raised by indicateSave comes after the file has
// been written. Both pass on to the caller.
void CaptureIntoSlot(SlotEditor& editor, const QString& stampLine,
                     const std::function<void()>& writeFile,
                     const std::function<void()>& indicateSave);

// The same on a slot whose file fileName is kept by sync: the file's current
// text is read first when it changed on disk, the block with the
// clipboard's text goes after it (SlotFileSync::AppendCapture), and the
// save sound is the one the settings choose (IndicateSave). The clipboard's
// text is taken once: when it is empty (its owner changed it again, or it
// holds no text by now) nothing is added, written or played. Unsaved text of
// the editor that the file's new text would replace is first set aside
// (SlotFileSync::SetAsideUnsaved); returns the name of that file, else an
// empty text.
QString CaptureIntoSlot(SlotEditor& editor, const QString& stampLine, SlotFileSync& sync,
                        const QString& fileName);
