#include "core/Capture.h"

#include "core/SaveSound.h"
#include "platform/SlotEditor.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocument>

namespace {

// The editor's text from position on, with '\n' line breaks.
QString editorTextFrom(const SlotEditor& editor, qsizetype position)
{
    const qsizetype length = editor.Length();
    // When the new end is most of the text (a large capture), the whole
    // text is taken and cut: several times faster than a selection of the
    // end with its line breaks made CR LF and back.
    if (position == 0 || length - position > length / 2) {
        QString text = editor.TextLf();
        text.remove(0, position);
        return text;
    }
    QString text = editor.TextFrom(int(position));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

// Line breaks as the editor keeps them: CR LF, lone CR and the paragraph
// separator each become one '\n', so the block has the same characters in
// the editor and in the file.
QString withLfBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

qsizetype SlotFileSync::ViewLimit()
{
    return SlotEditor::MaxCharacters - ViewHeadroom;
}

void SlotFileSync::Read(SlotEditor& editor, const QString& fileName)
{
    m_writer.forget();
    const QString text = m_writer.read(fileName, ViewLimit());
    editor.SetText(text);
    editor.MarkUnchanged();
    // The editor may keep the text in its own form (a file may hold breaks
    // or characters it stores differently): then the file is not the
    // encoding of the editor's text and only a whole rewrite is exact.
    if (editor.Length() != text.size() || editor.TextLf() != text)
        m_writer.noteTextDiffers(editor.Length());
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
    // Only what follows the unchanged start is taken from the editor.
    m_writer.save(
        fileName, editor.UnchangedPrefixLength(),
        [&](qsizetype from) { return editorTextFrom(editor, from); }, editor.font());
    editor.MarkUnchanged();
}

void SlotFileSync::AppendCapture(SlotEditor& editor, const QString& fileName,
                                 const QString& stampLine, const QString& text)
{
    const QString block = CaptureBlock(stampLine, text);
    // An append-only slot whose view was edited before its end cannot save
    // the view: the block goes straight to the file.
    const bool viewSaveable =
        !IsAppendOnly() || editor.UnchangedPrefixLength() == editor.MarkedLength();
    if (viewSaveable && editor.Length() + block.size() <= SlotEditor::MaxCharacters) {
        // The same characters as CaptureBlock: a break and an empty line,
        // the stamp line, the text ended by a break, two empty lines.
        editor.AppendLine(QStringLiteral("\r\n"));
        editor.AppendLine(withLfBreaks(stampLine) + QLatin1Char('\n') + withLfBreaks(text));
        editor.AppendLineBreakAndResetUndo();
        editor.AppendLine(QString());
        try {
            Write(editor, fileName);
        } catch (const SlotFile::SlotFileChanged&) {
            // The editor's text could not replace the file: the capture
            // still goes to its end.
            m_writer.appendText(fileName, block, editor.font());
            throw;
        }
        return;
    }
    // Too much for the editor: the file takes the block whole, and the
    // editor then shows the file's end.
    if (IsAppendOnly()) {
        m_writer.appendText(fileName, block, editor.font());
    } else {
        try {
            m_writer.save(
                fileName, editor.UnchangedPrefixLength(),
                [&](qsizetype from) { return editorTextFrom(editor, from) + block; },
                editor.font());
        } catch (const SlotFile::SlotFileChanged&) {
            m_writer.appendText(fileName, block, editor.font());
            throw;
        }
    }
    Read(editor, fileName);
}

bool SlotFileSync::HasUnsavedText(const SlotEditor& editor)
{
    return editor.Length() != editor.MarkedLength() ||
           editor.UnchangedPrefixLength() != editor.MarkedLength();
}

bool SlotFileSync::NeedsAnswer(const SlotEditor& editor, const QString& fileName) const
{
    return HasUnsavedText(editor) && editor.UnchangedPrefixLength() != editor.MarkedLength() &&
           ChangedOnDisk(fileName);
}

void SlotFileSync::SettleChangedFile(SlotEditor& editor, const QString& fileName, Settle how)
{
    if (!ChangedOnDisk(fileName))
        return;
    if (how == Settle::KeepBoth && HasUnsavedText(editor)) {
        // Text only added at the end follows the file's new text; after an
        // edit before the end the slot's whole text does.
        const bool onlyAdded = editor.UnchangedPrefixLength() == editor.MarkedLength();
        const QString mine =
            onlyAdded ? editorTextFrom(editor, editor.MarkedLength()) : editor.TextLf();
        m_writer.appendText(fileName, mine, editor.font());
    }
    Read(editor, fileName);
}

QString SlotFileSync::SetAsideUnsaved(const SlotEditor& editor, const QString& fileName,
                                      const QDateTime& now) const
{
    if (!HasUnsavedText(editor) || !ChangedOnDisk(fileName))
        return QString();
    const QString base =
        fileName + QStringLiteral(".unsaved-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    // A new file is created 0600: only the user may read what was typed.
    SlotFile::writeAtomically(name, SlotFile::encodePlain(editor.TextLf()));
    return name;
}

QString CaptureBlock(const QString& stampLine, const QString& text)
{
    return QStringLiteral("\n\n") + withLfBreaks(stampLine) + QLatin1Char('\n') +
           withLfBreaks(text) + QStringLiteral("\n\n\n");
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

QString CaptureIntoSlot(SlotEditor& editor, const QString& stampLine, SlotFileSync& sync,
                        const QString& fileName)
{
    // Read once: the owner may replace or empty the clipboard at any time,
    // and an empty text is no text.
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return QString();
    const QString aside = sync.SetAsideUnsaved(editor, fileName, QDateTime::currentDateTime());
    sync.RefreshBeforeWrite(editor, fileName);
    sync.AppendCapture(editor, fileName, stampLine, text);
    IndicateSave();
    return aside;
}
