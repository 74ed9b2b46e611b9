// The first-run agreement: when start-up shows it (and the splash), what
// each answer stores, its acceptance stamp and what its text says.
#include "app/InstanceCommands.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/FirstRun.h"
#include "core/ProgramInfo.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "settings/Settings.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "ui/AgreementDialog.h"
#include "ui/MainWindow.h"
#include "ui/SplashWindow.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using Outcome = AgreementDialog::Outcome;

// Stores a value of the program key: none, a bool, an int or a text.
static void store(RegistryStore& store, const char* name, const QVariant& value)
{
    const QString key = QString::fromLatin1(Layout::ProgramKey);
    RegTools::deleteValue(store, key, QString::fromLatin1(name));
    if (value.typeId() == QMetaType::Bool)
        RegTools::writeBool(store, key, QString::fromLatin1(name), value.toBool());
    else if (value.typeId() == QMetaType::Int)
        RegTools::writeInt(store, key, QString::fromLatin1(name), value.toInt());
    else if (value.isValid())
        RegTools::writeString(store, key, QString::fromLatin1(name), value.toString());
}

class TestFirstRun final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::DesktopFixture> m_desk;

private Q_SLOTS:
    void init() { m_desk = std::make_unique<TestSupport::DesktopFixture>(); }
    void cleanup() { m_desk.reset(); }

    // The modal windows that creating the main window shows, each closed as
    // soon as it is up (the agreement by its close box), and the errors.
    void startupWindows_data()
    {
        QTest::addColumn<QVariant>("accepted");
        QTest::addColumn<QVariant>("splash");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("error");
        const QVariant none;
        QTest::newRow("first run") << none << none << "agreementDialog splashWindow"
                                   << "";
        QTest::newRow("declined before")
            << QVariant("Never") << QVariant(false) << "agreementDialog"
            << "";
        QTest::newRow("old acceptance") << QVariant("3/4/2019") << none << "splashWindow"
                                        << "";
        QTest::newRow("other case") << QVariant("never") << QVariant(false) << ""
                                    << "";
        QTest::newRow("wrong-typed acceptance")
            << QVariant(1) << QVariant(false) << "agreementDialog"
            << "Invalid data type for 'AcceptedLicense'";
        QTest::newRow("wrong-typed splash")
            << QVariant("12/1/2026") << QVariant("1") << "splashWindow"
            << "Invalid data type for 'ShowSplash'";
    }

    void startupWindows()
    {
        QFETCH(QVariant, accepted);
        QFETCH(QVariant, splash);
        QFETCH(QString, shown);
        QFETCH(QString, error);
        store(m_desk->store(), "AcceptedLicense", accepted);
        store(m_desk->store(), "ShowSplash", splash);
        QStringList seen;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&seen] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen << modal->objectName();
                modal->close();
            }
        });
        watcher.start(20);
        Startup program(m_desk->settings(), m_desk->reporter(), m_desk->saveSound());
        QVERIFY(program.start());
        QCOMPARE(seen.join(QLatin1Char(' ')), shown);
        QCOMPARE(m_desk->errors().join(QString()), error);
        QVERIFY(program.collector().isStarted());
        QCOMPARE(TestSupport::isStored(m_desk->store(), Layout::AcceptedLicense),
                 accepted.isValid());
    }

    // Declined: start-up returns before any window is made, the tray icon
    // gone, and "Never" stored.
    void declinedAgreementEndsStartUp()
    {
        store(m_desk->store(), "AcceptedLicense", QVariant());
        QTimer::singleShot(0, this, [] {
            QTRY_VERIFY(qobject_cast<AgreementDialog*>(QApplication::activeModalWidget()));
            static_cast<AgreementDialog*>(QApplication::activeModalWidget())
                ->declineButton()
                ->click();
        });
        Startup program(m_desk->settings(), m_desk->reporter(), m_desk->saveSound());
        QVERIFY(program.trayIcon() && program.trayIcon()->isVisible());
        QVERIFY(!program.start());
        QVERIFY(!program.trayIcon());
        QVERIFY(!program.mainWindow());
        QVERIFY(program.hasEnded());
        QCOMPARE(program.exec(), 0);
        QCOMPARE(m_desk->settings().acceptedLicense(), QStringLiteral("Never"));
    }

    // Regression: a second start while the agreement was open was lost,
    // also where a registry that cannot be read brings the agreement at
    // every start. The agreement comes to the front, and the main window
    // shows once it is accepted.
    void secondStartDuringAgreementBringsItForward_data()
    {
        QTest::addColumn<bool>("readable");
        QTest::newRow("registry read") << true;
        QTest::newRow("registry cannot be read") << false;
    }

    void secondStartDuringAgreementBringsItForward()
    {
        QFETCH(bool, readable);
        store(m_desk->store(), "AcceptedLicense", QVariant());
        // Below a regular file: nothing can be read or written.
        TestSupport::writeBytes(m_desk->path(QStringLiteral("afile")), "");
        ErrorReporter unreadableErrors;
        unreadableErrors.setPresenter([](const QString&) {});
        Settings unreadable(
            m_desk->path(QStringLiteral("afile/registry.sqlite3")),
            [&](const AppError& failure) { unreadableErrors.showFailure(failure); });
        Startup program(readable ? m_desk->settings() : unreadable,
                        readable ? m_desk->reporter() : unreadableErrors, m_desk->saveSound());
        SingleInstance instance(QStringLiteral("clipstow-test"));
        InstanceCommands commands(instance);
        QWidget other;
        bool cameForward = false;
        // The splash, which a registry that cannot be read asks for too.
        QTimer closeSplash;
        connect(&closeSplash, &QTimer::timeout, this, [] {
            if (auto* splash = qobject_cast<SplashWindow*>(QApplication::activeModalWidget()))
                splash->reject();
        });
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<AgreementDialog*>(QApplication::activeModalWidget()));
            auto* agreement = static_cast<AgreementDialog*>(QApplication::activeModalWidget());
            other.show();
            QApplication::setActiveWindow(&other);
            QTRY_VERIFY(!agreement->isActiveWindow());
            commands.addOwnRequest(QStringLiteral("show"));
            QTRY_VERIFY(agreement->isActiveWindow());
            cameForward = true;
            closeSplash.start(10);
            agreement->acceptButton()->click();
        });
        QVERIFY(program.start());
        QVERIFY(cameForward);
        // Shown by the request that waited (here without a notification
        // area start-up shows it anyway).
        program.mainWindow()->hide();
        commands.attach(program);
        QTRY_VERIFY(program.mainWindow()->isVisible());
    }

    void answers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("I Accept") << "accept" << Outcome::Accepted;
        QTest::newRow("I Do Not Accept") << "decline" << Outcome::Declined;
        QTest::newRow("Esc") << "escape" << Outcome::Declined;
        QTest::newRow("close box") << "close" << Outcome::Closed;
        QTest::newRow("Enter on a focused I Accept") << "enter:accept" << Outcome::Accepted;
        QTest::newRow("Enter on a focused I Do Not Accept") << "enter:decline" << Outcome::Declined;
        QTest::newRow("Enter in the text: the default, I Do Not Accept")
            << "enter:text" << Outcome::Declined;
    }

    void answers()
    {
        QFETCH(QString, action);
        QFETCH(Outcome, outcome);
        RegTools::deleteValue(m_desk->store(), QString::fromLatin1(Layout::AcceptedLicense.key),
                              QString::fromLatin1(Layout::AcceptedLicense.name));
        AgreementDialog dialog(m_desk->settings(), QStringLiteral("terms"));
        dialog.open();
        const QDateTime before = QDateTime::currentDateTime();
        if (action == QLatin1String("accept"))
            QTest::mouseClick(dialog.acceptButton(), Qt::LeftButton);
        else if (action == QLatin1String("decline"))
            QTest::mouseClick(dialog.declineButton(), Qt::LeftButton);
        else if (action == QLatin1String("escape"))
            QTest::keyClick(dialog.textView(), Qt::Key_Escape);
        else if (action.startsWith(QLatin1String("enter:"))) {
            QWidget* target = dialog.acceptButton();
            if (action.endsWith(QLatin1String("decline")))
                target = dialog.declineButton();
            else if (action.endsWith(QLatin1String("text")))
                target = dialog.textView();
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
        } else
            dialog.close();
        const RegionalSettings region = RegionalSettings::system();
        const QStringList stamps{FirstRun::acceptanceText(before, region),
                                 FirstRun::acceptanceText(QDateTime::currentDateTime(), region)};
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.outcome(), outcome);
        QCOMPARE(TestSupport::isStored(m_desk->store(), Layout::AcceptedLicense),
                 outcome != Outcome::Closed);
        if (outcome == Outcome::Accepted)
            QVERIFY2(stamps.contains(m_desk->settings().acceptedLicense()),
                     qPrintable(m_desk->settings().acceptedLicense()));
        if (outcome == Outcome::Declined)
            QCOMPARE(m_desk->settings().acceptedLicense(), QStringLiteral("Never"));
    }

    void acceptanceText()
    {
        RegionalSettings region; // M/d/yy h:mm:ss AM
        const QDate day(2026, 12, 7);
        QCOMPARE(FirstRun::acceptanceText(QDateTime(day, QTime(14, 3, 9)), region),
                 QStringLiteral("12/7/26 2:03:09 PM"));
        QCOMPARE(FirstRun::acceptanceText(QDateTime(day, QTime(0, 0)), region),
                 QStringLiteral("12/7/26"));
        QCOMPARE(FirstRun::acceptanceText(QDateTime(day, QTime(0, 0, 1)), region),
                 QStringLiteral("12/7/26 12:00:01 AM"));
    }

    // The agreement quotes the licence file, names where captures go and
    // how to stop them; the README's licence section names the same terms.
    void textAgreesWithLicence()
    {
        const QString license = QString::fromUtf8(
            TestSupport::fileBytes(QStringLiteral(CLIPSTOW_SOURCE_DIR "/LICENSE")));
        QCOMPARE(ProgramInfo::licenseText(), license);
        m_desk->settings().setSlotFileName(2, QStringLiteral("/elsewhere/notes.txt"));
        // Contacts only when the program has them.
        ProgramInfo::setContacts(QString(), QString());
        const QString withoutContacts = AgreementDialog::textForThisStart(m_desk->settings());
        QVERIFY(!withoutContacts.contains(QLatin1String("Support:")));
        QVERIFY(!withoutContacts.contains(QLatin1String("Web site:")));
        ProgramInfo::setContacts(QStringLiteral("help@clipstow.test"),
                                 QStringLiteral("https://clipstow.test/"));
        const QString text = AgreementDialog::textForThisStart(m_desk->settings());
        ProgramInfo::setContacts(QStringLiteral(CLIPSTOW_SUPPORT_MAIL),
                                 QStringLiteral(CLIPSTOW_WEB_SITE));
        QStringList parts{QStringLiteral("Clipstow " CLIPSTOW_VERSION),
                          QStringLiteral("Support: help@clipstow.test\n"),
                          QStringLiteral("Web site: https://clipstow.test/\n"),
                          m_desk->path(QStringLiteral("Default1.txt")),
                          QStringLiteral("/elsewhere/notes.txt"),
                          QStringLiteral("first time"),
                          QStringLiteral("press F5")};
        // Every paragraph of the licence, each on one line.
        for (const QString& paragraph : license.split(QStringLiteral("\n\n")))
            parts << paragraph.simplified();
        for (const QString& part : parts)
            QVERIFY2(text.contains(part), qPrintable(part));
        const QByteArray readme =
            TestSupport::fileBytes(QStringLiteral(CLIPSTOW_SOURCE_DIR "/README.md"));
        QVERIFY(readme.contains("MIT") && readme.contains(license.section('\n', 2, 2).toUtf8()));
    }
};

CLIPSTOW_TEST_MAIN(TestFirstRun)
#include "tst_firstrun.moc"
