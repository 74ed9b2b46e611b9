#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// The user's regional settings for dates and times, in the shape the stamp
// line needs: a short-date pattern with its separator and the pieces of the
// long time (hour style, separator, clock, designators and their place).
// Derived from a QLocale by fromLocale(); tests and callers may also fill it
// in by hand.
struct RegionalSettings
{
    // Month and day names, digits and the long date come from this locale.
    QLocale locale = QLocale::c();

    // Date pattern in QLocale's notation (d, dd, M, MM, MMM, yy, yyyy; text in
    // single quotes is literal). Every unquoted '/' stands for dateSeparator.
    // A pattern without any day, month or year field cannot be read; the
    // short date then falls back to M/d/yy.
    QString shortDatePattern = QStringLiteral("M/d/yy");
    QString dateSeparator = QStringLiteral("/");

    // The long time: [designator ]h:mm:ss[ designator], the hour with or
    // without a leading zero, timeSeparator in place of each colon.
    bool hourLeadingZero = false;
    QString timeSeparator = QStringLiteral(":");
    bool twelveHourClock = true;
    QString amDesignator = QStringLiteral("AM");
    QString pmDesignator = QStringLiteral("PM");
    bool designatorFirst = false;

    // Reads the settings from locale. A short-date pattern with a two-digit
    // year is widened to four digits so that stamps stay unambiguous over
    // the years. Empty designators become "am" and "pm".
    static RegionalSettings fromLocale(const QLocale& locale);
    // The settings of the user's session (QLocale::system(), which follows
    // LC_TIME), read afresh at each call so that changes are seen.
    static RegionalSettings system();
};

// Maximum length of a long-date text.
inline constexpr int LongDateMaxLength = 255;

// The date in locale's long date format (for example "Sunday, December 6,
// 2026"), cut to LongDateMaxLength characters. An invalid date gives an
// empty text.
QString longDateText(const QDate& date, const QLocale& locale);

// The date as the short date of region: its pattern with the date separator
// in place of each unquoted '/', or M/d/yy when the pattern cannot be read.
QString shortDateText(const QDate& date, const RegionalSettings& region);

// The time as the long time of region, for example "12:03:09 PM", "9.03.09"
// or "PM 1:03:09".
QString longTimeText(const QTime& time, const RegionalSettings& region);
