#include "core/Capture.h"

#include "core/SaveSound.h"
#include "core/SlotBuffer.h"
#include "core/SlotFileSync.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextDocument>

void appendCaptureBlock(SlotBuffer& buffer, const QString& stampLine)
{
    const QString lineBreak = QStringLiteral("\r\n");
    buffer.appendLine(lineBreak);
    buffer.appendLine(stampLine);
    // appendLine leaves the caret at the end, so the clipboard text goes
    // there whatever the user had selected.
    buffer.insertText(QGuiApplication::clipboard()->text());
    // Ends the pasted text's last line and discards the history of the
    // paste, without copying or laying out the text that was already there.
    buffer.appendLineBreakAndResetUndo();
    buffer.appendLine(lineBreak);
}

void captureIntoSlot(SlotBuffer& buffer, const QString& stampLine,
                     const std::function<void()>& writeFile,
                     const std::function<void()>& indicateSave)
{
    appendCaptureBlock(buffer, stampLine);
    writeFile();
    indicateSave();
}

QString captureIntoSlot(SlotBuffer& buffer, const QString& stampLine, SlotFileSync& sync,
                        const QString& fileName)
{
    // Read once: the owner may replace or empty the clipboard at any time,
    // and an empty text is no text.
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return QString();
    const QString aside = sync.setAsideUnsaved(buffer, fileName, QDateTime::currentDateTime());
    sync.refreshBeforeWrite(buffer, fileName);
    sync.appendCapture(buffer, fileName, stampLine, text);
    IndicateSave();
    return aside;
}
