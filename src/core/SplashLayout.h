#pragma once

#include "base/Locale.h"

#include <QDate>
#include <QSize>
#include <QString>

// Where the splash window puts its controls over the picture, whose free
// bands were drawn for them.
namespace SplashLayout {

// The band of the credit line, in which the build label is centred too.
inline constexpr int CreditLeft = 119;
inline constexpr int CreditTop = 46;
inline constexpr int CreditWidth = 145;
// The widest a text centred in the band may be before it reaches the
// clipboard drawn at the picture's left; a wider one gets a smaller font.
inline constexpr int CreditRoom = 156;
inline constexpr int BuildLabelTop = 116;
// The web-site button across the top of the band.
inline constexpr int WebSiteTop = 8;
inline constexpr QSize WebSiteSize(155, 36);
// The close button, this far in from the picture's top right corner.
inline constexpr int CloseButtonInset = 10;

// "Build " and the build date in the short date format.
QString buildLabelText(const QDate& buildDate, const RegionalSettings& region);

// The close button: two pixels narrower and four lower than a title-bar
// button.
QSize closeButtonSize(const QSize& titleBarButton);

} // namespace SplashLayout
