#include "core/Capture.h"

#include "core/SaveSound.h"
#include "platform/SlotEditor.h"

#include <QFileInfo>
#include <QTextDocument>

void SlotFileSync::Read(SlotEditor& editor, const QString& fileName)
{
    m_writer.forget();
    const QString text = m_writer.read(fileName);
    editor.SetText(text);
    editor.MarkUnchanged();
    // The editor may keep the text in its own form (a file may hold breaks
    // or characters it stores differently, or more than it holds): then the
    // file is not the encoding of the editor's text and only a whole
    // rewrite is exact.
    if (editor.Length() != text.size() || editor.TextLf() != text)
        m_writer.noteTextDiffers();
}

void SlotFileSync::Adopt(SlotEditor& editor, const QString& fileName)
{
    m_writer.noteRead(fileName);
    editor.MarkUnchanged();
}

bool SlotFileSync::RefreshBeforeWrite(SlotEditor& editor, const QString& fileName)
{
    if (!m_writer.changedOnDisk(fileName))
        return false;
    Read(editor, fileName);
    return true;
}

void SlotFileSync::Write(SlotEditor& editor, const QString& fileName)
{
    const int marked = editor.MarkedLength();
    const bool fileKnown = !m_writer.changedOnDisk(fileName);
    try {
        bool appended = false;
        // A file that is not there cannot be appended to: the whole text is
        // written without first taking the new end out of the editor, which
        // for a large first capture costs as much as the write itself.
        if (fileKnown && editor.UnchangedPrefixLength() == marked && QFileInfo::exists(fileName)) {
            // Only what follows the marked text is new: take just that from
            // the editor. When that is most of the text (a large capture),
            // the whole text is taken and cut: several times faster than a
            // selection of the end and its line breaks made CR LF and back.
            QString added;
            const int length = editor.Length();
            if (length - marked > length / 2) {
                added = editor.TextLf();
                added.remove(0, marked);
            } else {
                added = editor.TextFrom(marked);
                added.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            }
            appended = m_writer.appendIfUnchanged(fileName, marked, added);
        }
        if (!appended)
            rewrite(editor, fileName);
    } catch (...) {
        // A failed write leaves the file with what it held before (a failed
        // append is cut back). When that was what this slot last saw, the
        // file is still taken as known, so that the next write does not read
        // it back over the text that could not be saved; it then replaces
        // the file whole.
        if (fileKnown)
            m_writer.noteRead(fileName);
        throw;
    }
    editor.MarkUnchanged();
}

void SlotFileSync::rewrite(SlotEditor& editor, const QString& fileName)
{
    m_writer.write(fileName, editor.TextLf(), editor.font());
}

void AppendCaptureBlock(SlotEditor& editor, const QString& stampLine)
{
    const QString lineBreak = QStringLiteral("\r\n");
    editor.AppendLine(lineBreak);
    editor.AppendLine(stampLine);
    // AppendLine leaves the caret at the end, so the clipboard text goes
    // there whatever the user had selected. The paste's history is discarded
    // right after it, so none is recorded: that saves an undo step per line
    // of a large text.
    QTextDocument* document = editor.document();
    document->setUndoRedoEnabled(false);
    editor.PasteClipboard();
    document->setUndoRedoEnabled(true);
    // Ends the pasted text's last line and discards the history of the
    // paste, without copying or laying out the text that was already there.
    editor.AppendLineBreakAndResetUndo();
    editor.AppendLine(lineBreak);
}

void CaptureIntoSlot(SlotEditor& editor, const QString& stampLine,
                     const std::function<void()>& writeFile,
                     const std::function<void()>& indicateSave)
{
    AppendCaptureBlock(editor, stampLine);
    writeFile();
    indicateSave();
}

void CaptureIntoSlot(SlotEditor& editor, const QString& stampLine, SlotFileSync& sync,
                     const QString& fileName)
{
    sync.RefreshBeforeWrite(editor, fileName);
    CaptureIntoSlot(
        editor, stampLine, [&] { sync.Write(editor, fileName); }, [] { IndicateSave(); });
}
