#pragma once

#include <QString>
#include <vector>

class SaveSound;
class SlotText;
class SlotFileSync;

// The capture of the clipboard's text into a slot's buffer. The block added
// to the end of the buffer, with C the clipboard text and each line break
// written out as CR LF, is
//   CR LF CR LF, stampLine, CR LF, C, CR LF CR LF CR LF
// where stampLine already ends with its own CR LF (or is "\r\n\r\n" for the
// style without date and time). Whatever the caret or selection was, the
// block goes to the end and leaves the rest of the text as it was.

// Captures a clipboard text into a slot whose file fileName is kept by
// sync: the file's current text is read first when it changed on disk, the
// block with the text goes after it (SlotFileSync::appendCapture), and
// sound plays the save sound the settings choose (SaveSound::indicateSave).
// An empty text is no text: nothing is added, written or played. Unsaved
// text of the buffer that the file's new text would replace is first set
// aside (SlotFileSync::setAsideUnsaved); returns the name of that file,
// else an empty text.
QString captureIntoSlot(SlotText& buffer, const QString& stampLine, SlotFileSync& sync,
                        const QString& fileName, const QString& text, SaveSound& sound);

// The same for copies that came in a row, each with the stamp line of its
// time: their blocks, in order, reach the file in one write (and one flush
// to the disk), and the sound plays once. Copies without text are skipped.
struct CopiedText
{
    QString stampLine;
    QString text;
};
QString captureIntoSlot(SlotText& buffer, SlotFileSync& sync, const QString& fileName,
                        const std::vector<CopiedText>& copies, SaveSound& sound);
