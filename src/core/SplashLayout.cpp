#include "core/SplashLayout.h"

namespace SplashLayout {

QString buildLabelText(const QDate& buildDate, const RegionalSettings& region)
{
    return QStringLiteral("Build ") + shortDateText(buildDate, region);
}

int buildLabelLeft(int labelWidth)
{
    // Integer division rounds toward zero, also for a label wider than the band.
    return (CreditWidth - labelWidth) / 2 + 120;
}

QRect closeButtonGeometry(const QSize& titleBarButton, int pictureWidth)
{
    const int width = titleBarButton.width() - 2;
    const int height = titleBarButton.height() - 4;
    return QRect(pictureWidth - width - 10, 10, width, height);
}

} // namespace SplashLayout
