#include "core/Capture.h"

#include "core/SaveSound.h"
#include "platform/SlotEditor.h"

void AppendCaptureBlock(SlotEditor& editor, const QString& stampLine)
{
    const QString lineBreak = QStringLiteral("\r\n");
    editor.AppendLine(lineBreak);
    editor.AppendLine(stampLine);
    // AppendLine leaves the caret at the end, so the clipboard text goes
    // there whatever the user had selected.
    editor.PasteClipboard();
    // Ends the pasted text's last line; the history of the paste goes too.
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

void CaptureIntoSlot(SlotEditor& editor, const QString& stampLine, const QString& fileName)
{
    CaptureIntoSlot(
        editor, stampLine, [&editor, &fileName] { editor.WriteToFile(fileName); },
        [] { IndicateSave(); });
}
