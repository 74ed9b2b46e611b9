#pragma once

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

// The same with the slot file fileName written through the editor and the
// save sound chosen by the settings (IndicateSave).
void CaptureIntoSlot(SlotEditor& editor, const QString& stampLine, const QString& fileName);
