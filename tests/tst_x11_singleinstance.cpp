// Two real Clipstow processes on one display: the second start brings the
// first one's main window up and ends.
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool mainWindowVisible()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--name"), QStringLiteral("^Clipstow 3$")});
    search.waitForFinished(5000);
    return search.exitCode() == 0 && !search.readAllStandardOutput().trimmed().isEmpty();
}

// Message bus processes started for this display (the bus library's
// autolaunch), by the environment they inherited.
QStringList busProcessesOfDisplay()
{
    QStringList found;
    const QByteArray display = "DISPLAY=" + qgetenv("DISPLAY");
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (!command.open(QIODevice::ReadOnly) || !environment.open(QIODevice::ReadOnly))
            continue;
        const QByteArray program = command.readAll().split('\0').value(0);
        if ((program.endsWith("dbus-launch") || program.endsWith("dbus-daemon")) &&
            environment.readAll().split('\0').contains(display))
            found << pid + QLatin1Char(' ') + QString::fromLocal8Bit(program);
    }
    return found;
}

} // namespace

class TestX11SingleInstance final : public QObject
{
    Q_OBJECT

private:
    QProcess m_trayer;

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs xdotool");
        // With no tray the program keeps its window open at start, which
        // would hide what this test looks for.
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            m_trayer.start(QStringLiteral("trayer"),
                           {QStringLiteral("--edge"), QStringLiteral("top")});
            QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
        }
    }

    void cleanupTestCase()
    {
        if (m_trayer.state() != QProcess::NotRunning) {
            m_trayer.terminate();
            m_trayer.waitForFinished(3000);
        }
    }

    void secondStartShowsFirst()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("runtime"));
        QFile::setPermissions(dir.filePath(QStringLiteral("runtime")), QFileDevice::ReadOwner |
                                                                           QFileDevice::WriteOwner |
                                                                           QFileDevice::ExeOwner);
        // A user past the first-run agreement and without a splash.
        TestSupport::ScopedRegistry registry;
        TestSupport::seedReturningUser(registry.settings());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CLIPSTOW_REGISTRY"), registry.filePath());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // Regression: in a session without a message bus, one was started
        // for the program and outlived it.
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        const QStringList busesBefore = busProcessesOfDisplay();

        QProcess first;
        TestSupport::startProgram(first, env, dir.path());
        QVERIFY(first.waitForStarted());
        // Started, hidden in the tray ("AutoHide" is true by default).
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(dir.filePath(QStringLiteral("runtime")))
                                      .entryList({QStringLiteral("*.socket")}, QDir::System)
                                      .isEmpty(),
                                 10000);
        QTest::qWait(500);
        QVERIFY(!mainWindowVisible());

        QProcess second;
        TestSupport::startProgram(second, env, dir.path());
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        QTRY_VERIFY_WITH_TIMEOUT(mainWindowVisible(), 10000);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
        QCOMPARE(busProcessesOfDisplay(), busesBefore);
    }
};

CLIPSTOW_TEST_MAIN(TestX11SingleInstance)
#include "tst_x11_singleinstance.moc"
