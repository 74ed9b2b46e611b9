// The windows under a real window manager (openbox) with a tray host, on a
// desktop of this test's own: what the title bar of the remote window
// offers, bringing a minimised remote window back, and hiding the main
// window to the tray.
#include "app/Startup.h"
#include "core/Collector.h"
#include "support/DesktopFixture.h"
#include "support/PrivateDesktop.h"
#include "support/TestMain.h"
#include "ui/CommandHandlers.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"
#include "ui/editor/SlotEditor.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

namespace {

// Started before the application connects to the display.
TestSupport::PrivateDesktop* g_desktop = nullptr;
QString g_desktopFailure;

QString xprop(const QWidget& window, const char* property)
{
    return g_desktop
        ->tool(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                         QString::fromLatin1(property)})
        .trimmed();
}

// Whether the window is mapped and in the normal state, as the window
// manager and the X server see it.
bool shownNormally(const QWidget& window)
{
    const QString info = g_desktop->tool(QStringLiteral("xwininfo"),
                                         {QStringLiteral("-id"), QString::number(window.winId())});
    return info.contains(QLatin1String("IsViewable")) &&
           xprop(window, "WM_STATE").contains(QLatin1String("Normal")) &&
           !xprop(window, "_NET_WM_STATE").contains(QLatin1String("_NET_WM_STATE_HIDDEN"));
}

} // namespace

class TestX11WindowManager final : public QObject, TestSupport::WindowsFixture
{
    Q_OBJECT

    void showRemote()
    {
        m_main->commands().showRemote->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(shownNormally(*m_remote), 10000);
        // Framed by the window manager.
        QTRY_VERIFY_WITH_TIMEOUT(xprop(*m_remote, "_NET_FRAME_EXTENTS").contains(QLatin1Char('=')),
                                 10000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!g_desktopFailure.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private desktop: ") + g_desktopFailure));
    }

    void init()
    {
        beginDesk();
        startWindows();
    }

    void cleanup() { endDesk(); }

    // The title bar offers closing and moving only: no minimise button (a
    // minimised tool window has no taskbar entry) and no maximise button,
    // which left no room for the caption.
    void remoteTitleBarHasCloseOnly()
    {
        showRemote();
        QString actions;
        QTRY_VERIFY_WITH_TIMEOUT(
            (actions = xprop(*m_remote, "_NET_WM_ALLOWED_ACTIONS")).contains(QLatin1Char('=')),
            10000);
        QVERIFY2(actions.contains(QLatin1String("_NET_WM_ACTION_CLOSE")), qPrintable(actions));
        QVERIFY2(actions.contains(QLatin1String("_NET_WM_ACTION_MOVE")), qPrintable(actions));
        for (const char* absent :
             {"_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_RESIZE"})
            QVERIFY2(!actions.contains(QLatin1String(absent)), qPrintable(actions));
        const QString shot = qEnvironmentVariable("CLIPSTOW_SCREENSHOT");
        if (!shot.isEmpty()) {
            QTest::qWait(500);
            g_desktop->tool(QStringLiteral("import"),
                            {QStringLiteral("-window"), QStringLiteral("root"), shot});
        }
    }

    // A remote window minimised anyway (a window manager that minimises it
    // whatever it asks for, or a program) comes back, restored, raised and
    // active, through F6's "Show "Remote Control"" and the tray's
    // "&Show "remote control"".
    void minimisedRemoteComesBack_data()
    {
        QTest::addColumn<bool>("fromTray");
        QTest::newRow("View menu (F6)") << false;
        QTest::newRow("tray menu") << true;
    }

    void minimisedRemoteComesBack()
    {
        QFETCH(bool, fromTray);
        showRemote();
        m_remote->showMinimized();
        QVERIFY(m_remote->isMinimized());
        QTest::qWait(200);
        (fromTray ? m_main->commands().trayShowRemote : m_main->commands().showRemote)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(shownNormally(*m_remote), 10000);
        QVERIFY(!m_remote->isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(m_remote->isActiveWindow(), 10000);
    }

    // Save As accepted with Enter while the file name's completion list is
    // open: the list goes with the dialog and gives the keyboard back, so
    // the next F2 reaches the main window.
    void completionListClosesWithFileDialog()
    {
        const QString folder = m_desk->folder();
        for (const char* name : {"alpha-one.txt", "alpha-two.txt"}) {
            QFile file(m_desk->path(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_main->showWindow();
        QTRY_VERIFY_WITH_TIMEOUT(m_main->isActiveWindow(), 10000);
        // The dialog is made when the command runs; it starts in the folder
        // of the two files.
        QVERIFY(!m_main->findChild<QFileDialog*>());
        QFileDialog* dialog = nullptr;
        CommandHandlers::Dialogs dialogs;
        dialogs.saveFile = [&](QFileDialog& shown) {
            dialog = &shown;
            shown.setDirectory(folder);
            return CommandHandlers::defaultDialogs().saveFile(shown);
        };
        m_main->handlers().setDialogs(dialogs);
        bool listShown = false;
        QTimer::singleShot(0, [&] {
            // A failed check must not leave the dialog waiting.
            const auto closeOnFailure = qScopeGuard([&] {
                if (!listShown && dialog)
                    dialog->reject();
            });
            QVERIFY(dialog != nullptr);
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit != nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(edit->hasFocus(), 10000);
            // The dialog lists the folder on a thread of its own: typing
            // before the files are known completes nothing.
            auto* files = dialog->findChild<QFileSystemModel*>();
            QVERIFY(files != nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(files->rowCount(files->index(folder)) >= 2, 10000);
            QTest::keyClicks(edit, QStringLiteral("alpha"));
            // On a loaded machine the list may miss the typing; it is then
            // asked for as the dialog's own completer would.
            if (!QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000))
                if (auto* completer = edit->completer())
                    completer->complete();
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() != nullptr, 10000);
            listShown = true;
            g_desktop->tool(
                QStringLiteral("xdotool"),
                {QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Return")});
            QTRY_VERIFY_WITH_TIMEOUT(
                QApplication::activePopupWidget() == nullptr || !dialog->isVisible(), 5000);
            if (dialog->isVisible()) // the first Enter took the completion
                g_desktop->tool(QStringLiteral("xdotool"),
                                {QStringLiteral("key"), QStringLiteral("Return")});
        });
        m_main->editor(1)->setText(QStringLiteral("saved as"));
        m_main->handlers().saveActiveSlotAs();
        QVERIFY(listShown);
        QVERIFY(!dialog->isVisible());
        QTest::qWait(300);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        for (QCompleter* completer : dialog->findChildren<QCompleter*>())
            QVERIFY(!completer->popup()->isVisible());
        QVERIFY(QFile::exists(m_desk->path(QStringLiteral("alpha-one.txt.txt"))));
    }

    // With a notification area, Hide takes the main window off the screen
    // and the taskbar; the tray brings it back.
    void hideToTray()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_main->trayIconShown(), 10000);
        m_main->showWindow();
        QTRY_VERIFY_WITH_TIMEOUT(shownNormally(*m_main), 10000);
        m_main->commands().hideWindow->trigger();
        QVERIFY(!m_main->isVisible());
        QVERIFY(!m_main->isMinimized());
        m_main->commands().showMainWindow->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(shownNormally(*m_main), 10000);
    }
};

int main(int argc, char** argv)
{
    TestSupport::PrivateDesktop desktop;
    g_desktop = &desktop;
    g_desktopFailure = desktop.start();
    if (g_desktopFailure.isEmpty())
        qputenv("DISPLAY", desktop.display().toLocal8Bit());
    TestSupport::GuardedApplication<QApplication> app(argc, argv);
    TestX11WindowManager test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_x11_windowmanager.moc"
