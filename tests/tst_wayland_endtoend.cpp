// The built program in a Wayland session (a private headless sway), with
// settings seeded by clipstow-reg.
#include "support/PrivateSway.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

constexpr int StartTimeoutMs = 30000;
const QString ProgramKey = QStringLiteral("HKLM\\SOFTWARE\\Orvane\\Clipstow");

// An X display number nobody serves.
QString deadDisplay()
{
    for (int number = 4000;; ++number)
        if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            return QStringLiteral(":%1").arg(number);
}

} // namespace

class TestWaylandEndToEnd : public QObject
{
    Q_OBJECT

    TestSupport::PrivateSway m_sway;
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    void seed(const QString& name, const QString& type, const QString& data)
    {
        QProcess reg;
        reg.setProcessEnvironment(m_env);
        reg.start(TestSupport::builtProgram(QStringLiteral("clipstow-reg")),
                  {QStringLiteral("add"), ProgramKey, QStringLiteral("/v"), name,
                   QStringLiteral("/t"), type, QStringLiteral("/d"), data, QStringLiteral("/f")});
        QVERIFY(reg.waitForFinished());
        QCOMPARE(reg.exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_sway.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QDir(m_dir.path()).mkdir(QStringLiteral("runtime"));
        QFile::setPermissions(path(QStringLiteral("runtime")), QFileDevice::ReadOwner |
                                                                   QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
        m_env = m_sway.environment(QProcessEnvironment::systemEnvironment());
        m_env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        m_env.insert(QStringLiteral("CLIPSTOW_REGISTRY"), path(QStringLiteral("registry.sqlite3")));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        seed(QStringLiteral("AcceptedLicense"), QStringLiteral("REG_SZ"),
             QStringLiteral("2026-01-01"));
        seed(QStringLiteral("ShowSplash"), QStringLiteral("REG_DWORD"), QStringLiteral("0"));
        for (int slot = 1; slot <= 3; ++slot)
            seed(QStringLiteral("Filename%1").arg(slot), QStringLiteral("REG_SZ"),
                 path(QStringLiteral("slot%1.txt").arg(slot)));
    }

    // Where the X display cannot be opened, the program starts on Qt's
    // Wayland platform instead of aborting, and says once what its windows
    // cannot do there.
    void startsWithoutXWayland_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("no X display") << QString();
        QTest::newRow("X display refused") << deadDisplay();
    }
    void startsWithoutXWayland()
    {
        QFETCH(QString, display);
        QProcessEnvironment env = m_env;
        if (display.isEmpty())
            env.remove(QStringLiteral("DISPLAY"));
        else
            env.insert(QStringLiteral("DISPLAY"), display);
        QProcess program;
        TestSupport::startProgram(program, env, m_dir.path());
        QVERIFY(program.waitForStarted());
        const QByteArray notice = "Clipstow runs without XWayland on this desktop";
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += program.readAllStandardError()).contains(notice),
                                 StartTimeoutMs);
        QCOMPARE(said.count(notice), 1);
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(StartTimeoutMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    // On a compositor without data-control (weston), and without XWayland,
    // the user is told once what the windows cannot do and that auto mode
    // sees only the copies made while a Clipstow window is active.
    void withoutDataControlSaidOnce()
    {
        QTemporaryDir runtime;
        QProcess weston;
        const QString socket = TestSupport::startHeadlessWeston(weston, runtime.path());
        QVERIFY2(!socket.isEmpty(), "needs weston");
        QProcessEnvironment env = m_env;
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
        QProcess program;
        TestSupport::startProgram(program, env, m_dir.path());
        QVERIFY(program.waitForStarted());
        const QByteArray notice = "auto mode may see only the copies made while a Clipstow "
                                  "window is active";
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += program.readAllStandardError()).contains(notice),
                                 StartTimeoutMs);
        QCOMPARE(said.count(notice), 1);
        QCOMPARE(said.count("Clipstow runs without XWayland"), 1);
        program.terminate();
        QVERIFY(program.waitForFinished(StartTimeoutMs));
        QCOMPARE(program.exitCode(), 0);
        weston.kill();
        weston.waitForFinished();
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestWaylandEndToEnd)
#include "tst_wayland_endtoend.moc"
