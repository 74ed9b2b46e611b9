// The command line, the uninstall command, the main window's visibility at
// start and the single-instance handshake within one process.
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "core/Collector.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"
#include "support/DesktopFixture.h"
#include "support/TestSupport.h"
#include "ui/MainWindow.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestStartup final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void uninstallCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("expected");
        QTest::newRow("slash upper") << QStringList{"clipstow", "/UNINSTALL"} << true;
        QTest::newRow("dash mixed") << QStringList{"clipstow", "-Uninstall"} << true;
        QTest::newRow("slash lower") << QStringList{"clipstow", "/uninstall"} << true;
        QTest::newRow("second parameter") << QStringList{"clipstow", "x", "/uninstall"} << false;
        QTest::newRow("none") << QStringList{"clipstow"} << false;
        QTest::newRow("double dash") << QStringList{"clipstow", "--uninstall"} << false;
        QTest::newRow("trailing blank") << QStringList{"clipstow", "/uninstall "} << false;
        // Only A to Z are lower-cased: a dotted capital I stays different.
        QTest::newRow("non-ASCII capital")
            << QStringList{"clipstow", QString::fromUtf8("/UNİNSTALL")} << false;
    }

    void uninstallCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, expected);
        QCOMPARE(Startup::isUninstallCommand(arguments), expected);
    }

    void uninstallRemovesBothRoots()
    {
        TestSupport::ScopedRegistry registry;
        Layout::Filename1.write(QStringLiteral("kept.txt"));
        RegistryStore& store = RegistryStore::global();
        const QString placement = QStringLiteral("SOFTWARE\\Orvane\\Clipstow\\MainForm");
        QVERIFY(store.openKey(RegRoot::CurrentUser, placement, true));
        QVERIFY(store.openKey(RegRoot::LocalMachine, QString::fromLatin1(Layout::RunKey), true)
                    ->setValue(QStringLiteral("Clipstow"), RegType::Sz,
                               RegValue::encodeString(QStringLiteral("/bin/clipstow"))));
        QStringList shown;
        Startup::runUninstall(
            [&](const QString& text, const QString& caption) { shown << text << caption; });
        QCOMPARE(shown, QStringList({"Clipstow registry data removed", "Uninstall"}));
        const QString key = QString::fromLatin1(Layout::ProgramKey);
        QVERIFY(!store.keyExists(RegRoot::LocalMachine, key));
        QVERIFY(!store.keyExists(RegRoot::CurrentUser, key));
        // The start-up entry is left alone.
        QVERIFY(Layout::RunEntry.exists());

        // Nothing there: the message all the same.
        shown.clear();
        Startup::runUninstall([&](const QString& text, const QString&) { shown << text; });
        QCOMPARE(shown.size(), 1);
    }

    void mainWindowAtStart_data()
    {
        QTest::addColumn<bool>("autoHide");
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("shown");
        QTest::newRow("hidden to the tray") << true << true << false;
        QTest::newRow("AutoHide false") << false << true << true;
        QTest::newRow("no tray") << true << false << true;
    }

    void mainWindowAtStart()
    {
        QFETCH(bool, autoHide);
        QFETCH(bool, tray);
        QFETCH(bool, shown);
        TestSupport::ScopedRegistry registry;
        TestSupport::seedReturningUser();
        TestSupport::ScopedWorkFolder folder;
        Layout::AutoHide.write(autoHide);
        Collector collector;
        MainWindow form(collector);
        QCOMPARE(Startup::showMainWindowAtStart(form, tray), shown);
        QCOMPARE(form.isVisible(), shown);
        QCOMPARE(form.statusText().contains(QStringLiteral("notification area")), !tray);
    }

    void secondInstanceActivatesFirst()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        const QString name = QStringLiteral("clipstow-test");
        SingleInstance first(name);
        QVERIFY(first.claim());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);

        SingleInstance second(name);
        QVERIFY(!second.claim());
        QVERIFY(second.activateRunning(2000));
        QVERIFY(activated.wait(2000));
        QCOMPARE(activated.count(), 1);
        // Only the user may open the socket.
        QCOMPARE(QFileInfo(first.socketPath()).permissions() &
                     (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ReadGroup |
                      QFileDevice::WriteGroup),
                 QFileDevice::Permissions());
    }

    void nameNamesUserAndDisplay()
    {
        qputenv("DISPLAY", ":7.0");
        const QString name = SingleInstance::defaultName();
        QVERIFY(name.startsWith(QStringLiteral("clipstow-%1-").arg(::getuid())));
        QVERIFY(name.endsWith(QStringLiteral("-_7"))); // the screen number is no other display
        QVERIFY(!name.contains(QLatin1Char('/')));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
