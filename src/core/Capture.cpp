#include "core/Capture.h"

#include "core/SaveSound.h"
#include "platform/SlotEditor.h"

#include <algorithm>

namespace {

// Room kept free at the end of SlotFileSync's copy of the text, so that the
// captures that follow add to it in place instead of moving it each time.
qsizetype headroomFor(qsizetype size)
{
    return std::max<qsizetype>(size / 16, 64 * 1024);
}

void reserveFor(QString& text, qsizetype size)
{
    if (text.capacity() < size)
        text.reserve(std::min<qsizetype>(size + headroomFor(size), SlotEditor::MaxCharacters));
}

} // namespace

void SlotFileSync::Read(SlotEditor& editor, const QString& fileName)
{
    m_writer.forget();
    m_fileTextValid = false;
    editor.SetText(m_writer.read(fileName));
    editor.MarkUnchanged();
    // The editor's own form of the text (a file may hold breaks or
    // characters it stores differently), so that the copy is exactly its
    // marked text.
    keepFileText(editor.TextLf());
}

void SlotFileSync::Adopt(SlotEditor& editor, const QString& fileName)
{
    m_writer.noteRead(fileName);
    editor.MarkUnchanged();
    m_fileText.clear();
    m_fileTextValid = false;
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
    const int unchanged = editor.UnchangedPrefixLength();
    const bool onlyAdded = m_fileTextValid && unchanged == marked && m_fileText.size() == marked;
    if (onlyAdded) {
        // Only what follows the marked text is new: take just that from
        // the editor. The copy then equals the whole text.
        QString added = editor.TextFrom(marked);
        added.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        reserveFor(m_fileText, m_fileText.size() + added.size());
        m_fileText.append(added);
    } else {
        m_fileText = editor.TextLf();
    }
    // Until the write has succeeded the copy is not the marked text.
    m_fileTextValid = false;
    const bool fileKnown = !m_writer.changedOnDisk(fileName);
    try {
        m_writer.write(fileName, m_fileText, editor.font(), unchanged);
    } catch (...) {
        // A failed write leaves the file with what it held before (a failed
        // append is cut back). When that was what this slot last saw, the
        // file is still taken as known, so that the next write does not read
        // it back over the text that could not be saved; it then replaces
        // the file whole.
        if (fileKnown)
            m_writer.noteRead(fileName);
        if (onlyAdded) {
            // The copy without the new end is the marked text again.
            m_fileText.truncate(marked);
            m_fileTextValid = true;
        } else {
            m_fileText.clear();
        }
        throw;
    }
    editor.MarkUnchanged();
    keepFileText(std::move(m_fileText));
}

void SlotFileSync::keepFileText(QString text)
{
    m_fileText = std::move(text);
    reserveFor(m_fileText, m_fileText.size() + 1);
    m_fileTextValid = true;
}

void AppendCaptureBlock(SlotEditor& editor, const QString& stampLine)
{
    const QString lineBreak = QStringLiteral("\r\n");
    editor.AppendLine(lineBreak);
    editor.AppendLine(stampLine);
    // AppendLine leaves the caret at the end, so the clipboard text goes
    // there whatever the user had selected.
    editor.PasteClipboard();
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
