#include "base/Locale.h"
#include "support/TestMain.h"

#include <QCoreApplication>
#include <QTest>

#include <cstdlib>

// Regional settings read from QLocale, and the short date, long time and
// long date texts built from them. Locales are injected; only
// systemFollowsLcTime looks at the session's locale (set up in main below).
class TestLocale final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void localeTexts_data();
    void localeTexts();
    void twoDigitYearIsWidened();
    void shortDatePattern_data();
    void shortDatePattern();
    void twelveHourClock_data();
    void twelveHourClock();
    void longDate();
    void invalidInput();
    void systemFollowsLcTime();
};

namespace {
const QDate Sunday{2026, 12, 6};
} // namespace

void TestLocale::localeTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shortDate");
    QTest::addColumn<QString>("afternoon"); // 13:03:09
    QTest::addColumn<QString>("midnight");  // 00:05:07

    QTest::newRow("en_US") << "en_US"
                           << "12/6/2026"
                           << "1:03:09 PM"
                           << "12:05:07 AM";
    QTest::newRow("en_GB") << "en_GB"
                           << "06/12/2026"
                           << "13:03:09"
                           << "00:05:07";
    QTest::newRow("de_DE") << "de_DE"
                           << "06.12.2026"
                           << "13:03:09"
                           << "00:05:07";
    QTest::newRow("fr_FR") << "fr_FR"
                           << "06/12/2026"
                           << "13:03:09"
                           << "00:05:07";
    // The long time spells the units out (H時mm分ss秒); the separator comes
    // from the short time instead.
    QTest::newRow("ja_JP") << "ja_JP"
                           << "2026/12/06"
                           << "13:03:09"
                           << "0:05:07";
    // 24-hour clocks with a dot between the units, with and without the
    // leading zero.
    QTest::newRow("fi_FI") << "fi_FI"
                           << "6.12.2026"
                           << "13.03.09"
                           << "0.05.07";
    QTest::newRow("da_DK") << "da_DK"
                           << "06.12.2026"
                           << "13.03.09"
                           << "00.05.07";
    // Designator before the time; a separator of two characters.
    QTest::newRow("ko_KR") << "ko_KR"
                           << "2026. 12. 6."
                           << "오후 1:03:09"
                           << "오전 12:05:07";
    QTest::newRow("hu_HU") << "hu_HU"
                           << "2026. 12. 06."
                           << "13:03:09"
                           << "0:05:07";
    QTest::newRow("es_ES") << "es_ES"
                           << "6/12/2026"
                           << "13:03:09"
                           << "0:05:07";
    QTest::newRow("C") << "C"
                       << "6 Dec 2026"
                       << "13:03:09"
                       << "00:05:07";
    // A separator holding a right-to-left mark, and the locale's own digits
    // in both the date and the time.
    QTest::newRow("ar_EG") << "ar_EG" << QString::fromUtf8("٦\u200f/١٢\u200f/٢٠٢٦")
                           << QString::fromUtf8("١:٠٣:٠٩ م") << QString::fromUtf8("١٢:٠٥:٠٧ ص");
}

void TestLocale::localeTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, shortDate);
    QFETCH(QString, afternoon);
    QFETCH(QString, midnight);

    const RegionalSettings region = RegionalSettings::fromLocale(QLocale(name));
    QCOMPARE(shortDateText(Sunday, region), shortDate);
    QCOMPARE(longTimeText(QTime(13, 3, 9), region), afternoon);
    QCOMPARE(longTimeText(QTime(0, 5, 7), region), midnight);
}

void TestLocale::twoDigitYearIsWidened()
{
    // These locales give two-digit years in their short pattern; the stamp
    // keeps four. A year beginning with 0 must not lose its zeros either.
    for (const char* name : {"en_US", "de_DE", "ko_KR", "it_IT"}) {
        const QLocale locale(QString::fromLatin1(name));
        QVERIFY2(!locale.dateFormat(QLocale::ShortFormat).contains(QLatin1String("yyyy")), name);
        const RegionalSettings region = RegionalSettings::fromLocale(locale);
        QVERIFY2(region.shortDatePattern.contains(QLatin1String("yyyy")), name);
        QVERIFY2(!region.shortDatePattern.contains(QLatin1String("yyyyy")), name);
        QVERIFY2(shortDateText(QDate(2009, 3, 4), region).contains(QLatin1String("2009")), name);
    }
}

void TestLocale::shortDatePattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");

    QTest::newRow("worked example") << "M/d/yyyy"
                                    << "/"
                                    << "12/6/2026";
    QTest::newRow("separator replaces slash") << "yyyy/MM/dd"
                                              << "-"
                                              << "2026-12-06";
    QTest::newRow("quoted slash stays") << "dd'/'MM/yyyy"
                                        << "."
                                        << "06/12.2026";
    QTest::newRow("quoted quote") << "d/M/yyyy 'o''clock'"
                                  << "."
                                  << "6.12.2026 o'clock";
    QTest::newRow("month name") << "d/MMMM/yyyy"
                                << " "
                                << "6 December 2026";
    QTest::newRow("empty pattern falls back to M/d/yy") << ""
                                                        << "/"
                                                        << "12/6/26";
    QTest::newRow("fallback keeps the separator") << "'today'"
                                                  << "-"
                                                  << "12-6-26";
    QTest::newRow("fallback without separator") << "hh:mm"
                                                << ""
                                                << "12/6/26";
}

void TestLocale::shortDatePattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, separator);
    QFETCH(QString, expected);

    RegionalSettings region;
    region.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    region.shortDatePattern = pattern;
    region.dateSeparator = separator;
    QCOMPARE(shortDateText(Sunday, region), expected);
}

void TestLocale::twelveHourClock_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("leadingZero");
    QTest::addColumn<bool>("designatorFirst");
    QTest::addColumn<QString>("expected");

    QTest::newRow("midnight") << QTime(0, 0, 0) << false << false << "12:00:00 AM";
    QTest::newRow("before noon") << QTime(11, 59, 59) << false << false << "11:59:59 AM";
    QTest::newRow("noon") << QTime(12, 0, 0) << false << false << "12:00:00 PM";
    QTest::newRow("13 h") << QTime(13, 0, 1) << false << false << "1:00:01 PM";
    QTest::newRow("23 h") << QTime(23, 59, 59) << false << false << "11:59:59 PM";
    QTest::newRow("leading zero") << QTime(9, 3, 9) << true << false << "09:03:09 AM";
    QTest::newRow("leading zero afternoon") << QTime(21, 3, 9) << true << false << "09:03:09 PM";
    QTest::newRow("leading zero midnight") << QTime(0, 1, 2) << true << false << "12:01:02 AM";
    QTest::newRow("designator first") << QTime(14, 3, 9) << false << true << "PM 2:03:09";
}

void TestLocale::twelveHourClock()
{
    QFETCH(QTime, time);
    QFETCH(bool, leadingZero);
    QFETCH(bool, designatorFirst);
    QFETCH(QString, expected);

    RegionalSettings region;
    region.twelveHourClock = true;
    region.hourLeadingZero = leadingZero;
    region.designatorFirst = designatorFirst;
    QCOMPARE(longTimeText(time, region), expected);

    // The same settings on a 24-hour clock: no designator, hour as it is.
    region.twelveHourClock = false;
    region.timeSeparator = QStringLiteral(".");
    const QString hour =
        leadingZero ? time.toString(QStringLiteral("HH")) : QString::number(time.hour());
    QCOMPARE(longTimeText(time, region), hour + time.toString(QStringLiteral(".mm.ss")));
}

void TestLocale::longDate()
{
    QCOMPARE(longDateText(Sunday, QLocale(QStringLiteral("en_US"))),
             QStringLiteral("Sunday, December 6, 2026"));
    QCOMPARE(longDateText(Sunday, QLocale(QStringLiteral("de_DE"))),
             QStringLiteral("Sonntag, 6. Dezember 2026"));
    QCOMPARE(longDateText(Sunday, QLocale(QStringLiteral("en_GB"))),
             QStringLiteral("Sunday, 6 December 2026"));
    QVERIFY(longDateText(Sunday, QLocale(QStringLiteral("ja_JP"))).startsWith(u"2026年12月6日"));
}

void TestLocale::invalidInput()
{
    const RegionalSettings region = RegionalSettings::fromLocale(QLocale(QStringLiteral("en_US")));
    QVERIFY(longDateText(QDate(), region.locale).isEmpty());
    QVERIFY(longTimeText(QTime(), region).isEmpty());
    QVERIFY(shortDateText(QDate(), region).isEmpty());
}

void TestLocale::systemFollowsLcTime()
{
    // main() starts this test with LC_TIME=de_DE.UTF-8 and LC_ALL unset.
    const RegionalSettings system = RegionalSettings::system();
    const RegionalSettings german = RegionalSettings::fromLocale(QLocale(QStringLiteral("de_DE")));
    QCOMPARE(shortDateText(Sunday, system), QStringLiteral("06.12.2026"));
    QCOMPARE(shortDateText(Sunday, system), shortDateText(Sunday, german));
    QCOMPARE(longTimeText(QTime(13, 3, 9), system), QStringLiteral("13:03:09"));
    QCOMPARE(longDateText(Sunday, QLocale::system()), longDateText(Sunday, german.locale));
}

int main(int argc, char* argv[])
{
    // The session's date and time formats follow LC_TIME unless LC_ALL
    // overrides it; fix both before Qt first reads them.
    ::unsetenv("LC_ALL");
    ::setenv("LC_TIME", "de_DE.UTF-8", 1);
    TestSupport::GuardedApplication<QCoreApplication> app(argc, argv);
    TestLocale test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_locale.moc"
