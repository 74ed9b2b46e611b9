#include "core/SupportMail.h"

#include "base/Locale.h"

namespace SupportMail {

QString address()
{
    return QStringLiteral(CLIPSTOW_SUPPORT_MAIL);
}

QDate buildDate()
{
    return QDate::fromString(QStringLiteral(CLIPSTOW_BUILD_DATE), Qt::ISODate);
}

QString link(const QString& address, const QDate& buildDate, const RegionalSettings& region)
{
    return QStringLiteral("mailto:") + address +
           QStringLiteral("?subject=Clipstow%203%20%28build%20") +
           shortDateText(buildDate, region) + QStringLiteral("%29");
}

} // namespace SupportMail
