#include "core/SupportMail.h"

#include "base/Locale.h"
#include "core/ProgramInfo.h"

namespace SupportMail {

QString address()
{
    return ProgramInfo::supportMailAddress();
}

QDate buildDate()
{
    return ProgramInfo::buildDate();
}

QString link(const QString& address, const QDate& buildDate, const RegionalSettings& region)
{
    return QStringLiteral("mailto:") + address +
           QStringLiteral("?subject=Clipstow%203%20%28build%20") +
           shortDateText(buildDate, region) + QStringLiteral("%29");
}

} // namespace SupportMail
