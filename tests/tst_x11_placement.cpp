// Both windows come back where the user left them: the built program on a
// desktop with a window manager, moved and resized with xdotool, ended from
// the tray and started again.
#include "support/PrivateDesktop.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int TimeoutMs = 30000;
const QString ProgramKey = QStringLiteral("HKLM\\SOFTWARE\\Orvane\\Clipstow");
const QString MainKey = QStringLiteral("HKCU\\SOFTWARE\\Orvane\\Clipstow\\MainForm");
const QString RemoteKey = QStringLiteral("HKCU\\SOFTWARE\\Orvane\\Clipstow\\RemoteFrm");

bool near(const QRect& a, const QRect& b)
{
    return std::abs(a.left() - b.left()) <= 2 && std::abs(a.top() - b.top()) <= 2 &&
           std::abs(a.right() - b.right()) <= 2 && std::abs(a.bottom() - b.bottom()) <= 2;
}

QString text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class TestX11Placement final : public QObject
{
    Q_OBJECT

    TestSupport::PrivateDesktop m_desktop;
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    std::unique_ptr<QProcess> m_app;
    bool m_startsMinimized = false;

    int reg(const QStringList& args, QString* out = nullptr)
    {
        QProcess tool;
        tool.setProcessEnvironment(m_env);
        tool.start(TestSupport::builtProgram(QStringLiteral("clipstow-reg")), args);
        tool.waitForFinished(30000);
        if (out)
            *out = QString::fromLocal8Bit(tool.readAllStandardOutput());
        return tool.exitCode();
    }

    void seed(const QString& key, const QString& name, const QString& type, const QString& data)
    {
        QCOMPARE(reg({QStringLiteral("add"), key, QStringLiteral("/v"), name, QStringLiteral("/t"),
                      type, QStringLiteral("/d"), data, QStringLiteral("/f")}),
                 0);
    }

    void seedPlace(const QString& key, const QString& normPos)
    {
        for (const QString& name : {QStringLiteral("NormPos"), QStringLiteral("NormPos(1280x800)")})
            seed(key, name, QStringLiteral("REG_SZ"), normPos);
    }

    QString stored(const QString& key, const QString& name)
    {
        QString values;
        reg({QStringLiteral("query"), key, QStringLiteral("/v"), name}, &values);
        const QRegularExpressionMatch m =
            QRegularExpression(name + QStringLiteral("\\s+REG_SZ\\s+(\\S*)")).match(values);
        return m.captured(1);
    }

    QString property(const QString& id, const char* name) const
    {
        return m_desktop.tool(QStringLiteral("xprop"),
                              {QStringLiteral("-id"), id, QString::fromLatin1(name)});
    }

    void start()
    {
        m_app = std::make_unique<QProcess>();
        m_app->setProcessChannelMode(QProcess::ForwardedChannels);
        TestSupport::startProgram(*m_app, m_env, m_dir.path());
        QVERIFY(m_app->waitForStarted());
        if (m_startsMinimized)
            return;
        QTRY_VERIFY_WITH_TIMEOUT(!mainWindow().isEmpty() && !remoteWindow().isEmpty(), TimeoutMs);
        // The window manager has framed both.
        QTRY_VERIFY_WITH_TIMEOUT(frameOf(mainWindow()).top() != clientTop(mainWindow()), TimeoutMs);
    }

    QString mainWindow() const
    {
        const QStringList ids = m_desktop.windows(m_app->processId(), QStringLiteral("Clipstow 3"));
        return ids.isEmpty() ? QString() : ids.constFirst();
    }
    QString remoteWindow() const
    {
        const QStringList ids = m_desktop.windows(m_app->processId(), QStringLiteral("Clipstow"));
        return ids.isEmpty() ? QString() : ids.constFirst();
    }
    QRect frameOf(const QString& id) const { return m_desktop.frame(id); }
    int clientTop(const QString& id) const
    {
        const QString info =
            m_desktop.tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
        return QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)"))
            .match(info)
            .captured(1)
            .toInt();
    }

    void stop()
    {
        QVERIFY(m_desktop.exitFromTray(m_app->processId()));
        QVERIFY(m_app->waitForFinished(TimeoutMs));
        QCOMPARE(m_app->exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_desktop.start();
        if (!problem.isEmpty())
            QSKIP(qPrintable(problem));
        QDir(m_dir.path()).mkdir(QStringLiteral("runtime"));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
        m_env = m_desktop.environment(QProcessEnvironment::systemEnvironment());
        m_env.insert(QStringLiteral("CLIPSTOW_REGISTRY"), m_dir.filePath(QStringLiteral("reg")));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        seed(ProgramKey, QStringLiteral("AcceptedLicense"), QStringLiteral("REG_SZ"),
             QStringLiteral("2026-01-01"));
        seed(ProgramKey, QStringLiteral("ShowSplash"), QStringLiteral("REG_DWORD"),
             QStringLiteral("0"));
        seed(ProgramKey, QStringLiteral("AutoHide"), QStringLiteral("REG_DWORD"),
             QStringLiteral("0"));
        seed(ProgramKey, QStringLiteral("AShowRemote"), QStringLiteral("REG_SZ"),
             QStringLiteral("1"));
        seed(ProgramKey, QStringLiteral("AutoOn"), QStringLiteral("REG_SZ"), QStringLiteral("0"));
    }

    void cleanup()
    {
        if (m_app && m_app->state() != QProcess::NotRunning) {
            m_app->kill();
            m_app->waitForFinished(5000);
        }
    }

    void windowsComeBackWhereTheyWereLeft()
    {
        start();
        if (QTest::currentTestFailed())
            return;
        const QString main = mainWindow();
        const QString remote = remoteWindow();
        m_desktop.tool(QStringLiteral("xdotool"),
                       {QStringLiteral("windowsize"), QStringLiteral("--sync"), main,
                        QStringLiteral("520"), QStringLiteral("430")});
        m_desktop.tool(QStringLiteral("xdotool"),
                       {QStringLiteral("windowmove"), QStringLiteral("--sync"), main,
                        QStringLiteral("140"), QStringLiteral("110")});
        m_desktop.tool(QStringLiteral("xdotool"),
                       {QStringLiteral("windowmove"), QStringLiteral("--sync"), remote,
                        QStringLiteral("900"), QStringLiteral("600")});
        QTest::qWait(500);
        const QRect mainFrame = frameOf(main);
        const QRect remoteFrame = frameOf(remote);
        QVERIFY(mainFrame.isValid() && remoteFrame.isValid());
        stop();
        if (QTest::currentTestFailed())
            return;

        QString values;
        QCOMPARE(reg({QStringLiteral("query"), MainKey}, &values), 0);
        for (const char* name : {"Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos(1280x800)",
                                 "MinMaxPos", "NormPos(1280x800)", "NormPos", "Visible"})
            QVERIFY2(values.contains(QString::fromLatin1(name) + QStringLiteral("    REG_SZ")),
                     qPrintable(values));
        QVERIFY2(values.contains(QStringLiteral("NormPos    REG_SZ    %1,%2,%3,%4")
                                     .arg(mainFrame.left())
                                     .arg(mainFrame.top())
                                     .arg(mainFrame.left() + mainFrame.width())
                                     .arg(mainFrame.top() + mainFrame.height())),
                 qPrintable(values + text(mainFrame)));
        QCOMPARE(reg({QStringLiteral("query"), RemoteKey}, &values), 0);
        QVERIFY2(values.contains(QStringLiteral("Visible    REG_SZ    1")), qPrintable(values));

        start();
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY2_WITH_TIMEOUT(near(frameOf(mainWindow()), mainFrame),
                                  qPrintable(text(frameOf(mainWindow())) + " / " + text(mainFrame)),
                                  TimeoutMs);
        QTRY_VERIFY2_WITH_TIMEOUT(
            near(frameOf(remoteWindow()), remoteFrame),
            qPrintable(text(frameOf(remoteWindow())) + " / " + text(remoteFrame)), TimeoutMs);
        stop();
    }

    void farOffScreenComesBackOnScreen()
    {
        for (const QString& name : {QStringLiteral("NormPos"), QStringLiteral("NormPos(1280x800)")})
            seed(MainKey, name, QStringLiteral("REG_SZ"), QStringLiteral("-6000,9000,-5500,9400"));
        start();
        if (QTest::currentTestFailed())
            return;
        const QRect screen(0, 0, 1280, 800);
        QTRY_VERIFY2_WITH_TIMEOUT(screen.contains(frameOf(mainWindow())),
                                  qPrintable(text(frameOf(mainWindow()))), TimeoutMs);
        QCOMPARE(frameOf(mainWindow()).size(), QSize(500, 400));
        stop();
    }

    // A frame partly off the screen comes wholly onto it, once the window
    // manager's frame is known.
    void partlyOffScreenComesWhollyOnScreen()
    {
        seedPlace(MainKey, QStringLiteral("880,100,1289,400"));
        seedPlace(RemoteKey, QStringLiteral("600,796,716,820"));
        start();
        if (QTest::currentTestFailed())
            return;
        const QRect screen(0, 0, 1280, 800);
        QTRY_VERIFY2_WITH_TIMEOUT(
            screen.contains(frameOf(mainWindow())) && screen.contains(frameOf(remoteWindow())),
            qPrintable(text(frameOf(mainWindow())) + " / " + text(frameOf(remoteWindow()))),
            TimeoutMs);
        QCOMPARE(frameOf(mainWindow()).right(), 1279);
        QCOMPARE(frameOf(remoteWindow()).bottom(), 799);
        stop();
    }

    // Stored maximized, the main window opens maximized, writes its normal
    // place unchanged at every exit, and comes back there when the user
    // restores it. Stored minimized (show command 6), it opens minimized.
    void windowStatesComeBack()
    {
        const QString place = QStringLiteral("100,120,602,595");
        seedPlace(MainKey, place);
        seed(MainKey, QStringLiteral("ShowCmd"), QStringLiteral("REG_SZ"), QStringLiteral("3"));
        for (int round = 0; round < 2; ++round) {
            start();
            if (QTest::currentTestFailed())
                return;
            QTRY_VERIFY_WITH_TIMEOUT(
                property(mainWindow(), "_NET_WM_STATE").contains("MAXIMIZED_VERT"), TimeoutMs);
            if (round == 1) {
                // A double click on the title bar restores the window.
                const QRect maximized = frameOf(mainWindow());
                m_desktop.tool(QStringLiteral("xdotool"),
                               {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                QString::number(maximized.center().x()),
                                QString::number(maximized.top() + 6), QStringLiteral("click"),
                                QStringLiteral("--repeat"), QStringLiteral("2"),
                                QStringLiteral("1")});
                QTRY_VERIFY2_WITH_TIMEOUT(near(frameOf(mainWindow()), QRect(100, 120, 502, 475)),
                                          qPrintable(text(frameOf(mainWindow()))), TimeoutMs);
            }
            stop();
            QCOMPARE(stored(MainKey, QStringLiteral("NormPos")), place);
            QCOMPARE(stored(MainKey, QStringLiteral("ShowCmd")),
                     round == 0 ? QStringLiteral("3") : QStringLiteral("1"));
        }

        seed(MainKey, QStringLiteral("ShowCmd"), QStringLiteral("REG_SZ"), QStringLiteral("6"));
        m_startsMinimized = true;
        start();
        m_startsMinimized = false;
        QString main;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(main = m_desktop
                         .tool(QStringLiteral("xdotool"),
                               {QStringLiteral("search"), QStringLiteral("--pid"),
                                QString::number(m_app->processId()), QStringLiteral("--name"),
                                QStringLiteral("^Clipstow 3$")})
                         .trimmed())
                    .isEmpty() &&
                property(main, "WM_STATE").contains("Iconic"),
            TimeoutMs);
        stop();
        QCOMPARE(stored(MainKey, QStringLiteral("ShowCmd")), QStringLiteral("2"));
        QCOMPARE(stored(MainKey, QStringLiteral("NormPos")), place);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestX11Placement)
#include "tst_x11_placement.moc"
