#pragma once

#include "core/SlotText.h"
#include "core/slotfile/SlotFileWriter.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <vector>

class SaveSound;

// A copy of the clipboard's text with the stamp line of its time.
struct CopiedText
{
    QString stampLine;
    QString text;
};

// One slot: its text (which its editor shows), the file it is bound to and
// the writer that keeps that file in step with the text. Every read and
// write of the file goes through here, so the slot knows what the file
// held after the last of them (SlotFileWriter has the rules):
// - a write (save, clear, ...) writes the slot's text whole, in the slot
//   file format; a capture appends its block while the file is exactly the
//   format's bytes for the slot's text, and otherwise writes the file whole
//   once, in the format;
// - a whole rewrite replaces the file only while it is still exactly what
//   the slot last read or wrote, else raises SlotFile::SlotFileChanged;
// - before a capture, a file that changed on disk since is read again, so
//   that another program's text is kept and the block goes after it.
// The file is the record and the text a view of it: a file whose text is
// longer than the slot may hold shows its end (showsFileEnd), and every
// capture reaches the file whole whatever the text can hold. After each
// successful read or write the text is marked unchanged
// (SlotText::markUnchanged). No copy of the text is kept beside it: an
// append takes only the new end from it.
//
// Failures (AppError) pass on to the caller; what else the user should be
// told (a capture cut off and set aside, a write without its lock, unsaved
// text kept in a file of its own) comes as notice().
class Slot final : public QObject
{
    Q_OBJECT

public:
    // The most of a file's text a slot shows: the text's capacity less room
    // for the captures that follow, so that they do not each make the view
    // be read again.
    static constexpr qsizetype ViewHeadroom = 1'000'000;
    static qsizetype viewLimit();

    // The slot's file is fileName; sound tells that a capture was saved.
    Slot(const QString& fileName, SaveSound& sound, QObject* parent = nullptr);
    ~Slot() override;

    SlotText& text() { return m_text; }
    const SlotText& text() const { return m_text; }

    const QString& fileName() const { return m_writer.fileName(); }
    // Changes the name only: no file is read or written.
    void setFileName(const QString& fileName);

    // --- Reading ------------------------------------------------------------
    // Start-up: reads the file; a missing file (or a folder) is taken as it
    // is (adopt) and the text stays as it is. Raises the errors of read.
    void load();
    // Replaces the text with the file's (undo history discarded). A text
    // longer than viewLimit() gives the file's end, from the start of a
    // line, and makes the slot show only the file's end until the next
    // read finds the whole text fits. Raises the errors of
    // SlotFile::readText; after a failure the slot knows no file, so the
    // next capture reads it again.
    void read();
    // Takes the file as it is now (usually missing) as the slot's, without
    // reading it; the text is not taken to be in it, so the next write
    // replaces it whole.
    void adopt();
    // A file the user chose: an existing file is read and then becomes the
    // slot's file (a file that cannot be read never does); otherwise the
    // name with ".txt" appended becomes the slot's file and the text is
    // emptied. Unsaved text is the caller's to save first.
    void rebind(const QString& path);

    // --- Writing ------------------------------------------------------------
    // Writes the whole text to the file in the format its name selects (a
    // slot that shows the file's end: the file's text with what was added
    // at the end of the view). Raises "Cannot create file %s" / "Failed to
    // Save Stream"; the file then still holds what it held before. Raises
    // SlotFile::SlotFileChanged when another program changed the file, and,
    // for a slot that shows the file's end, an error when the text changed
    // before its end.
    void save();
    // Writes the text to target, in the format target's name selects; the
    // slot keeps its own file. A slot that shows only its file's end copies
    // the file's whole text.
    void saveAs(const QString& target) const;
    // Empties the text and writes the empty text to the file; a file
    // another program changed is read first, so that the write is taken as
    // the slot's.
    void clear();

    // Adds the block of a capture (captureBlock: stampLine and text) to
    // the end of the slot and its file, then plays the save sound. An empty
    // text is no text: nothing is added, written or played. When the file
    // changed on disk since, unsaved text is first set aside (saveAside,
    // said by notice()) and the file read again: only what was added to it
    // when it only grew and the slot holds no unsaved text, else whole.
    // The file gets the whole block; when a whole rewrite of the text is
    // refused (another program changed the file meanwhile) the block is
    // appended alone and SlotFileChanged still raised. When the write fails
    // the text still gets the block, unsaved.
    void capture(const QString& stampLine, const QString& text);
    // The same for copies that came in a row: their blocks, in order, reach
    // the file in one write (and one flush to the disk), and the sound
    // plays once. Copies without text are skipped.
    void capture(const std::vector<CopiedText>& copies);

    // --- The user's unsaved text and another program's change -------------
    // The file exists and is not what this slot last read or wrote.
    bool changedOnDisk() const { return m_writer.changedOnDisk(); }
    // The text was changed since the last read or write.
    bool hasUnsavedText() const { return m_text.hasUnsavedText(); }
    // The slot holds unsaved text that cannot simply follow the file's new
    // text (an edit before the end) and the file changed on disk: a command
    // of the user's asks what to keep before it writes the slot.
    bool needsAnswer() const;

    enum class Settle
    {
        KeepBoth, // the file's new text, then the slot's
        FileOnly  // the file's new text; the slot's changes are dropped
    };
    // Before a command of the user's writes the slot or hands its file on:
    // brings the slot up to date with a file another program changed since
    // the last read or write. KeepBoth appends the unsaved text to the file
    // (only the text added at the end when nothing before it changed, else
    // the whole text) and reads the file again, so nothing of either is
    // lost. Does nothing while the file is unchanged.
    void settle(Settle how);

    // Writes the unsaved text next to the file as
    // "<file name>.unsaved-<yyyyMMdd-HHmmss>" (a new file, 0600, never
    // through a link; a number added when that name is taken) and returns
    // that name; empty when there is none. For the end of the program when
    // nobody can be asked, and for a capture nobody asked for. Raises
    // "Cannot create file %s" / "Failed to Save Stream" when it cannot be
    // written; the text then stays as it is.
    QString saveAside(const QDateTime& now) const;

    // The text shows only the end of the file: editing before the end
    // cannot be saved, captures and text added at the end are appended.
    bool showsFileEnd() const { return m_writer.appendOnly(); }

Q_SIGNALS:
    void fileNameChanged(const QString& fileName);
    // Something the user should be told, for the status bar.
    void notice(const QString& text);

private:
    // The file changed on disk: reads it again, only what was added when
    // it only grew and the text holds no unsaved text.
    void refresh();
    void appendBlocks(const QString& blocks);
    // The text may keep characters its own way (a file may hold breaks or
    // characters it stores differently): then the file is no longer its
    // exact encoding, and only a whole rewrite is exact.
    void noteIfKeptOtherwise(qsizetype expectedLength, QStringView added);
    // Tells what the last read or write of the file had to do unusually:
    // set aside a capture that was cut off, go ahead without the lock.
    void reportFileNotes();

    SlotText m_text;
    SlotFileWriter m_writer;
    SaveSound& m_sound;
};

// The block a capture adds after a slot's text, with '\n' line breaks: two
// line breaks, stampLine, a line break, text, three line breaks. stampLine
// already ends with its own line break (or is two of them for the style
// without date and time); text's line breaks, CR LF, lone CR or U+2029,
// become '\n'. In the file each is CR LF.
QString captureBlock(const QString& stampLine, const QString& text);
