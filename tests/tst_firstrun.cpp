// The first-run agreement: when start-up shows it (and the splash), what
// each of its answers stores, its acceptance stamp and what its text says.
#include "core/FirstRun.h"
#include "core/ProgramInfo.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "ui/AgreementDialog.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestFirstRun final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::DesktopFixture> m_desk;

    static QString programKey() { return QString::fromLatin1(Layout::ProgramKey); }

private Q_SLOTS:
    void init() { m_desk = std::make_unique<TestSupport::DesktopFixture>(); }
    void cleanup() { m_desk.reset(); }

    // Which modal windows the main window's creation shows, closing each as
    // soon as it is up (the agreement by its close box), and what it reports.
    void startupWindows_data()
    {
        QTest::addColumn<QString>("accepted"); // "<missing>", "<int>" or the text
        QTest::addColumn<QString>("splash");   // "<missing>", "<text>", "0"
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("errors");
        const QStringList both{"LicenseForm", "SplashForm"};
        QTest::newRow("first run") << "<missing>"
                                   << "<missing>" << both << QStringList();
        QTest::newRow("declined before") << "Never"
                                         << "0" << QStringList{"LicenseForm"} << QStringList();
        QTest::newRow("old acceptance")
            << "3/4/2019 10:00:00 AM"
            << "<missing>" << QStringList{"SplashForm"} << QStringList();
        QTest::newRow("other case") << "never"
                                    << "0" << QStringList() << QStringList();
        QTest::newRow("empty text") << ""
                                    << "0" << QStringList() << QStringList();
        QTest::newRow("wrong-typed acceptance")
            << "<int>"
            << "0" << QStringList{"LicenseForm"}
            << QStringList{"Invalid data type for 'AcceptedLicense'"};
        QTest::newRow("wrong-typed splash")
            << "12/1/2026"
            << "<text>" << QStringList() << QStringList{"Invalid data type for 'ShowSplash'"};
    }

    void startupWindows()
    {
        QFETCH(QString, accepted);
        QFETCH(QString, splash);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, errors);
        DeleteRegValue(programKey(), QStringLiteral("AcceptedLicense"));
        DeleteRegValue(programKey(), QStringLiteral("ShowSplash"));
        if (accepted == QLatin1String("<int>"))
            WriteRegInt(programKey(), QStringLiteral("AcceptedLicense"), 1);
        else if (accepted != QLatin1String("<missing>"))
            Layout::AcceptedLicense.write(accepted);
        if (splash == QLatin1String("<text>"))
            WriteRegStr(programKey(), QStringLiteral("ShowSplash"), QStringLiteral("1"));
        else if (splash == QLatin1String("0"))
            Layout::ShowSplash.write(false);

        QStringList seen;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&seen] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen << modal->objectName();
                modal->close();
            }
        });
        watcher.start(20);
        TMainForm form;
        QCOMPARE(seen, shown);
        QCOMPARE(m_desk->errors(), errors);
        QVERIFY(form.IsStarted());
        // Closing the agreement by its close box leaves the value as it was.
        if (accepted == QLatin1String("<missing>"))
            QVERIFY(!Layout::AcceptedLicense.exists());
    }

    void answers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("outcome");
        QTest::newRow("I Accept") << "accept" << int(AgreementDialog::Outcome::Accepted);
        QTest::newRow("I Do Not Accept") << "decline" << int(AgreementDialog::Outcome::Declined);
        QTest::newRow("Esc") << "escape" << int(AgreementDialog::Outcome::Declined);
        QTest::newRow("close box") << "close" << int(AgreementDialog::Outcome::Closed);
    }

    void answers()
    {
        QFETCH(QString, action);
        QFETCH(int, outcome);
        Layout::AcceptedLicense.remove();
        AgreementDialog dialog(QStringLiteral("terms"));
        dialog.open();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Clipstow License Agreement"));
        const QDateTime before = QDateTime::currentDateTime();
        if (action == QLatin1String("accept"))
            QTest::mouseClick(dialog.acceptButton(), Qt::LeftButton);
        else if (action == QLatin1String("decline"))
            QTest::mouseClick(dialog.declineButton(), Qt::LeftButton);
        else if (action == QLatin1String("escape"))
            QTest::keyClick(dialog.textView(), Qt::Key_Escape);
        else
            dialog.close();
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(int(dialog.outcome()), outcome);

        const RegionalSettings region = RegionalSettings::system();
        switch (AgreementDialog::Outcome(outcome)) {
        case AgreementDialog::Outcome::Accepted:
            QVERIFY2(QStringList({FirstRun::acceptanceText(before, region),
                                  FirstRun::acceptanceText(after, region)})
                         .contains(Layout::AcceptedLicense.read()),
                     qPrintable(Layout::AcceptedLicense.read()));
            QVERIFY(!FirstRun::agreementNeeded(Layout::AcceptedLicense.read()));
            break;
        case AgreementDialog::Outcome::Declined:
            QCOMPARE(Layout::AcceptedLicense.read(), QStringLiteral("Never"));
            QVERIFY(Layout::AcceptedLicense.exists());
            break;
        case AgreementDialog::Outcome::Closed:
            QVERIFY(!Layout::AcceptedLicense.exists());
            break;
        }
    }

    void acceptanceText_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<bool>("european");
        QTest::addColumn<QString>("expected");
        const QDate day(2026, 12, 7);
        QTest::newRow("afternoon")
            << QDateTime(day, QTime(14, 3, 9)) << false << "12/7/26 2:03:09 PM";
        QTest::newRow("midnight") << QDateTime(day, QTime(0, 0)) << false << "12/7/26";
        QTest::newRow("second after midnight")
            << QDateTime(day, QTime(0, 0, 1)) << false << "12/7/26 12:00:01 AM";
        QTest::newRow("24-hour") << QDateTime(day, QTime(9, 5, 0)) << true << "07.12.2026 09:05:00";
    }

    void acceptanceText()
    {
        QFETCH(QDateTime, when);
        QFETCH(bool, european);
        QFETCH(QString, expected);
        RegionalSettings region;
        if (european) {
            region.shortDatePattern = QStringLiteral("dd/MM/yyyy");
            region.dateSeparator = QStringLiteral(".");
            region.twelveHourClock = false;
            region.hourLeadingZero = true;
        }
        QCOMPARE(FirstRun::acceptanceText(when, region), expected);
    }

    // The agreement quotes the licence file, names where captures go and
    // how to stop them; the README's licence section names the same terms.
    void textAgreesWithLicence()
    {
        const QString license = QString::fromUtf8(
            TestSupport::fileBytes(QStringLiteral(CLIPSTOW_SOURCE_DIR "/LICENSE")));
        QCOMPARE(ProgramInfo::licenseText(), license);
        Layout::Filename2.write(QStringLiteral("/elsewhere/notes.txt"));
        const QString text = AgreementDialog::textForThisStart();
        for (const QString& part :
             {QStringLiteral("Clipstow " CLIPSTOW_VERSION), QStringLiteral(CLIPSTOW_SUPPORT_MAIL),
              QStringLiteral(CLIPSTOW_WEB_SITE), ProgramInfo::creditLine(),
              m_desk->path(QStringLiteral("Default1.txt")), QStringLiteral("/elsewhere/notes.txt"),
              m_desk->path(QStringLiteral("Default3.txt")), QStringLiteral("first time"),
              QStringLiteral("Auto mode is on"), QStringLiteral("press F5")})
            QVERIFY2(text.contains(part), qPrintable(part));
        // Every paragraph of the licence, each on one line.
        for (const QString& paragraph : license.trimmed().split(QStringLiteral("\n\n")))
            QVERIFY2(text.contains(paragraph.simplified()), qPrintable(paragraph));
        const QByteArray readme =
            TestSupport::fileBytes(QStringLiteral(CLIPSTOW_SOURCE_DIR "/README.md"));
        QVERIFY(readme.contains("MIT"));
        QVERIFY(readme.contains(license.section(QLatin1Char('\n'), 2, 2).toUtf8()));
    }
};

QTEST_MAIN(TestFirstRun)
#include "tst_firstrun.moc"
