// The command line, the uninstall command, the main window's visibility at
// start and the single-instance handshake within one process.
#include "app/InstanceCommands.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "base/AppError.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "platform/TerminationRequests.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/ForeignLock.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "ui/AgreementDialog.h"
#include "ui/CommandHandlers.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"
#include "ui/TrayIcon.h"
#include "ui/editor/SlotEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <future>

#include <QLocalSocket>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
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
        // The autostart entry the command removes is in a folder of the test's.
        QTemporaryDir config;
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const auto restore = qScopeGuard([&] { qputenv("XDG_CONFIG_HOME", oldConfig); });
        registry.settings().setSlotFileName(1, QStringLiteral("kept.txt"));
        RegistryStore& store = registry.store();
        const QString placement = QStringLiteral("SOFTWARE\\Orvane\\Clipstow\\MainForm");
        QVERIFY(store.openKey(RegRoot::CurrentUser, placement, true));
        const QString otherKey =
            QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
        RegTools::writeString(store, otherKey, QStringLiteral("Clipstow"),
                              QStringLiteral("/bin/clipstow"));
        QStringList shown;
        Startup::runUninstall(
            registry.settings(),
            [&](const QString& text, const QString& caption) { shown << text << caption; });
        QCOMPARE(shown, QStringList({"Clipstow registry data removed", "Uninstall"}));
        const QString key = QString::fromLatin1(Layout::ProgramKey);
        QVERIFY(!store.keyExists(RegRoot::LocalMachine, key));
        QVERIFY(!store.keyExists(RegRoot::CurrentUser, key));
        // A value under another program's key (the Windows-style Run key,
        // which Clipstow never writes) is left alone, and so the file.
        QVERIFY(RegTools::valueExists(store, otherKey, QStringLiteral("Clipstow")));

        // Nothing there: the message all the same.
        shown.clear();
        Startup::runUninstall(registry.settings(),
                              [&](const QString& text, const QString&) { shown << text; });
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
        TestSupport::DesktopFixture desk;
        desk.settings().setAutoHide(autoHide);
        std::unique_ptr<Startup> program;
        TestSupport::startWindows(desk, program);
        MainWindow* form = program->mainWindow();
        program->showWindows(tray);
        QCOMPARE(form->isVisible(), shown);
        QCOMPARE(form->statusText().contains(QStringLiteral("notification area")), !tray);
    }

    // What start-up made of the settings, as one text for readable failures.
    static QString startedState(TestSupport::DesktopFixture& desk, bool withFont = true)
    {
        std::unique_ptr<Startup> program;
        TestSupport::startWindows(desk, program);
        Collector* collector = &program->collector();
        MainWindow* main = program->mainWindow();
        RemoteWindow* remote = program->remoteWindow();
        program->showWindows(true);
        const bool remoteShown = remote->isVisible();
        const bool mainShown = main->isVisible();
        QStringList state;
        for (SlotNumber slot : SlotNumber::all())
            state << collector->fileName(slot) + QLatin1Char('=') + main->editor(slot)->textLf();
        state << QString::number(collector->activeSlot().number())
              << collector->stampLine().left(2);
        if (withFont)
            state << main->editor(1)->font().toString();
        for (bool flag : {collector->autoMode(), main->handlers().confirmsClear(),
                          main->commands().toolbar->isChecked(),
                          main->commands().statusBar->isChecked(), remoteShown, mainShown})
            state << QString::number(flag);
        main->close();
        return state.join(QLatin1Char(' '));
    }

    // Regression: a value stored with the wrong type ended the program at
    // start ("terminate called after throwing an instance of 'AppError'",
    // no window). Now it is shown and start-up goes on with its default.
    void wrongTypedValueAtStart_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        const QString program = QString::fromLatin1(Layout::ProgramKey);
        for (const char* name : {"ShowSplash", "Filename1", "Filename2", "Filename3", "Toolbar",
                                 "StatusBar", "ConfirmClr", "DateStyle", "AutoOn", "Auto",
                                 "AShowRemote", "ShowRemote", "AutoHide", "ActiveFile"})
            QTest::newRow(name) << program << QString::fromLatin1(name);
        for (const Layout::FontValue& value : Layout::FontValues)
            QTest::newRow(value.name)
                << QString::fromLatin1(Layout::FontKey) << QString::fromLatin1(value.name);
    }

    void wrongTypedValueAtStart()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        TestSupport::DesktopFixture desktop;
        const QByteArray text = "captured before\r\n";
        QFile file(desktop.path(QStringLiteral("Default1.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        // The state of a returning user's start, whose last exit stored
        // what it saves. A font value of the wrong type leaves the editors
        // their own font, not the one stored.
        const bool fontRow = key == QString::fromLatin1(Layout::FontKey);
        startedState(desktop);
        const QString defaults = startedState(desktop, !fontRow);
        QCOMPARE(desktop.errors(), QStringList());

        // Each value gets the type it is not read as: a string where a
        // number is read, a number where a string is.
        RegistryStore& store = desktop.store();
        auto opened = store.openKey(RegRoot::LocalMachine, key, true);
        QVERIFY(opened);
        const std::optional<RegValue> right = opened->value(name);
        const bool readAsString = right ? right->type == RegType::Sz
                                        : QStringList({"Filename1", "Filename2", "Filename3",
                                                       "AutoOn", "AShowRemote", "Name", "Style"})
                                              .contains(name);
        QVERIFY(readAsString ? opened->setValue(name, RegType::Dword, RegValue::encodeDword(1))
                             : opened->setValue(name, RegType::Sz,
                                                RegValue::encodeString(QStringLiteral("1"))));
        opened.reset();

        QCOMPARE(startedState(desktop, !fontRow), defaults);
        QCOMPARE(desktop.errors(),
                 QStringList{QStringLiteral("Invalid data type for '%1'").arg(name)});
    }

    // Regression: SIGTERM then SIGHUP at once (how a session scope is
    // stopped) lost typed text: the first signal gave back the system's
    // default action, and the second ended the process before the text was
    // written. Later end signals are ignored until the text is safe.
    void secondEndSignalWhileEndingIsIgnored()
    {
        const std::unique_ptr<TerminationRequests> requests = createTerminationRequests();
        QSignalSpy told(requests.get(), &TerminationRequests::requested);
        for (int number : {SIGTERM, SIGHUP, SIGINT})
            QCOMPARE(::raise(number), 0); // this process goes on
        QVERIFY(requests->isRequested());
        QVERIFY(told.wait(5000));
        QCoreApplication::processEvents();
        QCOMPARE(told.count(), 1);
        struct sigaction action
        {
        };
        ::sigaction(SIGHUP, nullptr, &action);
        QVERIFY(action.sa_handler != SIG_DFL);
        requests->allowImmediateEnd();
        ::sigaction(SIGHUP, nullptr, &action);
        QVERIFY(action.sa_handler == SIG_DFL);
    }

    // Regression: SIGTERM while another program held the registry locked
    // showed a modal box nobody was there to answer, and the program never
    // ended; an Exit with the lock held in rollback-journal mode waited for
    // it once per window and said so twice. Ending for the session,
    // failures go to standard error; an Exit says it once.
    void endWithRegistryLocked_data()
    {
        QTest::addColumn<bool>("session");
        QTest::addColumn<bool>("rollbackJournal");
        QTest::newRow("SIGTERM") << true << false;
        QTest::newRow("SIGTERM, rollback journal") << true << true;
        QTest::newRow("Exit, rollback journal") << false << true;
    }

    void endWithRegistryLocked()
    {
        QFETCH(bool, session);
        QFETCH(bool, rollbackJournal);
        TestSupport::DesktopFixture desk;
        const QString registry = desk.store().filePath();
        bool journalSet = !rollbackJournal;
        if (rollbackJournal)
            desk.reopenStore([&] { journalSet = TestSupport::setJournalMode(registry, "DELETE"); });
        QVERIFY(journalSet);
        std::unique_ptr<Startup> program;
        TestSupport::startWindows(desk, program);
        MainWindow* main = program->mainWindow();
        TestSupport::ForeignLock lock(registry, false);
        QVERIFY(lock.ok());
        if (session) {
            main->editor(1)->insertPlainText(QStringLiteral("typed"));
            program->endSession();
        } else {
            main->close();
        }
        QVERIFY(program->hasEnded());
        QVERIFY(!program->trayIcon()->isVisible());
        QCOMPARE(desk.errors().size(), session ? 0 : 1);
        QCOMPARE(QDir(desk.folder()).entryList({QStringLiteral("Default1.txt.unsaved-*")}).size(),
                 session ? 1 : 0);
    }

    // Regression: with settings that cannot be saved (the registry's folder
    // is a file), a close made while the box saying so was open was lost:
    // once answered, the program went on running. Said once, and the close
    // ends the program.
    void closeEndsProgramWhenSettingsCannotBeSaved()
    {
        TestSupport::ScopedWorkFolder folder;
        TestSupport::writeBytes(folder.filePath(QStringLiteral("afile")), "");
        ErrorReporter errors;
        QStringList shown;
        std::unique_ptr<Startup> program;
        // A box runs an event loop of its own until it is answered; the user
        // closes the main window meanwhile.
        errors.setPresenter([&](const QString& text) {
            shown << text;
            QEventLoop box;
            QTimer::singleShot(0, program->mainWindow(), &QWidget::close);
            QTimer::singleShot(5000, &box, &QEventLoop::quit);
            box.exec();
        });
        Settings settings(folder.filePath(QStringLiteral("afile/registry.sqlite3")),
                          [&errors](const AppError& failure) { errors.showFailure(failure); });
        // Nothing can be read either: the agreement and the splash come.
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* agreement = qobject_cast<AgreementDialog*>(modal))
                agreement->acceptButton()->click();
            else if (modal)
                modal->close();
        });
        answer.start(20);
        SaveSound sound(&settings);
        program = std::make_unique<Startup>(settings, errors, sound);
        QVERIFY(program->start());
        answer.stop();
        QCOMPARE(program->exec(), 0);
        QVERIFY(program->hasEnded());
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.constFirst().startsWith(
                     QStringLiteral("The settings could not be saved: cannot create ")) &&
                     shown.constFirst().endsWith(QStringLiteral(": Not a directory.")),
                 qPrintable(shown.constFirst()));
    }

    // A later process's requests reach the first, which answers each: a
    // plain second start's "show" without waiting, a command with its
    // answer, whose line breaks survive the trip. Gone, it is "not
    // running"; an endless request is cut off.
    void requestsBetweenInstances()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        const QString name = QStringLiteral("clipstow-test");
        auto first = std::make_unique<SingleInstance>(name);
        QVERIFY(first->claim());
        QStringList received;
        connect(first.get(), &SingleInstance::requestReceived, this,
                [&received](InstanceRequest* request) {
                    received << request->text();
                    // A stopped instance does not answer; one that asks its
                    // user first says so and answers later.
                    if (request->text() == QLatin1String("hang"))
                        return;
                    if (request->text() == QLatin1String("quit")) {
                        request->tellAskingUser();
                        QTimer::singleShot(600, request, [request] {
                            request->answer(true, QStringLiteral("ended"));
                        });
                        return;
                    }
                    request->answer(request->text() == QLatin1String("capture 2"),
                                    QStringLiteral("took\n\\") + request->text());
                });
        using Outcome = SingleInstance::Answer::Outcome;
        // The asking side waits for the answer, so it runs in a thread.
        const auto ask = [&name](const QString& request, int answerTimeoutMs = 5000) {
            auto answer = std::async(std::launch::async, [&name, request, answerTimeoutMs] {
                return SingleInstance(name).ask(request, 2000, answerTimeoutMs);
            });
            while (answer.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
                QCoreApplication::processEvents();
            return answer.get();
        };

        SingleInstance second(name);
        QVERIFY(!second.claim());
        QVERIFY(second.activateRunning(2000));
        QTRY_COMPARE(received, QStringList{"show"});
        const SingleInstance::Answer done = ask(QStringLiteral("capture 2"));
        QCOMPARE(done.outcome, Outcome::Done);
        QCOMPARE(done.text, QStringLiteral("took\n\\capture 2"));
        QCOMPARE(ask(QStringLiteral("hide")).outcome, Outcome::Failed);
        QCOMPARE(ask(QString(SingleInstance::MaxRequestLength + 1, QLatin1Char('x'))).outcome,
                 Outcome::NoAnswer);
        QCOMPARE(received, QStringList({"show", "capture 2", "hide"}));
        // Regression: a command to a stopped instance waited for ever. It
        // has a time limit, but none while the instance asks its user.
        QCOMPARE(ask(QStringLiteral("hang"), 300).outcome, Outcome::TimedOut);
        const SingleInstance::Answer afterQuestion = ask(QStringLiteral("quit"), 300);
        QCOMPARE(afterQuestion.outcome, Outcome::Done);
        QCOMPARE(afterQuestion.text, QStringLiteral("ended"));

        // Regression: 1,100 connections that sent nothing used up the file
        // descriptors; the socket went, and Clipstow heard nobody until it
        // was started again. Idle connections are dropped, the open ones
        // are capped, and the next request is answered.
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < SingleInstance::MaxConnections + 8; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(first->socketPath());
        }
        QCOMPARE(ask(QStringLiteral("capture 2")).outcome, Outcome::Done);
        QTRY_VERIFY(std::all_of(idle.begin(), idle.end(), [](const auto& socket) {
            return socket->state() == QLocalSocket::UnconnectedState;
        }));
        idle.clear();
        // Out of file descriptors, a connection cannot be taken for a
        // while: the socket stays, and the request is taken afterwards.
        QLocalSocket waiting;
        waiting.connectToServer(first->socketPath());
        QVERIFY(waiting.waitForConnected(2000));
        waiting.write("show\n");
        QVERIFY(waiting.waitForBytesWritten(2000));
        struct rlimit files
        {
        };
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &files), 0);
        const int lowestFree = ::dup(0);
        QVERIFY(lowestFree >= 0);
        ::close(lowestFree);
        struct rlimit none = files;
        none.rlim_cur = rlim_t(lowestFree);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
        QTest::qWait(300);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &files), 0);
        QVERIFY(QFileInfo::exists(first->socketPath()));
        QTRY_COMPARE(received.size(), 7);
        QCOMPARE(received.last(), QStringLiteral("show"));
        // Only the user may open the socket.
        QCOMPARE(QFileInfo(first->socketPath()).permissions() &
                     (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ReadGroup |
                      QFileDevice::WriteGroup),
                 QFileDevice::Permissions());
        first.reset();
        QCOMPARE(ask(QStringLiteral("show")).outcome, Outcome::NotRunning);
    }

    // The running program's side of the commands, as one user's evening:
    // each request's answer and what it did, in the order they come.
    void commandsOfTheRunningInstance()
    {
        TestSupport::DesktopFixture desktop;
        desktop.settings().setAutoAtStart(StartChoice::AlwaysOff);
        std::unique_ptr<Startup> program;
        TestSupport::startWindows(desktop, program);
        Collector* collector = &program->collector();
        MainWindow* main = program->mainWindow();
        RemoteWindow* remote = program->remoteWindow();
        std::optional<bool> saveChanges;
        CommandHandlers::Dialogs dialogs = CommandHandlers::defaultDialogs();
        dialogs.saveChanges = [&](QWidget*, const QString&, const QString&) { return saveChanges; };
        main->handlers().setDialogs(dialogs);
        QSignalSpy closed(main, &MainWindow::closing);
        SingleInstance instance(QStringLiteral("clipstow-test"));
        InstanceCommands commands(instance);
        // Asked for while the program starts: carried out once it is through.
        commands.addOwnRequest(QStringLiteral("show"));
        QVERIFY(!main->isVisible());
        commands.attach(*program);
        QTRY_VERIFY(main->isVisible());

        QGuiApplication::clipboard()->setText(QStringLiteral("copied"));
        QTRY_VERIFY(collector->clipboardHasCapturableText());
        // How often the sender was told to wait for the user's answer.
        int askingUser = 0;
        const auto expect = [&](const char* request, bool done, const QString& text) {
            std::optional<InstanceCommands::Result> answer;
            commands.carryOut(
                QLatin1String(request),
                [&answer](const InstanceCommands::Result& r) { answer = r; },
                [&askingUser] { ++askingUser; });
            QTRY_VERIFY(answer.has_value());
            const InstanceCommands::Result& result = *answer;
            QVERIFY2(result.done == done && result.text == text,
                     qPrintable(QLatin1String(request) + QStringLiteral(": ") + result.text));
        };
        const auto slotFile = [&desktop](int slot) {
            return TestSupport::fileBytes(desktop.path(QStringLiteral("Default%1.txt").arg(slot)));
        };
        // The answer comes once the text has come from the clipboard's
        // owner and was stored.
        expect("capture 2", true, QStringLiteral("Captured into slot 2 (Default2.txt)"));
        QVERIFY(slotFile(2).endsWith("copied\r\n\r\n\r\n"));
        QCOMPARE(collector->activeSlot(), SlotNumber(2));
        expect("capture", true, QStringLiteral("Captured into slot 2 (Default2.txt)"));
        QCOMPARE(slotFile(2).count("copied"), 2);
        expect("capture 4", false, QStringLiteral("There is no slot 4 (only 1, 2 and 3)"));
        expect("auto toggle", true, QStringLiteral("Auto mode is on"));
        QVERIFY(remote->areCheckButtons());
        // In auto mode a slot is chosen, not captured into.
        expect("capture 3", true, QStringLiteral("Auto mode captures into slot 3 (Default3.txt)"));
        QCOMPARE(collector->activeSlot(), SlotNumber(3));
        QVERIFY(remote->isDown(3));
        QVERIFY(!QFile::exists(desktop.path(QStringLiteral("Default3.txt"))));
        expect("auto on", true, QStringLiteral("Auto mode is on"));
        expect("auto off", true, QStringLiteral("Auto mode is off"));
        QVERIFY(!collector->autoMode());
        expect("auto maybe", false,
               QStringLiteral("Auto mode can be on, off or toggle, not \"maybe\""));
        QGuiApplication::clipboard()->clear();
        QTRY_VERIFY(!collector->clipboardHasCapturableText());
        expect("capture 1", false,
               QStringLiteral("No text in the Clipboard: nothing captured into slot 1 "
                              "(Default1.txt)"));
        expect("remote", true, QStringLiteral("The remote window is shown"));
        QVERIFY(remote->isVisible());
        expect("frobnicate 2", false,
               QStringLiteral("Clipstow does not know the request \"frobnicate 2\""));

        QCOMPARE(askingUser, 0);
        // Ending asks about typed text, and the sender waits for the
        // answer; a cancel keeps the program.
        main->editor(1)->setText(QStringLiteral("typed"));
        expect("quit", false, QStringLiteral("Clipstow goes on running: ending it was cancelled"));
        QCOMPARE(closed.count(), 0);
        QCOMPARE(askingUser, 1);
        // While the question is open nobody can answer another: a second
        // quit sets the typed text aside and ends the program. Regression:
        // the first was answered that ending was cancelled.
        dialogs.saveChanges = [&](QWidget*, const QString&, const QString&) {
            QDialog question;
            QTimer::singleShot(0, [&] {
                expect("quit", true,
                       QStringLiteral("Clipstow has ended; the unsaved text of slot 1 was kept in "
                                      "a file next to the slot's file"));
                question.reject();
            });
            question.exec();
            return std::optional<bool>();
        };
        main->handlers().setDialogs(dialogs);
        expect("quit", true, QStringLiteral("Clipstow has ended"));
        QCOMPARE(closed.count(), 1);
        QCOMPARE(QDir(desktop.folder())
                     .entryList({QStringLiteral("Default1.txt.unsaved-*")}, QDir::Files)
                     .size(),
                 1);
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

CLIPSTOW_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
