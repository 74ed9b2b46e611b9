#include "core/Capture.h"

#include "core/SaveSound.h"
#include "core/SlotFileSync.h"
#include "core/SlotText.h"

#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>

QString captureIntoSlot(SlotText& buffer, const QString& stampLine, SlotFileSync& sync,
                        const QString& fileName, SaveSound& sound)
{
    // Read once: the owner may replace or empty the clipboard at any time,
    // and an empty text is no text.
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return QString();
    const QString aside = sync.setAsideUnsaved(buffer, fileName, QDateTime::currentDateTime());
    sync.refreshBeforeWrite(buffer, fileName);
    sync.appendCapture(buffer, fileName, stampLine, text);
    sound.indicateSave();
    return aside;
}
