#include "core/SplashLayout.h"

#include <QCoreApplication>

namespace SplashLayout {

QString buildLabelText(const QDate& buildDate, const RegionalSettings& region)
{
    return QCoreApplication::translate("SplashLayout", "Build %1")
        .arg(shortDateText(buildDate, region));
}

QSize closeButtonSize(const QSize& titleBarButton)
{
    return QSize(titleBarButton.width() - 2, titleBarButton.height() - 4);
}

} // namespace SplashLayout
