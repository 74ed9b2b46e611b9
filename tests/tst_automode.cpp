// Auto mode with a real main window, remote window and clipboard monitor:
// the start-up policy, every switch and what it does to the controls that
// mirror it, the clipboard change in both states, the remote slot buttons,
// the shutdown write, failures inside the clipboard notification, and
// secret text that is never collected.
#include "app/Startup.h"
#include "core/ClipboardMonitor.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "platform/TerminationRequests.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/RecordingLauncher.h"
#include "support/TestMain.h"
#include "ui/Icons.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"
#include "ui/TrayIcon.h"
#include "ui/editor/SlotEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <csignal>

namespace {

// The block one capture of `text` adds with the default stamp style.
QRegularExpression captureBlock(const QByteArray& text)
{
    return QRegularExpression(QStringLiteral("^\\r\\n\\r\\n===== [^\\r\\n]+ === [^\\r\\n]+ "
                                             "=====\\r\\n\\r\\n") +
                              QRegularExpression::escape(QString::fromLatin1(text)) +
                              QStringLiteral("\\r\\n\\r\\n\\r\\n$"));
}

// A secret as password managers mark it.
QMimeData* secretData(const QString& text)
{
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
    return data;
}

enum class Event
{
    Toolbar,
    RemoteToggle,
    MainMenu,
    TrayMenu,
    EditWithAutoOff,
    EditWithoutAutoOff
};

} // namespace

using TestSupport::downButtons;
using TestSupport::fileBytes;
using TestSupport::sameIcon;
using TestSupport::writeBytes;

class TestAutoMode final : public QObject, TestSupport::WindowsFixture
{
    Q_OBJECT

    // Both windows in the order of program start.
    void start() { startWindows(); }
    void startWithAuto(bool on) { startWindows(on); }

    QToolButton* autoButton() const { return m_main->toolButton(m_main->commands().autoSwitch); }

    // The auto flag and everything that must agree with it after a switch.
    void verifyMirrors(bool on)
    {
        QCOMPARE(m_main->collector().autoMode(), on);
        QCOMPARE(m_main->commands().autoMode->isChecked(), on);
        QCOMPARE(m_main->commands().trayAutoMode->isChecked(), on);
        QCOMPARE(m_remote->autoButton()->isChecked(), on);
        const QIcon expected = on ? Icons::autoProgramIcon() : Icons::programIcon();
        QVERIFY(sameIcon(m_main->trayIcon()->icon(), expected));
        QVERIFY(sameIcon(m_main->windowIcon(), expected));
        QVERIFY(sameIcon(QApplication::windowIcon(), expected));
    }

private Q_SLOTS:
    void init() { beginDesk(); }

    void cleanup() { endDesk(); }

    void startupPolicy_data()
    {
        QTest::addColumn<QString>("autoOnValue"); // "-" for missing
        QTest::addColumn<int>("autoValue");       // -1 missing, 0 false, 1 true
        QTest::addColumn<bool>("expected");
        QTest::newRow("nothing stored") << "-" << -1 << true;
        QTest::newRow("1, Auto false") << "1" << 0 << true;
        QTest::newRow("1, Auto missing") << "1" << -1 << true;
        QTest::newRow("0, Auto true") << "0" << 1 << false;
        QTest::newRow("0, Auto missing") << "0" << -1 << false;
        QTest::newRow("R, Auto true") << "R" << 1 << true;
        QTest::newRow("R, Auto false") << "R" << 0 << false;
        QTest::newRow("R, Auto missing") << "R" << -1 << true;
        QTest::newRow("empty, Auto false") << "" << 0 << false;
        QTest::newRow("empty, Auto true") << "" << 1 << true;
        QTest::newRow("other text, Auto false") << "yes" << 0 << false;
        QTest::newRow("lower r, Auto true") << "r" << 1 << true;
    }

    void startupPolicy()
    {
        QFETCH(QString, autoOnValue);
        QFETCH(int, autoValue);
        QFETCH(bool, expected);
        if (autoOnValue != QLatin1String("-"))
            m_desk->storeText(QStringLiteral("AutoOn"), autoOnValue);
        if (autoValue >= 0)
            m_desk->settings().setAutoWasOn(autoValue == 1);
        start();
        verifyMirrors(expected);
        // The remote window takes its presentation from the flag it finds.
        QCOMPARE(m_remote->remoteAuto(), expected);
        QCOMPARE(m_remote->areCheckButtons(), expected);
        QCOMPARE(downButtons(*m_remote), QString());
    }

    void switches_data()
    {
        QTest::addColumn<bool>("from");
        QTest::addColumn<Event>("event");
        QTest::addColumn<bool>("to");
        // The remote presentation after the event: the remote auto flag,
        // whether the slot buttons are check buttons, which show down.
        QTest::addColumn<bool>("remoteAuto");
        QTest::addColumn<bool>("checkButtons");
        QTest::addColumn<QString>("down");
        // Slot 3 is active throughout.
        QTest::newRow("off, toolbar") << false << Event::Toolbar << true << true << true << "3";
        QTest::newRow("off, remote toggle")
            << false << Event::RemoteToggle << true << true << true << "3";
        QTest::newRow("on, toolbar") << true << Event::Toolbar << false << false << false << "";
        QTest::newRow("on, remote toggle")
            << true << Event::RemoteToggle << false << false << false << "";
        // The menus leave the presentation as it was.
        QTest::newRow("off, F5") << false << Event::MainMenu << true << false << false << "";
        QTest::newRow("off, tray item") << false << Event::TrayMenu << true << false << false << "";
        QTest::newRow("on, F5") << true << Event::MainMenu << false << true << true << "";
        QTest::newRow("on, tray item") << true << Event::TrayMenu << false << true << true << "";
        QTest::newRow("on, edit with AutoOff")
            << true << Event::EditWithAutoOff << false << false << false << "";
        QTest::newRow("on, edit without AutoOff")
            << true << Event::EditWithoutAutoOff << true << true << true << "";
        QTest::newRow("off, edit with AutoOff")
            << false << Event::EditWithAutoOff << false << false << false << "";
    }

    void switches()
    {
        QFETCH(bool, from);
        QFETCH(Event, event);
        QFETCH(bool, to);
        QFETCH(bool, remoteAuto);
        QFETCH(bool, checkButtons);
        QFETCH(QString, down);
        // Text on the clipboard before the windows watch it: no switch may
        // capture it.
        QGuiApplication::clipboard()->setText(QStringLiteral("not to be captured"));
        TestSupport::RecordingLauncher launcher;
        startWithAuto(from);
        m_main->collector().setActiveSlot(3);

        switch (event) {
        case Event::Toolbar:
            autoButton()->click();
            break;
        case Event::RemoteToggle:
            m_remote->autoButton()->click();
            break;
        case Event::MainMenu:
            m_main->commands().autoMode->trigger();
            break;
        case Event::TrayMenu:
            m_main->commands().trayAutoMode->trigger();
            break;
        case Event::EditWithAutoOff:
            m_desk->settings().setAutoOff(true);
            m_main->commands().editInTextEditor->trigger();
            break;
        case Event::EditWithoutAutoOff:
            m_desk->settings().setAutoOff(false);
            m_main->commands().editInTextEditor->trigger();
            break;
        }

        verifyMirrors(to);
        QCOMPARE(m_remote->remoteAuto(), remoteAuto);
        QCOMPARE(m_remote->areCheckButtons(), checkButtons);
        QCOMPARE(downButtons(*m_remote), down);
        QCOMPARE(m_main->collector().activeSlot().number(), 3);
        QCOMPARE(m_desk->played(), 0);
        // Editing saves the active slot (empty) before the editor starts.
        const bool edits = event == Event::EditWithAutoOff || event == Event::EditWithoutAutoOff;
        QCOMPARE(QDir(m_desk->folder()).entryList(QDir::Files),
                 edits ? QStringList{QStringLiteral("Default3.txt")} : QStringList());
        QCOMPARE(launcher.calls.size(), edits ? 1 : 0);
    }

    // Back and forth with the toolbar: each click flips the state.
    void toolbarRoundTrip()
    {
        startWithAuto(false);
        for (bool expected : {true, false, true, false}) {
            autoButton()->click();
            verifyMirrors(expected);
            QCOMPARE(m_remote->areCheckButtons(), expected);
        }
    }

    // After a switch by F5 the slot buttons stay push buttons; a slot button
    // then only chooses the slot, because auto mode itself is on.
    void menuSwitchThenSlotButton()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("old text"));
        startWithAuto(false);
        m_main->commands().autoMode->trigger();
        QVERIFY(!m_remote->areCheckButtons());
        m_remote->slotButton(2)->click();
        QCOMPARE(m_main->collector().activeSlot().number(), 2);
        QCOMPARE(downButtons(*m_remote), QStringLiteral("2"));
        QCOMPARE(m_desk->played(), 0);
        QVERIFY(!QFile::exists(path(QStringLiteral("Default2.txt"))));
        // The next change goes to slot 2.
        QGuiApplication::clipboard()->setText(QStringLiteral("to slot two"));
        QVERIFY(
            fileBytes(path(QStringLiteral("Default2.txt"))).contains(QByteArray("to slot two")));
    }

    void clipboardChange_data()
    {
        QTest::addColumn<bool>("autoOn");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }

    // On: one capture into the active slot, the state and presentation as
    // they were. Off: nothing captured, the slot buttons released.
    void clipboardChange()
    {
        QFETCH(bool, autoOn);
        writeBytes(path(QStringLiteral("Default2.txt")), "before\r\n");
        m_desk->settings().setActiveSlot(2);
        startWithAuto(autoOn);
        QCOMPARE(m_main->collector().activeSlot().number(), 2);
        m_remote->setDown(2);

        QGuiApplication::clipboard()->setText(QStringLiteral("copied elsewhere"));

        const QByteArray bytes = fileBytes(path(QStringLiteral("Default2.txt")));
        if (autoOn) {
            QVERIFY2(bytes.startsWith("before\r\n"), bytes.constData());
            QVERIFY2(captureBlock("copied elsewhere")
                         .match(QString::fromLatin1(bytes.mid(8)))
                         .hasMatch(),
                     bytes.constData());
            QCOMPARE(m_desk->played(), 1);
            QCOMPARE(downButtons(*m_remote), QStringLiteral("2"));
        } else {
            QCOMPARE(bytes, QByteArray("before\r\n"));
            QCOMPARE(m_desk->played(), 0);
            QCOMPARE(downButtons(*m_remote), QString());
        }
        QVERIFY(!QFile::exists(path(QStringLiteral("Default1.txt"))));
        verifyMirrors(autoOn);
    }

    // Text already on the clipboard at start is not captured.
    void noCaptureAtStart()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("already there"));
        start();
        QVERIFY(m_main->collector().autoMode());
        QVERIFY(m_main->collector().isWatchingClipboard());
        QCoreApplication::processEvents();
        QCOMPARE(m_desk->played(), 0);
        QVERIFY(QDir(m_desk->folder()).entryList(QDir::Files).isEmpty());
    }

    // A change arriving while start-up lets pending events run, before the
    // slot files are read, must not write a slot file.
    void noCaptureBeforeSlotsAreRead()
    {
        writeBytes(path(QStringLiteral("Default1.txt")), "kept\r\n");
        m_program =
            std::make_unique<Startup>(m_desk->settings(), m_desk->reporter(), m_desk->saveSound());
        m_program->readSettings();
        m_program->buildWindows();
        QGuiApplication::clipboard()->setText(QStringLiteral("during start-up"));
        m_program->readSlots();
        m_program->watchClipboard();
        m_collector = &m_program->collector();
        QCOMPARE(fileBytes(path(QStringLiteral("Default1.txt"))), QByteArray("kept\r\n"));
        QCOMPARE(m_desk->played(), 0);
        // Once started the monitor captures.
        QGuiApplication::clipboard()->setText(QStringLiteral("after start-up"));
        const QByteArray bytes = fileBytes(path(QStringLiteral("Default1.txt")));
        QVERIFY2(bytes.startsWith("kept\r\n") && bytes.contains("after start-up"),
                 bytes.constData());
    }

    void remoteSlotButton_data()
    {
        QTest::addColumn<bool>("autoOn");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }

    // On: the slot becomes active, its button down, nothing captured.
    // Off: the slot becomes active and captures once; all buttons up.
    void remoteSlotButton()
    {
        QFETCH(bool, autoOn);
        QGuiApplication::clipboard()->setText(QStringLiteral("from the remote"));
        startWithAuto(autoOn);
        // The toolbar switch brings the auto presentation; off stays plain.
        if (autoOn) {
            autoButton()->click();
            autoButton()->click();
        }
        m_remote->slotButton(3)->click();
        QCOMPARE(m_main->collector().activeSlot().number(), 3);
        QCOMPARE(m_main->collector().autoMode(), autoOn);
        if (autoOn) {
            QCOMPARE(downButtons(*m_remote), QStringLiteral("3"));
            QCOMPARE(m_desk->played(), 0);
            QVERIFY(!QFile::exists(path(QStringLiteral("Default3.txt"))));
        } else {
            QTRY_COMPARE(m_desk->played(), 1);
            QCOMPARE(downButtons(*m_remote), QString());
            QVERIFY(captureBlock("from the remote")
                        .match(QString::fromLatin1(fileBytes(path(QStringLiteral("Default3.txt")))))
                        .hasMatch());
        }
    }

    // Regression: an end asked for while copies waited to be captured came
    // only once all of them were (SIGTERM ended the program seconds later,
    // megabytes appended after it). From the request on nothing more is
    // captured automatically; a capture the user asks for still is.
    void endRequestStopsCapturingAtOnce()
    {
        startWithAuto(true);
        const std::unique_ptr<TerminationRequests> requests = createTerminationRequests();
        m_collector->setEndRequests(requests.get());
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QCOMPARE(m_desk->played(), 1);
        QCOMPARE(::raise(SIGTERM), 0); // told, not ended
        QGuiApplication::clipboard()->setText(QStringLiteral("after"));
        QCOMPARE(m_desk->played(), 1);
        QVERIFY(!fileBytes(path(QStringLiteral("Default1.txt"))).contains("after"));
        m_collector->setEndRequests(nullptr);
    }

    // Manual captures work in both states and leave the state alone; in
    // auto mode the same text can so be stored twice.
    void manualCaptureInAutoMode()
    {
        startWithAuto(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("twice"));
        QCOMPARE(m_desk->played(), 1);
        m_main->commands().trayCapture->trigger();
        QCOMPARE(m_desk->played(), 2);
        QCOMPARE(fileBytes(path(QStringLiteral("Default1.txt"))).count("twice"), 2);
        verifyMirrors(true);
    }

    void shutdownWritesAuto_data()
    {
        QTest::addColumn<QString>("policy");
        QTest::addColumn<bool>("toggle");
        QTest::addColumn<bool>("written");
        QTest::newRow("R, left on") << "R" << false << true;
        QTest::newRow("R, switched off") << "R" << true << false;
        QTest::newRow("0 with Auto true, left off") << "0" << false << false;
        QTest::newRow("1, switched off") << "1" << true << false;
    }

    void shutdownWritesAuto()
    {
        QFETCH(QString, policy);
        QFETCH(bool, toggle);
        QFETCH(bool, written);
        m_desk->storeText(QStringLiteral("AutoOn"), policy);
        m_desk->settings().setAutoWasOn(true);
        start();
        if (toggle)
            autoButton()->click();
        m_main->close();
        QCOMPARE(m_desk->settings().autoWasOn(), written);
        // The monitor has left with the window, and the icon with it.
        QVERIFY(!m_main->collector().isWatchingClipboard());
        QVERIFY(!m_main->trayIcon()->isVisible());
        // With the policy "R" the next start takes what was written.
        m_desk->settings().setAutoAtStart(StartChoice::Remember);
        closeWindows();
        start();
        QCOMPARE(m_main->collector().autoMode(), written);
    }

    // A capture that fails inside the clipboard notification is reported
    // once the notification is through; the monitor and auto mode carry on.
    // The copies that fail while its box is open are captured into the slot
    // all the same and said once, when the box closes: no box each.
    void failureInNotification()
    {
        const QString missing = path(QStringLiteral("no/such/folder/slot.txt"));
        m_desk->settings().setSlotFileName(1, missing);
        startWithAuto(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("first"));
        QTRY_COMPARE(m_desk->errors().size(), 1);
        QGuiApplication::clipboard()->setText(QStringLiteral("second"));
        QTRY_COMPARE(m_desk->errors().size(), 2);
        QVERIFY(m_main->collector().autoMode());
        m_desk->errors().clear();

        QStringList boxes;
        m_desk->reporter().setPresenter([&boxes](const QString& text) {
            boxes << text;
            if (boxes.size() == 1)
                for (int i = 0; i < 6; ++i)
                    QGuiApplication::clipboard()->setText(QStringLiteral("while open %1").arg(i));
        });
        QGuiApplication::clipboard()->setText(QStringLiteral("third"));
        QTRY_COMPARE(boxes.size(), 2);
        QVERIFY2(boxes.at(0).startsWith(QStringLiteral("Cannot create file ") + missing),
                 qPrintable(boxes.at(0)));
        QCOMPARE(boxes.at(1), QStringLiteral("6 more copies could not be written to %1; their "
                                             "text is in slot 1, which can be saved once the "
                                             "file can be written.")
                                  .arg(missing));
        QTest::qWait(50);
        QCOMPARE(boxes.size(), 2);
        for (const char* text : {"third", "while open 0", "while open 5"})
            QVERIFY(m_main->editor(1)->text().contains(QLatin1String(text)));
        m_desk->reporter().setPresenter([this](const QString& text) { m_desk->errors() << text; });

        // Once the slot can be written the next change is captured.
        m_main->collector().setFileName(1, path(QStringLiteral("slot.txt")));
        // (Copies that follow closely are written at the end of the round.)
        QGuiApplication::clipboard()->setText(QStringLiteral("fourth"));
        QTRY_VERIFY(fileBytes(path(QStringLiteral("slot.txt"))).contains("fourth"));
        QVERIFY(m_desk->errors().isEmpty());
    }

    // Secret text is never captured: silently in auto mode, with a word in
    // the status bar when the user asked for the capture.
    void secretsSkipped_data()
    {
        QTest::addColumn<bool>("automatic");
        QTest::newRow("automatic") << true;
        QTest::newRow("manual") << false;
    }

    void secretsSkipped()
    {
        QFETCH(bool, automatic);
        writeBytes(path(QStringLiteral("Default1.txt")), "before\r\n");
        startWithAuto(automatic);
        const QString statusBefore = m_main->statusText();
        QGuiApplication::clipboard()->setMimeData(secretData(QStringLiteral("hunter2")));
        if (automatic) {
            // The monitor reports nothing, and a change handed to the
            // capture directly is skipped as well.
            m_collector->captureInto(m_collector->activeSlot(), Collector::Trigger::Automatic);
            QCOMPARE(m_main->statusText(), statusBefore);
        } else {
            m_main->toolButton(m_main->commands().capture)->click();
            QCOMPARE(m_main->statusText(),
                     QStringLiteral("Secret text on the Clipboard was not captured"));
        }
        QCOMPARE(fileBytes(path(QStringLiteral("Default1.txt"))), QByteArray("before\r\n"));
        QCOMPARE(m_desk->played(), 0);
        QVERIFY(!m_main->editor(1)->text().contains(QStringLiteral("hunter2")));

        // Plain text again is captured as usual.
        QGuiApplication::clipboard()->setText(QStringLiteral("plain"));
        if (!automatic)
            m_main->toolButton(m_main->commands().capture)->click();
        QTRY_VERIFY(fileBytes(path(QStringLiteral("Default1.txt"))).contains("plain"));
        QCOMPARE(m_desk->played(), 1);
    }
};

CLIPSTOW_TEST_MAIN(TestAutoMode)
#include "tst_automode.moc"
