// The support mail's link: the build date goes into the subject in the
// user's short date format, its separators unencoded.
#include "core/SupportMail.h"
#include "platform/Locale.h"

#include <QTest>

class TestSupportMail final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void link_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("date");
        QTest::newRow("dots") << "dd/MM/yyyy"
                              << "."
                              << "16.08.1999";
        QTest::newRow("slashes") << "M/d/yyyy"
                                 << "/"
                                 << "8/16/1999";
    }

    void link()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, separator);
        QFETCH(QString, date);
        RegionalSettings region;
        region.shortDatePattern = pattern;
        region.dateSeparator = separator;
        QCOMPARE(SupportMail::link(QStringLiteral("help@example.org"), QDate(1999, 8, 16), region),
                 QStringLiteral("mailto:help@example.org?subject=Clipstow%203%20%28build%20") +
                     date + QStringLiteral("%29"));
    }

    // The date the build stamped in is read back, not lost to a format
    // mismatch (which would leave the subject without a date).
    void buildDate() { QVERIFY(SupportMail::buildDate().isValid()); }
};

QTEST_MAIN(TestSupportMail)
#include "tst_supportmail.moc"
