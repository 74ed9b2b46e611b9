#pragma once

#include "base/Locale.h"

#include <QDateTime>
#include <QString>

// Stamp styles of the "DateStyle" setting.
namespace StampStyle {
inline constexpr int ShortDate = 1;
inline constexpr int LongDate = 2;
} // namespace StampStyle

// The stamp line that precedes a captured text:
//   style 1: "===== " short date " === " long time " =====" CR LF
//   style 2: "===== " long date " === " long time " =====" CR LF
//   any other style: two CR LF pairs, no date or time.
// now is taken as it is (the caller passes local time); region supplies the
// date and time formats and the names for the long date.
QString buildStampLine(int dateStyle, const QDateTime& now, const RegionalSettings& region);
