// The program's command line: what the built program answers, with and
// without a display, before any window appears; and how the display and the
// platform plugin are chosen.
#include "app/CommandLine.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

QString firstLine(const QString& text)
{
    return text.section(QLatin1Char('\n'), 0, 0);
}

// Runs the built program; variables named in environment are set (an empty
// value unsets them), and DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are
// removed first, so a row without them has no display at all.
Outcome runClipstow(const QStringList& arguments, const QStringList& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const QString& assignment : environment)
        env.insert(assignment.section(QLatin1Char('='), 0, 0),
                   assignment.section(QLatin1Char('='), 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(TestSupport::builtProgram(QStringLiteral("clipstow")), arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Outcome outcome;
    outcome.exitCode =
        process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -process.exitCode();
    outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
    return outcome;
}

const QString UsageLine = QStringLiteral("Usage: clipstow [OPTION]...");
const QString NoDisplayLine = QString::fromLatin1(CommandLine::NoDisplayMessage);

} // namespace

class TestCommandLine final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtProgram_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stdoutLine");
        QTest::addColumn<QString>("stderrLine");

        const QStringList none;
        // A display that does not exist: a start that touched it would fail.
        const QStringList deadDisplay{QStringLiteral("DISPLAY=:987")};
        const QString version = QStringLiteral("Clipstow 3 (version " CLIPSTOW_VERSION
                                               ", built " CLIPSTOW_BUILD_DATE ")");
        QTest::newRow("--help") << QStringList{"--help"} << none << 0 << UsageLine << "";
        QTest::newRow("-h") << QStringList{"-h"} << none << 0 << UsageLine << "";
        QTest::newRow("--help, dead display")
            << QStringList{"--help"} << deadDisplay << 0 << UsageLine << "";
        QTest::newRow("--help after a toolkit option")
            << QStringList{"-style", "fusion", "--help"} << none << 0 << UsageLine << "";
        QTest::newRow("--version") << QStringList{"--version"} << none << 0 << version << "";
        QTest::newRow("--version, dead display")
            << QStringList{"--version"} << deadDisplay << 0 << version << "";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << deadDisplay << 2 << ""
                                        << "clipstow: unknown option '--bogus'";
        QTest::newRow("unknown single-dash option after a file name")
            << QStringList{"notes.txt", "-x"} << none << 2 << ""
            << "clipstow: unknown option '-x'";
        // Commands for the running instance: their words are checked before
        // anything else, and without one running they say so.
        QTest::newRow("--capture 4") << QStringList{"--capture", "4"} << deadDisplay << 2 << ""
                                     << "clipstow: invalid slot '4' for --capture (1, 2 or 3)";
        QTest::newRow("--auto without a word") << QStringList{"--auto"} << none << 2 << ""
                                               << "clipstow: option --auto needs on, off or toggle";
        QTest::newRow("--auto=maybe") << QStringList{"--auto=maybe"} << none << 2 << ""
                                      << "clipstow: invalid argument 'maybe' for --auto (on, off "
                                         "or toggle)";
        QTest::newRow("--quit=now") << QStringList{"--quit=now"} << none << 2 << ""
                                    << "clipstow: option --quit takes no argument";
        QTest::newRow("two commands") << QStringList{"--capture", "--hide"} << none << 2 << ""
                                      << "clipstow: --capture and --hide cannot be given together";
        QTest::newRow("--capture 2, nothing running")
            << QStringList{"--capture", "2"} << deadDisplay << 1 << ""
            << "Clipstow is not running";
        QTest::newRow("--quit, no display") << QStringList{"--quit"} << none << 1 << ""
                                            << "Clipstow is not running";
        QTest::newRow("--show starts it, which needs a display")
            << QStringList{"--show"} << none << 1 << "" << NoDisplayLine;
        QTest::newRow("toolkit option without its value")
            << QStringList{"-platform"} << deadDisplay << 2 << ""
            << "clipstow: option -platform needs a value";
        QTest::newRow("no display") << QStringList{} << none << 1 << "" << NoDisplayLine;
        QTest::newRow("no display, empty DISPLAY")
            << QStringList{} << QStringList{"DISPLAY="} << 1 << "" << NoDisplayLine;
        QTest::newRow("no display, xcb asked for")
            << QStringList{} << QStringList{"QT_QPA_PLATFORM=xcb"} << 1 << "" << NoDisplayLine;
        QTest::newRow("no display, -platform xcb")
            << QStringList{"-platform", "xcb"} << none << 1 << "" << NoDisplayLine;
        QTest::newRow("no display, /uninstall second")
            << QStringList{"x", "/uninstall"} << none << 1 << "" << NoDisplayLine;
        QTest::newRow("no display, -uninstall second")
            << QStringList{"x", "-uninstall"} << none << 1 << "" << NoDisplayLine;
        QTest::newRow("no display, /UNINSTALL")
            << QStringList{"/UNINSTALL"} << none << 0 << "Clipstow registry data removed"
            << "";
        // Only the first parameter counts: what follows the uninstall
        // command is not looked at.
        QTest::newRow("no display, -Uninstall --bogus")
            << QStringList{"-Uninstall", "--bogus"} << none << 0 << "Clipstow registry data removed"
            << "";
    }

    void builtProgram()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, exitCode);
        QFETCH(QString, stdoutLine);
        QFETCH(QString, stderrLine);

        TestSupport::ScopedRegistry registry;
        const Outcome outcome = runClipstow(arguments, environment);
        QCOMPARE(outcome.exitCode, exitCode);
        QCOMPARE(firstLine(outcome.out), stdoutLine);
        QCOMPARE(firstLine(outcome.err), stderrLine);
        if (exitCode == 2) // one line, and where to read more
            QCOMPARE(outcome.err, stderrLine + QStringLiteral("\nTry 'clipstow --help' for more "
                                                              "information.\n"));
    }

    void helpNamesOptionsEnvironmentAndFiles()
    {
        const Outcome outcome = runClipstow({QStringLiteral("--help")}, {});
        for (const char* word :
             {"--version", "/uninstall", "--capture [SLOT]", "--auto on|off|toggle", "--quit",
              "CLIPSTOW_REGISTRY", "QT_QPA_PLATFORM", "registry.sqlite3", "Default1.txt"})
            QVERIFY2(outcome.out.contains(QLatin1String(word)), word);
    }

    // Without a display the uninstall command still removes both roots'
    // keys and the autostart entry, and leaves other programs' keys alone;
    // a registry file with nothing else in it goes too.
    void uninstallWithoutDisplayRemovesTheSettings_data()
    {
        QTest::addColumn<bool>("otherProgram");
        QTest::newRow("Clipstow's keys alone") << false;
        QTest::newRow("another program's key too") << true;
    }

    void uninstallWithoutDisplayRemovesTheSettings()
    {
        QFETCH(bool, otherProgram);
        TestSupport::ScopedRegistry registry;
        QTemporaryDir config;
        const QString entry = config.filePath(QStringLiteral("autostart/clipstow.desktop"));
        QVERIFY(QDir().mkpath(QFileInfo(entry).path()));
        QFile(entry).open(QIODevice::WriteOnly);
        const QString key = QString::fromLatin1(Layout::ProgramKey);
        const QString other = QStringLiteral("SOFTWARE\\Other");
        {
            RegistryStore store(registry.filePath());
            QVERIFY(store.openKey(RegRoot::LocalMachine, key + QStringLiteral("\\Font"), true));
            QVERIFY(store.openKey(RegRoot::CurrentUser, key + QStringLiteral("\\MainForm"), true));
            if (otherProgram)
                QVERIFY(store.openKey(RegRoot::LocalMachine, other, true));
        }
        const Outcome outcome = runClipstow({QStringLiteral("/uninstall")},
                                            {QStringLiteral("XDG_CONFIG_HOME=") + config.path()});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, QStringLiteral("Clipstow registry data removed\n"));
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(QFile::exists(registry.filePath()), otherProgram);
        RegistryStore store(registry.filePath());
        QVERIFY(!store.keyExists(RegRoot::LocalMachine, key));
        QVERIFY(!store.keyExists(RegRoot::CurrentUser, key));
        QCOMPARE(store.keyExists(RegRoot::LocalMachine, other), otherProgram);
    }

    // The choice of display and platform plugin, for environments the
    // built program cannot be started in here.
    void decision_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("qpa");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("platform");

        using CommandLine::Action;
        const int start = int(Action::Start);
        const int noDisplay = int(Action::NoDisplay);
        QTest::newRow("X11") << QStringList{} << ":0"
                             << ""
                             << "" << start << "";
        QTest::newRow("Wayland with XWayland") << QStringList{} << ":0"
                                               << "wayland-0"
                                               << "" << start << "xcb;wayland";
        QTest::newRow("Wayland without XWayland") << QStringList{} << ""
                                                  << "wayland-0"
                                                  << "" << start << "wayland";
        QTest::newRow("Wayland, plugin chosen by the user") << QStringList{} << ":0"
                                                            << "wayland-0"
                                                            << "wayland" << start << "";
        QTest::newRow("offscreen needs no display") << QStringList{} << ""
                                                    << ""
                                                    << "offscreen" << start << "";
        QTest::newRow("-platform offscreen") << QStringList{"-platform", "offscreen"} << ""
                                             << ""
                                             << "xcb" << start << "";
        QTest::newRow("xcb with options, no display") << QStringList{} << ""
                                                      << ""
                                                      << "xcb:nograb" << noDisplay << "";
        QTest::newRow("-display given") << QStringList{"-display", ":3"} << ""
                                        << ""
                                        << "" << start << "";
        QTest::newRow("-style=fusion") << QStringList{"-style=fusion"} << ":0"
                                       << ""
                                       << "" << start << "";
        QTest::newRow("uninstall with a display") << QStringList{"/uninstall"} << ":0"
                                                  << ""
                                                  << "" << int(Action::Uninstall) << "";
        QTest::newRow("after --, nothing is an option") << QStringList{"--", "--bogus"} << ":0"
                                                        << ""
                                                        << "" << start << "";
    }

    // The request each command option sends to the running instance;
    // only --show starts the program when none runs.
    void commandRequests()
    {
        using CommandLine::Action;
        const QList<std::tuple<QStringList, QString, Action>> cases{
            {{"--capture"}, "capture", Action::Command},
            {{"--capture", "2"}, "capture 2", Action::Command},
            {{"--capture=3"}, "capture 3", Action::Command},
            {{"--capture", "-style=fusion"}, "capture", Action::Command},
            {{"--auto", "toggle"}, "auto toggle", Action::Command},
            {{"--auto=off"}, "auto off", Action::Command},
            {{"--remote"}, "remote", Action::Command},
            {{"--hide"}, "hide", Action::Command},
            {{"--quit"}, "quit", Action::Command},
            {{"--show"}, "show", Action::Start},
            {{}, "", Action::Start},
        };
        for (const auto& [arguments, request, action] : cases) {
            const CommandLine::Decision decision =
                CommandLine::decide(QStringList{QStringLiteral("clipstow")} + arguments,
                                    {QStringLiteral(":0"), {}, {}});
            QCOMPARE(decision.request, request);
            QCOMPARE(decision.action, action);
        }
    }

    void decision()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(QString, qpa);
        QFETCH(int, action);
        QFETCH(QString, platform);

        const CommandLine::Decision decision =
            CommandLine::decide(QStringList{QStringLiteral("clipstow")} + arguments,
                                CommandLine::Environment{display, wayland, qpa});
        QCOMPARE(int(decision.action), action);
        QCOMPARE(decision.platform, platform);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
