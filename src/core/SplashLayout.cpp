#include "core/SplashLayout.h"

namespace SplashLayout {

QString buildLabelText(const QDate& buildDate, const RegionalSettings& region)
{
    return QStringLiteral("Build ") + shortDateText(buildDate, region);
}

QSize closeButtonSize(const QSize& titleBarButton)
{
    return QSize(titleBarButton.width() - 2, titleBarButton.height() - 4);
}

} // namespace SplashLayout
