// The remote control window on a real X server, as window managers and
// taskbars see it: its type and states, no owner, no taskbar entry, and it
// stays mapped when the main window is minimised.
#include "app/Startup.h"
#include "core/Collector.h"
#include "support/DesktopFixture.h"
#include "support/TestMain.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"

#include <QProcess>
#include <QTest>

namespace {

// One property of a window as xprop prints it.
QString xprop(const QWidget& window, const char* property)
{
    QProcess process;
    process.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                            QString::fromLatin1(property)});
    if (!process.waitForFinished(10000))
        return QStringLiteral("<xprop did not finish>");
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString xwininfo(const QWidget& window)
{
    QProcess process;
    process.start(QStringLiteral("xwininfo"),
                  {QStringLiteral("-id"), QString::number(window.winId())});
    if (!process.waitForFinished(10000))
        return QStringLiteral("<xwininfo did not finish>");
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

class TestX11RemoteWindow final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    std::unique_ptr<TestSupport::ScopedWorkFolder> m_folder;

    void checkWindowManagerView(const RemoteWindow& remote)
    {
        const QString state = xprop(remote, "_NET_WM_STATE");
        QVERIFY2(state.contains(QLatin1String("_NET_WM_STATE_SKIP_TASKBAR")), qPrintable(state));
        QVERIFY2(state.contains(QLatin1String("_NET_WM_STATE_SKIP_PAGER")), qPrintable(state));
        QVERIFY2(state.contains(QLatin1String("_NET_WM_STATE_ABOVE")), qPrintable(state));
        const QString type = xprop(remote, "_NET_WM_WINDOW_TYPE");
        QVERIFY2(type.contains(QLatin1String("_NET_WM_WINDOW_TYPE_UTILITY")), qPrintable(type));
        // Owned by no window of the program.
        const QString owner = xprop(remote, "WM_TRANSIENT_FOR");
        QVERIFY2(owner.contains(QLatin1String("not found")), qPrintable(owner));
    }

private Q_SLOTS:
    void init()
    {
        m_registry = std::make_unique<TestSupport::ScopedRegistry>();
        TestSupport::seedReturningUser(m_registry->settings());
        m_folder = std::make_unique<TestSupport::ScopedWorkFolder>();
    }

    void cleanup()
    {
        m_folder.reset();
        m_registry.reset();
    }

    void toolWindowWithoutTaskbarEntry()
    {
        Startup program(m_registry->settings(), m_registry->errors(), m_registry->saveSound());
        program.readSettings();
        program.buildWindows();
        MainWindow& main = *program.mainWindow();
        RemoteWindow& remote = *program.remoteWindow();
        remote.show();
        QVERIFY(QTest::qWaitForWindowExposed(&remote));
        QVERIFY(xprop(remote, "_NET_WM_NAME").contains(QLatin1String("\"Clipstow\"")));
        checkWindowManagerView(remote);
        const QString info = xwininfo(remote);
        QVERIFY2(info.contains(QLatin1String("Width: 116")), qPrintable(info));
        QVERIFY2(info.contains(QLatin1String("Height: 24")), qPrintable(info));

        // Each new mapping is prepared again.
        remote.close();
        QTRY_VERIFY(!xwininfo(remote).contains(QLatin1String("IsViewable")));
        remote.show();
        QVERIFY(QTest::qWaitForWindowExposed(&remote));
        checkWindowManagerView(remote);

        // The main window keeps its own taskbar entry.
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(!xprop(main, "_NET_WM_STATE").contains(QLatin1String("SKIP_TASKBAR")));
    }

    void staysWhenMainWindowIsMinimised()
    {
        Startup program(m_registry->settings(), m_registry->errors(), m_registry->saveSound());
        program.readSettings();
        program.buildWindows();
        MainWindow& main = *program.mainWindow();
        RemoteWindow& remote = *program.remoteWindow();
        main.show();
        remote.show();
        QVERIFY(QTest::qWaitForWindowExposed(&remote));
        main.showMinimized();
        QTest::qWait(200);
        QVERIFY(remote.isVisible());
        QVERIFY2(xwininfo(remote).contains(QLatin1String("IsViewable")),
                 qPrintable(xwininfo(remote)));
        main.hide();
        QTest::qWait(200);
        QVERIFY(xwininfo(remote).contains(QLatin1String("IsViewable")));
    }
};

CLIPSTOW_TEST_MAIN(TestX11RemoteWindow)
#include "tst_x11_remotewindow.moc"
