#include "core/Capture.h"

#include "core/SaveSound.h"
#include "core/SlotFileSync.h"
#include "core/SlotText.h"

#include <QDateTime>

QString captureIntoSlot(SlotText& buffer, const QString& stampLine, SlotFileSync& sync,
                        const QString& fileName, const QString& text, SaveSound& sound)
{
    return captureIntoSlot(buffer, sync, fileName, {{stampLine, text}}, sound);
}

QString captureIntoSlot(SlotText& buffer, SlotFileSync& sync, const QString& fileName,
                        const std::vector<CopiedText>& copies, SaveSound& sound)
{
    QString blocks;
    for (const CopiedText& copy : copies) {
        if (!copy.text.isEmpty())
            blocks += captureBlock(copy.stampLine, copy.text);
    }
    if (blocks.isEmpty())
        return QString();
    const QString aside = sync.setAsideUnsaved(buffer, fileName, QDateTime::currentDateTime());
    sync.refreshBeforeWrite(buffer, fileName);
    sync.appendBlocks(buffer, fileName, blocks);
    sound.indicateSave();
    return aside;
}
