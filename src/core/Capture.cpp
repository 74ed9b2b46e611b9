#include "core/Capture.h"

#include "core/SaveSound.h"
#include "core/SlotBuffer.h"
#include "core/SlotFileSync.h"

#include <QDateTime>

QString captureIntoSlot(SlotBuffer& buffer, const QString& stampLine, SlotFileSync& sync,
                        const QString& fileName, const QString& text)
{
    if (text.isEmpty())
        return QString();
    const QString aside = sync.setAsideUnsaved(buffer, fileName, QDateTime::currentDateTime());
    sync.refreshBeforeWrite(buffer, fileName);
    sync.appendCapture(buffer, fileName, stampLine, text);
    SaveSound::indicateSave();
    return aside;
}
