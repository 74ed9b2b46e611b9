// The built program in a Wayland session (a private headless sway, weston or
// Mutter), with settings seeded by clipstow-reg.
#include "support/Files.h"
#include "support/PrivateMutter.h"
#include "support/PrivateSway.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
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
        seedInto(m_env, name, type, data);
    }
    void seedInto(const QProcessEnvironment& env, const QString& name, const QString& type,
                  const QString& data)
    {
        QProcess reg;
        reg.setProcessEnvironment(env);
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
    // cannot do there and why they run there; so it does where the user
    // asked for that platform while XWayland runs.
    void startsWithoutXWayland_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QByteArray>("why");
        QTest::newRow("no X display") << QString() << QString() << QByteArray("offers no XWayland");
        QTest::newRow("X display refused")
            << deadDisplay() << QString() << QByteArray("could not be opened");
        QTest::newRow("Wayland asked for") << qEnvironmentVariable("DISPLAY") << "wayland"
                                           << QByteArray("as QT_QPA_PLATFORM asks for it");
    }
    void startsWithoutXWayland()
    {
        QFETCH(QString, display);
        QFETCH(QString, platform);
        QFETCH(QByteArray, why);
        if (!platform.isEmpty() && display.isEmpty())
            QSKIP("needs the X display of the test run");
        QProcessEnvironment env = m_env;
        if (display.isEmpty())
            env.remove(QStringLiteral("DISPLAY"));
        else
            env.insert(QStringLiteral("DISPLAY"), display);
        if (!platform.isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        QProcess program;
        TestSupport::startProgram(program, env, m_dir.path());
        QVERIFY(program.waitForStarted());
        const QByteArray notice = "Clipstow's windows run on Wayland itself, as ";
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += program.readAllStandardError()).contains(notice),
                                 StartTimeoutMs);
        QCOMPARE(said.count(notice), 1);
        QVERIFY2(said.contains(why), said.constData());
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
        QCOMPARE(said.count("Clipstow's windows run on Wayland itself"), 1);
        program.terminate();
        QVERIFY(program.waitForFinished(StartTimeoutMs));
        QCOMPARE(program.exitCode(), 0);
        weston.kill();
        weston.waitForFinished();
    }

    // GNOME: Mutter offers no data-control, but its XWayland passes every
    // copy of a Wayland program on. The program runs through XWayland in
    // auto mode and captures each of 20 copies made with wl-copy, whose
    // surface, not a Clipstow window, has the focus then; it says nothing
    // about seeing only some copies. A registry of its own: the windows'
    // places the other stories stored are not this desktop's.
    void gnomeCapturesThroughXWayland()
    {
        TestSupport::PrivateMutter mutter;
        const QString problem = mutter.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QProcessEnvironment env = mutter.environment(m_env);
        env.insert(QStringLiteral("CLIPSTOW_REGISTRY"), path(QStringLiteral("gnome.sqlite3")));
        const QString file = path(QStringLiteral("gnome.txt"));
        const QStringList seeds{QStringLiteral("AcceptedLicense"),
                                QStringLiteral("REG_SZ"),
                                QStringLiteral("2026-01-01"),
                                QStringLiteral("ShowSplash"),
                                QStringLiteral("REG_DWORD"),
                                QStringLiteral("0"),
                                QStringLiteral("Filename1"),
                                QStringLiteral("REG_SZ"),
                                file,
                                QStringLiteral("Auto"),
                                QStringLiteral("REG_DWORD"),
                                QStringLiteral("1")};
        for (qsizetype i = 0; i < seeds.size(); i += 3)
            seedInto(env, seeds.at(i), seeds.at(i + 1), seeds.at(i + 2));
        QProcess program;
        TestSupport::startProgram(program, env, m_dir.path());
        QVERIFY(program.waitForStarted());

        // Copies made before the program watches are not captured: one is
        // made every half second until one is.
        const auto copiesOf = [&file](const QString& prefix) {
            return TestSupport::capturedTexts(file).filter(QRegularExpression(u'^' + prefix));
        };
        const QDeadlineTimer deadline(StartTimeoutMs);
        while (copiesOf(QStringLiteral("probe")).isEmpty() && !deadline.hasExpired()) {
            QVERIFY(mutter.copy("probe"));
            QTest::qWait(500);
        }
        QVERIFY(!copiesOf(QStringLiteral("probe")).isEmpty());

        // One after the other, as a user copies: each is in the file before
        // the next is made.
        QStringList expected;
        for (int i = 0; i < 20; ++i) {
            expected.append(QStringLiteral("gnome %1").arg(i));
            QVERIFY(mutter.copy(expected.last().toUtf8()));
            QTRY_COMPARE_WITH_TIMEOUT(copiesOf(QStringLiteral("gnome ")).size(), i + 1,
                                      StartTimeoutMs);
        }
        QCOMPARE(copiesOf(QStringLiteral("gnome ")), expected);
        const QByteArray said = program.readAllStandardError();
        QVERIFY2(!said.contains("may see only") && !said.contains("Wayland itself"),
                 said.constData());
        program.terminate();
        QVERIFY(program.waitForFinished(StartTimeoutMs));
        QCOMPARE(program.exitCode(), 0);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestWaylandEndToEnd)
#include "tst_wayland_endtoend.moc"
