// The remote control window with a real main window behind it: layout,
// tooltips, the two presentations of the slot buttons, slot selection and
// capture from its buttons, the auto toggle, activation, the tray menu and
// the close box.
#include "app/Startup.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"
#include "ui/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using TestSupport::downButtons;
using TestSupport::fileBytes;

class TestRemoteWindow final : public QObject, TestSupport::WindowsFixture
{
    Q_OBJECT

private:
    // Start-up with auto mode as asked: the main window, then the remote
    // window (m_remote), which takes the auto state restored.
    MainWindow* makeMain(bool autoOn)
    {
        startWindows(autoOn);
        return m_main;
    }

    static void setClipboardText(const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
    }

    static QToolButton* autoButton(MainWindow& main)
    {
        return main.toolButton(main.commands().autoSwitch);
    }

private Q_SLOTS:
    void init() { beginDesk(); }
    void cleanup() { endDesk(); }

    // Dialogs hidden under the remote window: while it shows, every
    // dialog and message box comes in its above-all layer; otherwise not.
    void dialogsStackAboveTheRemoteWindow()
    {
        MainWindow* main = makeMain(false);
        RemoteWindow& remote = *m_remote;
        for (const bool remoteShown : {true, false}) {
            remote.setVisible(remoteShown);
            QMessageBox box(QMessageBox::Question, QStringLiteral("Clipstow"), QStringLiteral("?"));
            box.open();
            QDialog dialog(main);
            dialog.show();
            for (const QWidget* shown :
                 {static_cast<QWidget*>(&box), static_cast<QWidget*>(&dialog)})
                QCOMPARE(shown->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint),
                         remoteShown);
            QVERIFY(!main->windowHandle() ||
                    !main->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        }
    }

    void layout()
    {
        makeMain(false);
        RemoteWindow& remote = *m_remote;
        QCOMPARE(remote.windowTitle(), QStringLiteral("Clipstow"));
        QVERIFY(remote.parent() == nullptr);
        QCOMPARE(remote.windowType(), Qt::Tool);
        QVERIFY(remote.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!remote.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!remote.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(remote.size(), QSize(116, 24));
        QCOMPARE(remote.minimumSize(), remote.maximumSize());
        QVERIFY(!remote.isVisible());

        const char* names[] = {"slotButton1", "slotButton2", "slotButton3", "autoButton"};
        const int xs[] = {0, 31, 62, 93};
        for (int i = 0; i < 4; ++i) {
            auto* button = remote.toolBar()->findChild<QToolButton*>(QLatin1String(names[i]));
            QVERIFY2(button, names[i]);
            QCOMPARE(button->geometry().size(), QSize(23, 22));
            QCOMPARE(button->x(), xs[i]);
            QCOMPARE(button->iconSize(), QSize(16, 16));
            QVERIFY(!button->icon().isNull());
        }
        QCOMPARE(remote.slotButton(2)->objectName(), QStringLiteral("slotButton2"));
        QCOMPARE(remote.autoButton()->toolTip(), QStringLiteral("Auto Clipstow"));
        QVERIFY(remote.autoButton()->isCheckable());

        // Centred on the screen when nothing is stored.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(remote.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(remote.geometry().center().y() - screen.center().y()) <= 1);
    }

    void tooltips_data()
    {
        QTest::addColumn<bool>("hasText");
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("text, auto off") << true << false << QStringLiteral("Clipstow to ");
        QTest::newRow("text, auto on")
            << true << true << QStringLiteral("Switch Auto Clipstow to ");
        QTest::newRow("no text, auto off") << false << false << QString();
        QTest::newRow("no text, auto on") << false << true << QString();
    }

    void tooltips()
    {
        QFETCH(bool, hasText);
        QFETCH(bool, autoOn);
        QFETCH(QString, prefix);
        auto main = makeMain(autoOn);
        RemoteWindow& remote = *m_remote;
        const QStringList names = {path(QStringLiteral("notes/one.txt")),
                                   QStringLiteral("Default2.txt"),
                                   QStringLiteral("/home/u/My Notes/log three.txt")};
        for (int slot = 1; slot <= 3; ++slot)
            main->collector().setFileName(slot, names[slot - 1]);
        main->collector().setActiveSlot(2); // each button names its own slot, not the active one
        if (hasText)
            setClipboardText(QStringLiteral("some text"));
        remote.showHints();
        for (int slot = 1; slot <= 3; ++slot) {
            const QString expected =
                hasText ? prefix + names[slot - 1] : QStringLiteral("No text in the Clipboard");
            QCOMPARE(remote.slotButton(slot)->toolTip(), expected);
        }
        QCOMPARE(remote.autoButton()->toolTip(), QStringLiteral("Auto Clipstow"));
    }

    // Only text counts: a picture on the clipboard is no text.
    void tooltipWithPictureOnly()
    {
        makeMain(false);
        RemoteWindow& remote = *m_remote;
        setClipboardText(QStringLiteral("x"));
        remote.showHints();
        QVERIFY(remote.slotButton(1)->toolTip().startsWith(QStringLiteral("Clipstow to ")));
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(picture);
        remote.showHints();
        QCOMPARE(remote.slotButton(3)->toolTip(), QStringLiteral("No text in the Clipboard"));
    }

    void creationFollowsAutoMode_data()
    {
        QTest::addColumn<bool>("autoOn");
        QTest::newRow("off") << false;
        QTest::newRow("on") << true;
    }

    void creationFollowsAutoMode()
    {
        QFETCH(bool, autoOn);
        auto main = makeMain(autoOn);
        QCOMPARE(main->collector().autoMode(), autoOn);
        RemoteWindow& remote = *m_remote;
        QCOMPARE(remote.remoteAuto(), autoOn);
        QCOMPARE(remote.areCheckButtons(), autoOn);
        QCOMPARE(downButtons(remote), QString());
    }

    void setDown_data()
    {
        QTest::addColumn<bool>("checkButtons");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("down");
        for (bool check : {false, true}) {
            const char* kind = check ? "check" : "push";
            const auto row = [&](int slot, const char* down) {
                QTest::addRow("%s %d", kind, slot) << check << slot << QString::fromLatin1(down);
            };
            row(1, "1");
            row(2, "2");
            row(3, "3");
            row(7, "3"); // numbers outside 1 to 3 are clamped
            row(0, "1");
            row(-2, "1");
        }
    }

    void setDown()
    {
        QFETCH(bool, checkButtons);
        QFETCH(int, slot);
        QFETCH(QString, down);
        makeMain(false);
        RemoteWindow& remote = *m_remote;
        remote.makeCheckButtons(checkButtons);
        remote.setDown(3); // an earlier mark goes up
        remote.setDown(slot);
        QCOMPARE(downButtons(remote), down);
        remote.allUp();
        QCOMPARE(downButtons(remote), QString());
    }

    // Changing the kind keeps what each button shows; SetAuto touches only
    // the flag.
    void presentations()
    {
        makeMain(false);
        RemoteWindow& remote = *m_remote;
        remote.setRemoteAuto(true);
        QVERIFY(remote.remoteAuto());
        QVERIFY(!remote.areCheckButtons());
        remote.makeCheckButtons(true);
        remote.setDown(2);
        QVERIFY(remote.slotButton(2)->isChecked());
        remote.makeCheckButtons(false);
        QVERIFY(!remote.slotButton(2)->isCheckable());
        QCOMPARE(downButtons(remote), QStringLiteral("2"));
        remote.setRemoteAuto(false);
        QVERIFY(!remote.remoteAuto());
        QCOMPARE(downButtons(remote), QStringLiteral("2"));
    }

    // In auto mode a slot button chooses where automatic captures go and
    // captures nothing itself; the button already down stays down.
    void slotClickInAutoMode()
    {
        QFile existing(path(QStringLiteral("Default2.txt")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("kept\r\n");
        existing.close();
        // On the clipboard before the main window watches it: no automatic
        // capture of it.
        setClipboardText(QStringLiteral("not to be captured"));
        auto main = makeMain(true);
        RemoteWindow& remote = *m_remote;
        activate(remote); // as the click of a real pointer does

        QTest::mouseClick(remote.slotButton(2), Qt::LeftButton);
        QCOMPARE(main->collector().activeSlot().number(), 2);
        QCOMPARE(downButtons(remote), QStringLiteral("2"));
        QTest::mouseClick(remote.slotButton(2), Qt::LeftButton);
        QCOMPARE(downButtons(remote), QStringLiteral("2"));
        QCOMPARE(main->collector().activeSlot().number(), 2);

        QTest::mouseClick(remote.slotButton(3), Qt::LeftButton);
        QCOMPARE(main->collector().activeSlot().number(), 3);
        QCOMPARE(downButtons(remote), QStringLiteral("3"));

        QCOMPARE(fileBytes(path(QStringLiteral("Default2.txt"))), QByteArray("kept\r\n"));
        QVERIFY(!QFile::exists(path(QStringLiteral("Default3.txt"))));
        QCOMPARE(m_desk->played(), 0);

        // The next clipboard change is captured into the chosen slot.
        // Not the monitor: the capture is manual.
        main->collector().captureInto(main->collector().activeSlot(), Collector::Trigger::User);
        QVERIFY(fileBytes(path(QStringLiteral("Default3.txt"))).contains("not to be captured"));
    }

    // Outside auto mode each slot button captures into its own slot, with
    // the main window hidden, and the slot stays active.
    void slotClickCaptures()
    {
        auto main = makeMain(false);
        RemoteWindow& remote = *m_remote;
        remote.show();
        QVERIFY(!main->isVisible());
        setClipboardText(QStringLiteral("captured from the remote"));
        remote.setDown(1); // the mark the active-slot routine leaves

        QTest::mouseClick(remote.slotButton(3), Qt::LeftButton);
        QCOMPARE(main->collector().activeSlot().number(), 3);
        QTRY_VERIFY(fileBytes(path(QStringLiteral("Default3.txt"))).contains("remote\r\n"));
        const QByteArray bytes = fileBytes(path(QStringLiteral("Default3.txt")));
        QVERIFY2(bytes.contains("captured from the remote\r\n"), bytes.constData());
        QVERIFY(!QFile::exists(path(QStringLiteral("Default1.txt"))));
        QCOMPARE(m_desk->played(), 1);
        QVERIFY(!main->isVisible());
        // The capture ends by releasing the slot buttons through the main
        // window.
        QCOMPARE(downButtons(remote), QString());
    }

    void slotClickWithoutText()
    {
        auto main = makeMain(false);
        QImage picture(2, 2, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QGuiApplication::clipboard()->setImage(picture);
        main->collector().captureInto(2, Collector::Trigger::RemoteSlotButton);
        QCOMPARE(main->collector().activeSlot().number(), 2);
        QVERIFY(!QFile::exists(path(QStringLiteral("Default2.txt"))));
        QCOMPARE(m_desk->played(), 0);
    }

    // Each slot button chooses its own slot, whichever was active before,
    // and shows it at once, also when the window's activation (which puts
    // the active slot's button down) is delivered during the click.
    void eachButtonChoosesItsSlot()
    {
        auto main = makeMain(true);
        RemoteWindow& remote = *m_remote;
        for (int from : {1, 2, 3}) {
            for (int slot : {1, 2, 3}) {
                main->collector().setActiveSlot(from);
                remote.setDown(from);
                QMetaObject::invokeMethod(&main->collector(), &Collector::announceActiveSlot,
                                          Qt::QueuedConnection);
                remote.slotButton(slot)->click();
                QCOMPARE(main->collector().activeSlot().number(), slot);
                QCOMPARE(downButtons(remote), QString::number(slot));
                QCoreApplication::processEvents();
                QCOMPARE(downButtons(remote), QString::number(slot));
            }
        }
        QCOMPARE(m_desk->played(), 0);
    }

    void autoToggle()
    {
        auto main = makeMain(false);
        RemoteWindow& remote = *m_remote;
        remote.show();
        main->collector().setActiveSlot(2);
        QAction* autoMenu = main->commands().autoMode;
        QAction* autoMenu2 = main->commands().trayAutoMode;

        QTest::mouseClick(remote.autoButton(), Qt::LeftButton);
        QVERIFY(remote.autoButton()->isChecked());
        QVERIFY(autoButton(*main)->isChecked());
        QVERIFY(main->collector().autoMode());
        QVERIFY(autoMenu->isChecked());
        QVERIFY(autoMenu2->isChecked());
        QCOMPARE(main->collector().activeSlot().number(), 2);
        QVERIFY(remote.remoteAuto());
        QVERIFY(remote.areCheckButtons());
        QCOMPARE(downButtons(remote), QStringLiteral("2"));

        QTest::mouseClick(remote.autoButton(), Qt::LeftButton);
        QVERIFY(!remote.autoButton()->isChecked());
        QVERIFY(!autoButton(*main)->isChecked());
        QVERIFY(!autoMenu->isChecked());
        QVERIFY(!autoMenu2->isChecked());
        QVERIFY(!remote.remoteAuto());
        QVERIFY(!remote.areCheckButtons());
        QCOMPARE(downButtons(remote), QString());
    }

    // Activation copies the auto state into the toggle and, with the remote
    // auto flag off, releases the slot buttons; a hidden main window stays
    // hidden.
    void activation_data()
    {
        QTest::addColumn<bool>("remoteAuto");
        QTest::addColumn<QString>("down");
        QTest::newRow("plain") << false << QString();
        QTest::newRow("auto") << true << QStringLiteral("2");
    }

    void activation()
    {
        QFETCH(bool, remoteAuto);
        QFETCH(QString, down);
        auto main = makeMain(false);
        RemoteWindow& remote = *m_remote;
        remote.setRemoteAuto(remoteAuto);
        remote.makeCheckButtons(remoteAuto);
        main->collector().setActiveSlot(2);
        remote.setDown(2);
        // Auto mode switched on by a menu item; the toggle is out of step
        // until the window is activated.
        main->commands().autoMode->trigger();
        remote.autoButton()->setChecked(false);
        setClipboardText(QStringLiteral("t"));
        QVERIFY(!remote.autoButton()->isChecked());

        activate(remote);
        QTRY_VERIFY(remote.autoButton()->isChecked());
        QCOMPARE(downButtons(remote), down);
        QCOMPARE(main->collector().activeSlot().number(), 2);
        QVERIFY(!main->isVisible());
        // The hint refresh of the activation rewrites the tooltips.
        QCOMPARE(remote.slotButton(1)->toolTip(),
                 QStringLiteral("Switch Auto Clipstow to Default1.txt"));
    }

    void toolbarOpenstrayMenu()
    {
        auto main = makeMain(false);
        RemoteWindow& remote = *m_remote;
        remote.show();
        QCOMPARE(main->trayIcon()->menu(), main->trayMenu());
        QMenu* menu = main->trayMenu();
        QVERIFY(!menu->isVisible());
        // A right-click on a button reaches the toolbar.
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                remote.slotButton(2)->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(remote.slotButton(2), &event);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }

    void closeOnlyHides()
    {
        auto main = makeMain(true);
        RemoteWindow& remote = *m_remote;
        remote.show();
        QVERIFY(remote.isVisible());
        remote.close();
        QVERIFY(!remote.isVisible());
        remote.show();
        remote.windowHandle()->close(); // the path of the close box
        QVERIFY(!remote.isVisible());
        QVERIFY(main->collector().autoMode());
        remote.show();
        QVERIFY(remote.isVisible());
    }

    // A visible remote window does not hold up the end of the program.
    void quitIsNotRefused()
    {
        makeMain(false);
        RemoteWindow& remote = *m_remote;
        remote.show();
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(3); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

CLIPSTOW_TEST_MAIN(TestRemoteWindow)
#include "tst_remotewindow.moc"
