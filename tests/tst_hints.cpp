// The hint refresh and the windows around the tray, with a real main window
// and remote window: status text, tray tooltip and icon, the Clear button's
// tooltip, when the texts are refreshed, hiding and showing the windows, a
// press on the tray icon and the remote window's visibility at start.
#include "app/Startup.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
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
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

enum class Clip
{
    Text,
    Empty,
    Picture
};

void setClipboard(Clip content)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    switch (content) {
    case Clip::Text:
        clipboard->setText(QStringLiteral("some text"));
        break;
    case Clip::Empty:
        clipboard->clear();
        break;
    case Clip::Picture: {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::green);
        clipboard->setImage(picture);
        break;
    }
    }
}

} // namespace

using TestSupport::sameIcon;

class TestHints final : public QObject, TestSupport::WindowsFixture
{
    Q_OBJECT

    void start(bool autoOn) { startWindows(autoOn); }

    QString trayHint() const { return m_main->trayIcon()->toolTip(); }
    QString clearTip() const { return m_main->toolButton(m_main->commands().clearSlot)->toolTip(); }

private Q_SLOTS:
    void init() { beginDesk(); }
    void cleanup() { endDesk(); }

    void texts_data()
    {
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<Clip>("clip");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clear");
        const QString none = QStringLiteral("No text in the Clipboard");
        QTest::newRow("auto, text, Windows path") << true << Clip::Text << "C:\\Notes\\log.txt"
                                                  << "Auto clipstow to C:\\Notes\\log.txt"
                                                  << "Clear log.txt";
        QTest::newRow("off, text, default name") << false << Clip::Text << "Default1.txt"
                                                 << "Ready to clipstow to Default1.txt"
                                                 << "Clear Default1.txt";
        QTest::newRow("auto, text, Linux path") << true << Clip::Text << "/home/u/My Notes/log.txt"
                                                << "Auto clipstow to /home/u/My Notes/log.txt"
                                                << "Clear log.txt";
        QTest::newRow("off, text, drive only") << false << Clip::Text << "D:notes.txt"
                                               << "Ready to clipstow to D:notes.txt"
                                               << "Clear notes.txt";
        QTest::newRow("off, text, ends in separator") << false << Clip::Text << "/tmp/"
                                                      << "Ready to clipstow to /tmp/"
                                                      << "Clear ";
        QTest::newRow("auto, empty") << true << Clip::Empty << "/a/b.txt" << none << "Clear b.txt";
        QTest::newRow("off, empty") << false << Clip::Empty << "/a/b.txt" << none << "Clear b.txt";
        QTest::newRow("auto, picture only")
            << true << Clip::Picture << "Default1.txt" << none << "Clear Default1.txt";
        QTest::newRow("off, picture only")
            << false << Clip::Picture << "Default1.txt" << none << "Clear Default1.txt";
    }

    void texts()
    {
        QFETCH(bool, autoOn);
        QFETCH(Clip, clip);
        QFETCH(QString, fileName);
        QFETCH(QString, text);
        QFETCH(QString, clear);
        // On the clipboard before the monitor watches: nothing is captured.
        setClipboard(clip);
        start(autoOn);
        m_main->collector().setFileName(1, fileName);
        m_main->collector().refreshHints();
        QCOMPARE(m_main->statusText(), text);
        QCOMPARE(trayHint(), TrayIcon::shortToolTip(text));
        QCOMPARE(clearTip(), clear);
        // The remote window's tooltips are refreshed with it.
        const QString remoteTip = clip == Clip::Text
                                      ? (autoOn ? QStringLiteral("Switch Auto Clipstow to ")
                                                : QStringLiteral("Clipstow to ")) +
                                            fileName
                                      : QStringLiteral("No text in the Clipboard");
        QCOMPARE(m_remote->slotButton(1)->toolTip(), remoteTip);
    }

    // The texts name the active slot's file, whichever it is.
    void followsActiveSlot()
    {
        start(false);
        setClipboard(Clip::Text);
        m_main->collector().setFileName(3, QStringLiteral("/notes/third.txt"));
        m_main->collector().setActiveSlot(3);
        m_main->collector().refreshHints();
        QCOMPARE(m_main->statusText(), QStringLiteral("Ready to clipstow to /notes/third.txt"));
        QCOMPARE(clearTip(), QStringLiteral("Clear third.txt"));
    }

    // A long file name is whole in the status bar and cut in the tooltip.
    void longNameInTooltip()
    {
        start(true);
        setClipboard(Clip::Text);
        const QString name = QStringLiteral("/home/someone/a rather long folder name/") +
                             QString(40, QLatin1Char('x')) + QStringLiteral(".txt");
        m_main->collector().setFileName(1, name);
        m_main->collector().refreshHints();
        const QString text = QStringLiteral("Auto clipstow to ") + name;
        QCOMPARE(m_main->statusText(), text);
        QCOMPARE(trayHint(), text.left(63));
    }

    void shortToolTip_data()
    {
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("tooltip");
        const QString hundred = QString("0123456789").repeated(10);
        QTest::newRow("100 characters") << hundred << hundred.left(63);
        QTest::newRow("exactly 63") << hundred.left(63) << hundred.left(63);
        QTest::newRow("bar") << "Auto mode on|Click to capture"
                             << "Auto mode on";
        QTest::newRow("two bars") << "a|b|c"
                                  << "a";
        QTest::newRow("leading bar") << "|rest"
                                     << "";
        QTest::newRow("bar after 63") << hundred.left(70) + "|x" << hundred.left(63);
        // A character outside the BMP straddling the limit is left out whole.
        QTest::newRow("surrogate pair at the limit")
            << hundred.left(62) + QString::fromUtf8("\xF0\x9F\x93\x8B") << hundred.left(62);
    }

    void shortToolTip()
    {
        QFETCH(QString, hint);
        QFETCH(QString, tooltip);
        QCOMPARE(TrayIcon::shortToolTip(hint), tooltip);
    }

    // A new file name or a manual capture does not refresh the texts; a
    // change of the clipboard does (a hint saying there is no text while
    // there is, or the other way round, is false), and so does every
    // refresh point.
    void refreshPoints()
    {
        start(false);
        setClipboard(Clip::Text);
        const QString ready = QStringLiteral("Ready to clipstow to Default1.txt");
        QCOMPARE(trayHint(), ready);
        QCOMPARE(m_main->statusText(), ready);

        const QString newName = m_desk->path(QStringLiteral("new.txt"));
        m_main->collector().setFileName(1, newName);
        QCOMPARE(clearTip(), QStringLiteral("Clear Default1.txt"));
        setClipboard(Clip::Empty);
        QCOMPARE(trayHint(), QStringLiteral("No text in the Clipboard"));
        QCOMPARE(m_main->statusText(), QStringLiteral("No text in the Clipboard"));
        QCOMPARE(m_remote->slotButton(1)->toolTip(), QStringLiteral("No text in the Clipboard"));
        QCOMPARE(clearTip(), QStringLiteral("Clear new.txt"));

        // Switching auto mode is a refresh point, with the main window hidden.
        QVERIFY(!m_main->isVisible());
        m_main->commands().trayAutoMode->trigger();
        QCOMPARE(trayHint(), QStringLiteral("No text in the Clipboard"));

        // Text copied in auto mode is captured, and the hints say so at once.
        setClipboard(Clip::Text);
        QCOMPARE(m_desk->played(), 1);
        QCOMPARE(trayHint(), QStringLiteral("Auto clipstow to ") + newName);

        // A manual capture is no refresh point.
        const QString other = m_desk->path(QStringLiteral("other.txt"));
        m_main->collector().setFileName(1, other);
        m_main->commands().trayCapture->trigger();
        QCOMPARE(trayHint(), QStringLiteral("Auto clipstow to ") + newName);
        // The active-slot change routine is.
        m_main->collector().announceActiveSlot();
        QCOMPARE(trayHint(), QStringLiteral("Auto clipstow to ") + other);
    }

    // Every way the user changes the tab changes the active slot: the
    // hints name the new slot's file and the remote window holds its
    // button down, as captures go there.
    void tabChangeByKeyboard_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("onTabBar");
        QTest::addColumn<int>("slot");
        QTest::newRow("Ctrl+Tab") << QKeySequence(Qt::CTRL | Qt::Key_Tab) << false << 2;
        QTest::newRow("Ctrl+Shift+Tab")
            << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << false << 3;
        QTest::newRow("arrow on the tab bar") << QKeySequence(Qt::Key_Right) << true << 2;
    }

    void tabChangeByKeyboard()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(bool, onTabBar);
        QFETCH(int, slot);
        start(true);
        setClipboard(Clip::Text);
        const QString name = m_desk->path(QStringLiteral("chosen.txt"));
        m_main->collector().setFileName(slot, name);
        activate(*m_main);
        QCOMPARE(m_main->statusText(), QStringLiteral("Auto clipstow to Default1.txt"));
        auto* tabs = m_main->findChild<QTabWidget*>(QStringLiteral("slotTabs"));
        QWidget* target = onTabBar ? static_cast<QWidget*>(tabs->tabBar())
                                   : static_cast<QWidget*>(m_main->editor(1));
        target->setFocus();
        QTest::keySequence(target, keys);
        QCOMPARE(m_main->collector().activeSlot().number(), slot);
        QCOMPARE(m_main->statusText(), QStringLiteral("Auto clipstow to ") + name);
        QCOMPARE(trayHint(), QStringLiteral("Auto clipstow to ") + name);
        QCOMPARE(TestSupport::downButtons(*m_remote), QString::number(slot));

        // A copy now goes to the slot the hints name.
        setClipboard(Clip::Text);
        QTRY_VERIFY(m_main->editor(slot)->text().contains(QStringLiteral("some text")));
    }

    // The icon on the tray, the application and the main window follows
    // every switch at once, also while the main window is hidden.
    void iconFollowsAutoMode()
    {
        start(false);
        QVERIFY(!m_main->isVisible());
        QVERIFY(sameIcon(m_main->trayIcon()->icon(), Icons::programIcon()));
        QVERIFY(!sameIcon(Icons::programIcon(), Icons::autoProgramIcon()));
        m_main->toolButton(m_main->commands().autoSwitch)->click();
        QVERIFY(sameIcon(m_main->trayIcon()->icon(), Icons::autoProgramIcon()));
        QVERIFY(sameIcon(QApplication::windowIcon(), Icons::autoProgramIcon()));
        QVERIFY(sameIcon(m_main->windowIcon(), Icons::autoProgramIcon()));
        m_remote->autoButton()->click();
        QVERIFY(sameIcon(m_main->trayIcon()->icon(), Icons::programIcon()));
        QVERIFY(sameIcon(QApplication::windowIcon(), Icons::programIcon()));
        QVERIFY(sameIcon(m_main->windowIcon(), Icons::programIcon()));
    }

    // The tray icon at start: the tray menu with its bold default capture
    // item, allowed to open once start-up is through.
    void trayIconAtStart()
    {
        start(true);
        TrayIcon* icon = m_main->trayIcon();
        QVERIFY(icon->isVisible());
        QCOMPARE(icon->menu(), m_main->trayMenu());
        QAction* capture = m_main->trayMenu()->defaultAction();
        QVERIFY(capture != nullptr);
        QCOMPARE(capture, m_main->commands().trayCapture);
        QVERIFY(capture->font().bold());
        QVERIFY(sameIcon(icon->icon(), Icons::autoProgramIcon()));
    }

    // Hide with no notification area (none here) minimises the main window:
    // hidden, nothing could bring it back while it goes on capturing. The
    // notice that says so stays through the next hint refreshes.
    void hideWithoutNotificationArea()
    {
        start(true);
        QVERIFY(!m_main->trayIconShown());
        m_program->showWindows(false);
        QVERIFY(m_main->isVisible());
        const QString notice = QStringLiteral("No notification area: the main window stays open");
        QCOMPARE(m_main->statusText(), notice);
        setClipboard(Clip::Text);
        m_main->collector().refreshHints();
        QCOMPARE(m_main->statusText(), notice);

        m_main->commands().hideWindow->trigger();
        QTRY_VERIFY(m_main->isMinimized());
        QVERIFY(m_main->isVisible());
        // Hiding is not closing: the icon, the monitor and auto mode stay.
        QVERIFY(m_main->trayIcon()->isVisible());
        QVERIFY(m_main->collector().clipboardMonitor() != nullptr);
        QVERIFY(m_main->collector().autoMode());
        m_main->commands().showMainWindow->trigger();
        QTRY_VERIFY(!m_main->isMinimized());
        QVERIFY(m_main->isVisible());
    }

    void showRemote()
    {
        start(false);
        QVERIFY(!m_remote->isVisible());
        m_main->commands().showRemote->trigger();
        QVERIFY(m_remote->isVisible());
        m_remote->close();
        QVERIFY(!m_remote->isVisible());
        m_main->commands().trayShowRemote->trigger();
        QVERIFY(m_remote->isVisible());
        QTRY_VERIFY(m_remote->isActiveWindow());
    }

    // A press on the tray icon never shows a hidden main window; with the
    // main window visible it brings the last active window of the program
    // forward, never the remote window.
    void trayIconPress()
    {
        start(false);
        m_main->bringLastActiveWindowForward();
        QVERIFY(!m_main->isVisible());

        activate(*m_main);
        activate(*m_remote);
        QVERIFY(!m_main->isActiveWindow());
        m_main->bringLastActiveWindowForward();
        QTRY_VERIFY(m_main->isActiveWindow());

        // A window of the program opened over the main window is the one
        // brought forward.
        QWidget dialog(m_main, Qt::Dialog);
        activate(dialog);
        activate(*m_remote);
        m_main->bringLastActiveWindowForward();
        QTRY_VERIFY(dialog.isActiveWindow());
        // Unless it is no longer visible: then nothing happens.
        dialog.hide();
        activate(*m_remote);
        m_main->bringLastActiveWindowForward();
        QTest::qWait(50);
        QVERIFY(m_remote->isActiveWindow());
    }

    void remoteAtStart_data()
    {
        QTest::addColumn<QString>("choice"); // "-" for missing
        QTest::addColumn<int>("remembered"); // -1 missing
        QTest::addColumn<bool>("shown");
        QTest::newRow("nothing stored") << "-" << -1 << true;
        QTest::newRow("1, hidden before") << "1" << 0 << true;
        QTest::newRow("R, shown before") << "R" << 1 << true;
        QTest::newRow("R, hidden before") << "R" << 0 << false;
        QTest::newRow("0, shown before") << "0" << 1 << false;
        QTest::newRow("other text") << "yes" << 1 << false;
    }

    void remoteAtStart()
    {
        QFETCH(QString, choice);
        QFETCH(int, remembered);
        QFETCH(bool, shown);
        if (choice != QLatin1String("-"))
            m_desk->storeText(QStringLiteral("AShowRemote"), choice);
        if (remembered >= 0)
            m_desk->settings().setRemoteWasShown(remembered == 1);
        start(false);
        m_program->showWindows(true);
        QCOMPARE(m_remote->isVisible(), shown);
        // The shutdown stores what is visible then.
        m_main->close();
        QCOMPARE(m_desk->settings().remoteWasShown(), shown);
    }
};

CLIPSTOW_TEST_MAIN(TestHints)
#include "tst_hints.moc"
