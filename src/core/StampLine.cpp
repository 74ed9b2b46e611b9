#include "core/StampLine.h"

QString buildStampLine(int dateStyle, const QDateTime& now, const RegionalSettings& region)
{
    QString date;
    switch (dateStyle) {
    case StampStyle::ShortDate:
        date = shortDateText(now.date(), region);
        break;
    case StampStyle::LongDate:
        date = longDateText(now.date(), region.locale);
        break;
    default:
        return QStringLiteral("\r\n\r\n");
    }
    return QStringLiteral("===== ") + date + QStringLiteral(" === ") +
           longTimeText(now.time(), region) + QStringLiteral(" =====\r\n");
}
