#pragma once

#include "base/Locale.h"

#include <QDate>
#include <QRect>
#include <QSize>
#include <QString>

// Where the splash window puts its controls over the picture.
namespace SplashLayout {

// The band of the credit line, in which the build label is centred too.
inline constexpr int CreditLeft = 119;
inline constexpr int CreditTop = 46;
inline constexpr int CreditWidth = 145;
inline constexpr int BuildLabelTop = 116;

// "Build " and the build date in the short date format.
QString buildLabelText(const QDate& buildDate, const RegionalSettings& region);

// The build label's left edge for a label labelWidth pixels wide: centred
// in the credit line's band, (145 - width) / 2 rounded toward zero, + 120.
int buildLabelLeft(int labelWidth);

// The close button in the picture's top right corner, 10 pixels in: two
// pixels narrower and four lower than a title-bar button.
QRect closeButtonGeometry(const QSize& titleBarButton, int pictureWidth);

} // namespace SplashLayout
