#include "core/Capture.h"

#include "core/SaveSound.h"
#include "core/SlotFileSync.h"
#include "core/SlotText.h"

#include <QDateTime>

QString captureIntoSlot(SlotText& buffer, const QString& stampLine, SlotFileSync& sync,
                        const QString& fileName, const QString& text, SaveSound& sound)
{
    if (text.isEmpty())
        return QString();
    const QString aside = sync.setAsideUnsaved(buffer, fileName, QDateTime::currentDateTime());
    sync.refreshBeforeWrite(buffer, fileName);
    sync.appendCapture(buffer, fileName, stampLine, text);
    sound.indicateSave();
    return aside;
}
