#include "core/StampLine.h"
#include "support/TestMain.h"

#include <QTest>

// The stamp line in its three styles, with regional settings injected.
class TestStampLine final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workedExample();
    void styles_data();
    void styles();
    void noDateStyles_data();
    void noDateStyles();
    void localeStamps_data();
    void localeStamps();
};

namespace {

// The region of the worked example: M/d/yyyy, separators / and :, 12-hour
// clock without leading zero, AM and PM after the time.
RegionalSettings exampleRegion()
{
    RegionalSettings region;
    region.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    region.shortDatePattern = QStringLiteral("M/d/yyyy");
    region.dateSeparator = QStringLiteral("/");
    region.timeSeparator = QStringLiteral(":");
    region.twelveHourClock = true;
    region.hourLeadingZero = false;
    region.amDesignator = QStringLiteral("AM");
    region.pmDesignator = QStringLiteral("PM");
    region.designatorFirst = false;
    return region;
}

const QDateTime ExampleTime{QDate(2026, 12, 6), QTime(12, 3, 9)};

} // namespace

void TestStampLine::workedExample()
{
    QCOMPARE(buildStampLine(1, ExampleTime, exampleRegion()),
             QStringLiteral("===== 12/6/2026 === 12:03:09 PM =====\r\n"));
    QCOMPARE(buildStampLine(1, QDateTime(QDate(2026, 12, 6), QTime(12, 4, 30)), exampleRegion()),
             QStringLiteral("===== 12/6/2026 === 12:04:30 PM =====\r\n"));
}

void TestStampLine::styles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("expected");

    QTest::newRow("long date") << 2 << ExampleTime
                               << "===== Sunday, December 6, 2026 === 12:03:09 PM =====\r\n";
    QTest::newRow("midnight") << 1 << QDateTime(QDate(2027, 1, 1), QTime(0, 0, 5))
                              << "===== 1/1/2027 === 12:00:05 AM =====\r\n";
    QTest::newRow("afternoon") << 1 << QDateTime(QDate(2026, 2, 28), QTime(13, 59, 0))
                               << "===== 2/28/2026 === 1:59:00 PM =====\r\n";
}

void TestStampLine::styles()
{
    QFETCH(int, style);
    QFETCH(QDateTime, when);
    QFETCH(QString, expected);
    QCOMPARE(buildStampLine(style, when, exampleRegion()), expected);
}

void TestStampLine::noDateStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("0") << 0;
    QTest::newRow("3") << 3;
    QTest::newRow("7") << 7;
    QTest::newRow("-1") << -1;
}

void TestStampLine::noDateStyles()
{
    QFETCH(int, style);
    QCOMPARE(buildStampLine(style, ExampleTime, exampleRegion()), QStringLiteral("\r\n\r\n"));
}

void TestStampLine::localeStamps_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("expected");

    const QString de = QStringLiteral("de_DE");
    QTest::newRow("en_US short") << "en_US" << 1 << "===== 12/6/2026 === 12:03:09 PM =====\r\n";
    QTest::newRow("en_GB short") << "en_GB" << 1 << "===== 06/12/2026 === 12:03:09 =====\r\n";
    QTest::newRow("de_DE short") << de << 1 << "===== 06.12.2026 === 12:03:09 =====\r\n";
    QTest::newRow("de_DE long") << de << 2
                                << "===== Sonntag, 6. Dezember 2026 === 12:03:09 =====\r\n";
    QTest::newRow("fr_FR long") << "fr_FR" << 2
                                << "===== dimanche 6 décembre 2026 === 12:03:09 =====\r\n";
    QTest::newRow("fi_FI short") << "fi_FI" << 1 << "===== 6.12.2026 === 12.03.09 =====\r\n";
    QTest::newRow("ja_JP short") << "ja_JP" << 1 << "===== 2026/12/06 === 12:03:09 =====\r\n";
    QTest::newRow("ko_KR short") << "ko_KR" << 1
                                 << "===== 2026. 12. 6. === 오후 12:03:09 =====\r\n";
}

void TestStampLine::localeStamps()
{
    QFETCH(QString, name);
    QFETCH(int, style);
    QFETCH(QString, expected);
    QCOMPARE(buildStampLine(style, ExampleTime, RegionalSettings::fromLocale(QLocale(name))),
             expected);
}

CLIPSTOW_TEST_GUILESS_MAIN(TestStampLine)
#include "tst_stampline.moc"
