#pragma once

#include "core/slotfile/SlotFileWriter.h"

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
// held after the last of them:
// - a write whose text was only added to at the end since then, onto a file
//   nobody else touched, appends the new bytes and flushes them (the bytes
//   already there stay as they are); every other write replaces the whole
//   file atomically;
// - before a write, a file that changed on disk since is read again, so that
//   another program's text is kept and what follows goes after it.
// After each successful read or write the editor's text is marked unchanged
// (SlotEditor::MarkUnchanged). No copy of the text is kept here: an append
// takes only the new end from the editor, and the rare whole rewrite takes
// the whole text from it.
class SlotFileSync final
{
public:
    // Replaces the editor's text with the file's (undo history discarded).
    // Raises the errors of SlotFile::readText; after a failure the slot
    // knows no file, so the next RefreshBeforeWrite reads again.
    void Read(SlotEditor& editor, const QString& fileName);
    // Takes the file as it is now (usually missing) as the slot's, without
    // reading it; the editor's text is not taken to be in it, so the next
    // write replaces it whole.
    void Adopt(SlotEditor& editor, const QString& fileName);
    // Reads the file again when it exists and is not what this slot last
    // read or wrote. Returns whether it did.
    bool RefreshBeforeWrite(SlotEditor& editor, const QString& fileName);
    // Writes the editor's text to the file in the format its name selects.
    // Raises "Cannot create file %s" / "Failed to Save Stream"; the file
    // then still holds what it held before.
    void Write(SlotEditor& editor, const QString& fileName);

    // How the last successful write reached the disk.
    SlotFileWriter::Method LastMethod() const { return m_writer.lastMethod(); }

private:
    // The whole text, written over the file atomically.
    void rewrite(SlotEditor& editor, const QString& fileName);

    SlotFileWriter m_writer;
};

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
// text is read first when it changed on disk, the block goes after it, the
// buffer is written through sync, and the save sound is the one the
// settings choose (IndicateSave).
void CaptureIntoSlot(SlotEditor& editor, const QString& stampLine, SlotFileSync& sync,
                     const QString& fileName);
