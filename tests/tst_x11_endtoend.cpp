// The built program as users run it, on a real X server with a tray host:
// settings seeded with clipstow-reg, the clipboard set by other X clients,
// clicks made with xdotool on the tray icon and the remote window, and the
// slot files checked byte for byte.
//
// Built a second time with COPIES_ON_WAYLAND set, the same story runs in a
// Wayland session (a private headless sway beside the X display): the
// clipboard is the compositor's, set by wl-copy, and the program's windows
// are on the X display, so none of them can have the compositor's focus.
#include "base/Locale.h"
#include "support/Files.h"
#include "support/PrivateSway.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "ui/AgreementDialog.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr bool OnWayland = COPIES_ON_WAYLAND;
constexpr int StartTimeoutMs = 30000;
constexpr int EventTimeoutMs = 20000;

const QString ProgramKey = QStringLiteral("HKLM\\SOFTWARE\\Orvane\\Clipstow");

struct Output
{
    int code = -1;
    QString out;
    QString err;
};

Output runTool(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

Output xdotool(const QStringList& args)
{
    return runTool(QStringLiteral("xdotool"), args);
}

// A window's absolute client rectangle and whether its parent is the root
// window, from xwininfo.
struct WindowInfo
{
    bool valid = false;
    QRect rect;
    bool topLevel = true;
};

WindowInfo windowInfo(const QString& id)
{
    const Output result = runTool(QStringLiteral("xwininfo"),
                                  {QStringLiteral("-children"), QStringLiteral("-id"), id});
    WindowInfo info;
    if (result.code != 0)
        return info;
    const Output geometry = runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    auto number = [&geometry](const char* label) {
        const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)"));
        return re.match(geometry.out).captured(1).toInt();
    };
    info.rect = QRect(number("Absolute upper-left X"), number("Absolute upper-left Y"),
                      number("Width"), number("Height"));
    info.topLevel =
        QRegularExpression(QStringLiteral("Parent window id: \\S+ \\(the root window\\)"))
            .match(result.out)
            .hasMatch();
    info.valid = geometry.code == 0 && info.rect.width() > 0;
    return info;
}

// Windows of the process, all or those named exactly `name`.
QStringList windowsOf(qint64 pid, const QString& name, bool onlyVisible)
{
    QStringList args = {QStringLiteral("search"), QStringLiteral("--all")};
    if (onlyVisible)
        args << QStringLiteral("--onlyvisible");
    args << QStringLiteral("--pid") << QString::number(pid);
    if (!name.isEmpty())
        args << QStringLiteral("--name")
             << QStringLiteral("^%1$").arg(QRegularExpression::escape(name));
    return xdotool(args).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// xdotool's --sync waits for the pointer to move, for 15 s when it is there
// already (the second click on the same spot): a step beside it first.
bool click(const QPoint& at, int button = 1, int count = 1)
{
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"),
                    QString::number(at.x() + 1), QString::number(at.y() + 1),
                    QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                    QString::number(at.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
                    QString::number(count), QStringLiteral("--delay"), QStringLiteral("120"),
                    QString::number(button)})
               .code == 0;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The whole text of a slot file after captures of `texts` in this order
// with the default stamp style: the stamp's date and time are free, every
// other byte is fixed.
QRegularExpression slotFileOf(const QStringList& texts)
{
    QString pattern = QStringLiteral("^");
    for (const QString& text : texts) {
        QString body = QRegularExpression::escape(text);
        pattern += QStringLiteral("\\r\\n\\r\\n===== [^\\r\\n]+ === [^\\r\\n]+ =====\\r\\n\\r\\n") +
                   body.replace(QStringLiteral("\\\n"), QStringLiteral("\\r\\n")) +
                   QStringLiteral("\\r\\n\\r\\n\\r\\n");
    }
    return QRegularExpression(pattern + QStringLiteral("$"));
}

bool fileHolds(const QString& path, const QStringList& texts)
{
    if (texts.isEmpty())
        return !QFile::exists(path);
    return slotFileOf(texts).match(QString::fromLatin1(fileBytes(path))).hasMatch();
}

QString printable(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return text;
}

} // namespace

// Runs a step made of several checks and ends the test at its first failure.
#define STEP(...)                                                                                  \
    do {                                                                                           \
        __VA_ARGS__;                                                                               \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

class TestX11EndToEnd final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    QProcess m_trayer;
    TestSupport::PrivateSway m_sway;
    std::unique_ptr<QProcess> m_app;
    QByteArray m_said;
    // Clipboard owners (xclip in the foreground, the multi-format helper);
    // each ends when another takes the clipboard, the rest at cleanup.
    std::vector<std::unique_ptr<QProcess>> m_owners;
    // The program's icon with auto mode on and off, as first seen.
    QString m_autoIcon;
    QString m_normalIcon;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    Output reg(const QStringList& args)
    {
        return runTool(TestSupport::builtProgram(QStringLiteral("clipstow-reg")), args, m_env);
    }

    void seed(const QString& name, const QString& type, const QString& data)
    {
        const Output result =
            reg({QStringLiteral("add"), ProgramKey, QStringLiteral("/v"), name,
                 QStringLiteral("/t"), type, QStringLiteral("/d"), data, QStringLiteral("/f")});
        QVERIFY2(result.code == 0, qPrintable(name));
    }

    QString query(const QString& name)
    {
        return reg({QStringLiteral("query"), ProgramKey, QStringLiteral("/v"), name}).out;
    }

    // Puts plain text on the clipboard from another client (X11, or the
    // compositor's with wl-copy on Wayland unless x11 is set).
    void copyText(const QString& text, bool x11 = !OnWayland)
    {
        if (!x11) {
            QVERIFY(m_sway.copy(text.toUtf8()));
            return;
        }
        auto owner = std::make_unique<QProcess>();
        owner->start(
            QStringLiteral("xclip"),
            {QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
        QVERIFY(owner->waitForStarted());
        owner->write(text.toUtf8());
        owner->closeWriteChannel();
        QProcess* started = owner.get();
        m_owners.push_back(std::move(owner));
        // Owner once it waits for requests (it says so on stderr).
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += started->readAllStandardError()).contains("Waiting"),
                                 EventTimeoutMs);
    }

    // Text marked secret the way password managers mark it.
    void copySecret(const QString& text)
    {
        auto owner = std::make_unique<QProcess>();
        owner->setProcessEnvironment(m_env);
        owner->start(QString::fromUtf8(OnWayland ? WAYLAND_OWNER : CLIPBOARD_OWNER),
                     {text, QStringLiteral("x-kde-passwordManagerHint=secret")});
        QVERIFY(owner->waitForStarted());
        QProcess* started = owner.get();
        m_owners.push_back(std::move(owner));
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += started->readAllStandardOutput()).contains("ready"),
                                 EventTimeoutMs);
    }

    // Starts the built program in the test's folder and environment.
    void launchProgram()
    {
        m_app = std::make_unique<QProcess>();
        // What it says on standard error is passed on and kept.
        m_app->setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_said.clear();
        connect(m_app.get(), &QProcess::readyReadStandardError, this, [this] {
            const QByteArray said = m_app->readAllStandardError();
            m_said += said;
            std::fwrite(said.constData(), 1, size_t(said.size()), stderr);
        });
        TestSupport::startProgram(*m_app, m_env, m_dir.path());
        QVERIFY(m_app->waitForStarted());
    }

    void startProgram()
    {
        STEP(launchProgram());
        // Start-up is through once the remote window is on screen.
        QTRY_VERIFY_WITH_TIMEOUT(!remoteWindow().isEmpty(), StartTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(trayIcon().isValid(), StartTimeoutMs);
    }

    QString remoteWindow() const
    {
        for (const QString& id : windowsOf(m_app->processId(), QStringLiteral("Clipstow"), true)) {
            const WindowInfo info = windowInfo(id);
            if (info.valid && info.topLevel && info.rect.size() == QSize(116, 24))
                return id;
        }
        return {};
    }

    // The icon's window sits inside the tray host's window.
    QRect trayIcon() const
    {
        for (const QString& id : windowsOf(m_app->processId(), QString(), false)) {
            const WindowInfo info = windowInfo(id);
            if (info.valid && !info.topLevel && info.rect.x() > 0 && info.rect.width() <= 64)
                return info.rect;
        }
        return {};
    }

    // Clicks a button of the remote window: 1 to 3 the slots, 4 the auto
    // toggle.
    void clickRemote(int button)
    {
        const QString id = remoteWindow();
        QVERIFY(!id.isEmpty());
        const QRect rect = windowInfo(id).rect;
        QVERIFY(click(rect.topLeft() + QPoint((button - 1) * 31 + 11, 12)));
    }

    // The remote window's icon, which is the program's: it shows whether
    // auto mode is on.
    QString remoteIcon() const
    {
        const QString id = remoteWindow();
        if (id.isEmpty())
            return {};
        const Output result = runTool(QStringLiteral("xprop"),
                                      {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_ICON")});
        return result.code == 0 && result.out.contains(QLatin1String("Icon (")) ? result.out
                                                                                : QString();
    }

    // Switches auto mode with the remote window's auto button and waits
    // until the program shows the other icon, so that nothing done next
    // can overtake the click.
    void toggleAuto(const QString& expectedIcon)
    {
        const QString before = remoteIcon();
        QVERIFY(!before.isEmpty());
        STEP(clickRemote(4));
        QTRY_VERIFY_WITH_TIMEOUT(remoteIcon() != before && !remoteIcon().isEmpty(), EventTimeoutMs);
        if (!expectedIcon.isEmpty())
            QCOMPARE(remoteIcon(), expectedIcon);
    }

    // Ends the program the way a user does: "E&xit" in the tray menu.
    void exitProgram()
    {
        const qint64 pid = m_app->processId();
        const QRect icon = trayIcon();
        QVERIFY(icon.isValid());
        const QDeadlineTimer deadline(EventTimeoutMs);
        bool menuOpen = false;
        while (!menuOpen && !deadline.hasExpired()) {
            QVERIFY(click(icon.center(), 3));
            // The menu is a visible window of the program beside the remote
            // window.
            for (int i = 0; i < 20 && !menuOpen; ++i) {
                QTest::qWait(100);
                for (const QString& id : windowsOf(pid, QString(), true)) {
                    const WindowInfo info = windowInfo(id);
                    if (info.valid && info.topLevel && info.rect.height() > 100)
                        menuOpen = true;
                }
            }
        }
        QVERIFY2(menuOpen, "the tray menu did not open");
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("x")}).code, 0);
        QVERIFY(m_app->waitForFinished(EventTimeoutMs));
        QCOMPARE(m_app->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_app->exitCode(), 0);
    }

    void waitForFile(const QString& name, const QStringList& texts)
    {
        const QString file = path(name);
        QTRY_VERIFY2_WITH_TIMEOUT(
            fileHolds(file, texts),
            qPrintable(name + QStringLiteral(": ") + printable(fileBytes(file))), EventTimeoutMs);
    }

    void verifyFile(const QString& name, const QStringList& texts)
    {
        const QString file = path(name);
        QVERIFY2(fileHolds(file, texts),
                 qPrintable(name + QStringLiteral(": ") + printable(fileBytes(file))));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display");
        for (const char* tool : {"xdotool", "xclip", "xwininfo"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("needs ") + QString::fromLatin1(tool)));
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
                QSKIP("needs a tray host");
            m_trayer.start(QStringLiteral("trayer"),
                           {QStringLiteral("--edge"), QStringLiteral("top"),
                            QStringLiteral("--align"), QStringLiteral("right")});
            QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), StartTimeoutMs);
        }
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).mkdir(QStringLiteral("runtime"));
        QFile::setPermissions(path(QStringLiteral("runtime")), QFileDevice::ReadOwner |
                                                                   QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("CLIPSTOW_REGISTRY"), path(QStringLiteral("registry.sqlite3")));
        // A single-instance socket of its own, away from other tests.
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // The autostart entry goes to a folder of its own.
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        if (OnWayland) {
            const QString problem = m_sway.start();
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            m_env = m_sway.environment(m_env);
        } else {
            m_env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        }

        seed(QStringLiteral("AcceptedLicense"), QStringLiteral("REG_SZ"),
             QStringLiteral("2026-01-01"));
        seed(QStringLiteral("ShowSplash"), QStringLiteral("REG_DWORD"), QStringLiteral("0"));
        seed(QStringLiteral("AShowRemote"), QStringLiteral("REG_SZ"), QStringLiteral("1"));
        for (int slot = 1; slot <= 3; ++slot)
            seed(QStringLiteral("Filename%1").arg(slot), QStringLiteral("REG_SZ"),
                 path(QStringLiteral("slot%1.txt").arg(slot)));
    }

    void cleanup()
    {
        if (m_app && m_app->state() != QProcess::NotRunning) {
            m_app->kill();
            m_app->waitForFinished(5000);
        }
        for (auto& owner : m_owners) {
            if (owner->state() != QProcess::NotRunning) {
                owner->kill();
                owner->waitForFinished(5000);
            }
        }
        m_owners.clear();
    }

    void cleanupTestCase()
    {
        if (m_trayer.state() != QProcess::NotRunning) {
            m_trayer.terminate();
            m_trayer.waitForFinished(3000);
        }
    }

    // One run from first start to exit, as a user goes through it.
    void captureSession()
    {
        // Already on the clipboard before the program starts: not captured.
        STEP(copyText(QStringLiteral("already there")));
        STEP(startProgram());
        QTRY_VERIFY_WITH_TIMEOUT(!remoteIcon().isEmpty(), EventTimeoutMs);
        m_autoIcon = remoteIcon();

        // Auto mode is on by default: a copy goes to the active slot.
        STEP(copyText(QStringLiteral("first auto")));
        STEP(waitForFile(QStringLiteral("slot1.txt"), {QStringLiteral("first auto")}));

        // Line breaks become CR LF in the file.
        STEP(copyText(QStringLiteral("line one\nline two")));
        STEP(waitForFile(QStringLiteral("slot1.txt"),
                         {QStringLiteral("first auto"), QStringLiteral("line one\nline two")}));

        // A double-click on the tray icon captures the same text once more.
        QVERIFY(click(trayIcon().center(), 1, 2));
        STEP(waitForFile(QStringLiteral("slot1.txt"),
                         {QStringLiteral("first auto"), QStringLiteral("line one\nline two"),
                          QStringLiteral("line one\nline two")}));

        // Secret text is skipped. Switching auto mode off and on again with
        // the remote window's button, and waiting to see it, makes sure the
        // program has dealt with the secret before the next copy.
        STEP(copySecret(QStringLiteral("hunter2")));
        STEP(toggleAuto(QString()));
        m_normalIcon = remoteIcon();
        STEP(toggleAuto(m_autoIcon));
        STEP(copyText(QStringLiteral("after the secret")));
        STEP(waitForFile(QStringLiteral("slot1.txt"),
                         {QStringLiteral("first auto"), QStringLiteral("line one\nline two"),
                          QStringLiteral("line one\nline two"),
                          QStringLiteral("after the secret")}));

        // The remote window's auto button switches auto mode off; a slot
        // button then captures into its own slot, and copies are not
        // captured.
        STEP(toggleAuto(m_normalIcon));
        STEP(copyText(QStringLiteral("for slot three")));
        STEP(clickRemote(3));
        STEP(waitForFile(QStringLiteral("slot3.txt"), {QStringLiteral("for slot three")}));
        STEP(
            verifyFile(QStringLiteral("slot1.txt"),
                       {QStringLiteral("first auto"), QStringLiteral("line one\nline two"),
                        QStringLiteral("line one\nline two"), QStringLiteral("after the secret")}));
        STEP(verifyFile(QStringLiteral("slot2.txt"), {}));

        // Leaving: auto mode off is remembered.
        STEP(exitProgram());
        QVERIFY2(query(QStringLiteral("Auto")).contains(QLatin1String("REG_DWORD    0x0")),
                 qPrintable(query(QStringLiteral("Auto"))));
        QVERIFY(query(QStringLiteral("ActiveFile")).contains(QLatin1String("0x3")));
        QVERIFY(query(QStringLiteral("ShowRemote")).contains(QLatin1String("0x1")));
    }

    // "AutoOn" "R" brings back the state of the last exit.
    void autoModeRestored()
    {
        if (m_autoIcon.isEmpty() || m_normalIcon.isEmpty())
            QSKIP("needs the session before it");
        // Off, as the last session left it: a copy is not captured, which
        // the manual capture from slot 2's button that follows shows.
        STEP(startProgram());
        QTRY_COMPARE_WITH_TIMEOUT(remoteIcon(), m_normalIcon, EventTimeoutMs);
        STEP(copyText(QStringLiteral("while off")));
        STEP(clickRemote(2));
        STEP(waitForFile(QStringLiteral("slot2.txt"), {QStringLiteral("while off")}));
        STEP(verifyFile(QStringLiteral("slot3.txt"), {QStringLiteral("for slot three")}));

        // On again with the remote toggle; slot 2 is active now.
        STEP(toggleAuto(m_autoIcon));
        STEP(copyText(QStringLiteral("back on")));
        STEP(waitForFile(QStringLiteral("slot2.txt"),
                         {QStringLiteral("while off"), QStringLiteral("back on")}));
        STEP(exitProgram());
        QVERIFY2(query(QStringLiteral("Auto")).contains(QLatin1String("REG_DWORD    0x1")),
                 qPrintable(query(QStringLiteral("Auto"))));

        // The next start is in auto mode again, into slot 2.
        STEP(startProgram());
        QTRY_COMPARE_WITH_TIMEOUT(remoteIcon(), m_autoIcon, EventTimeoutMs);
        STEP(copyText(QStringLiteral("restored")));
        STEP(waitForFile(
            QStringLiteral("slot2.txt"),
            {QStringLiteral("while off"), QStringLiteral("back on"), QStringLiteral("restored")}));
        STEP(
            verifyFile(QStringLiteral("slot1.txt"),
                       {QStringLiteral("first auto"), QStringLiteral("line one\nline two"),
                        QStringLiteral("line one\nline two"), QStringLiteral("after the secret")}));

        // Ended by the session (SIGTERM at logout): in order, the settings
        // written as at Exit.
        QCOMPARE(reg({QStringLiteral("delete"), ProgramKey, QStringLiteral("/v"),
                      QStringLiteral("Auto"), QStringLiteral("/f")})
                     .code,
                 0);
        m_app->terminate();
        QVERIFY(m_app->waitForFinished(EventTimeoutMs));
        QCOMPARE(m_app->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_app->exitCode(), 0);
        QVERIFY2(query(QStringLiteral("Auto")).contains(QLatin1String("REG_DWORD    0x1")),
                 qPrintable(query(QStringLiteral("Auto"))));
    }
    // On Wayland, 20 copies 20 ms apart while no window of the program has
    // the compositor's focus: each is captured once. The compositor then
    // goes away: the program goes on through the X11 clipboard, says so
    // once, and ends as usual.
    void waylandBurstAndCompositorGone()
    {
        if (!OnWayland)
            QSKIP("copies made on Wayland");
        const QString file = path(QStringLiteral("burst.txt"));
        seed(QStringLiteral("Filename1"), QStringLiteral("REG_SZ"), file);
        seed(QStringLiteral("ActiveFile"), QStringLiteral("REG_DWORD"), QStringLiteral("0"));
        seed(QStringLiteral("Auto"), QStringLiteral("REG_DWORD"), QStringLiteral("1"));
        STEP(startProgram());
        const QStringList expected = m_sway.copyBurst(20, QStringLiteral("burst "));
        QCOMPARE(expected.size(), 20);
        QStringList texts;
        QTRY_COMPARE_WITH_TIMEOUT((texts = TestSupport::capturedTexts(file)).size(), 20,
                                  EventTimeoutMs);
        texts.sort();
        QCOMPARE(texts, expected);

        m_sway.stop();
        const QByteArray told = "copies are now seen as on X11";
        QTRY_VERIFY_WITH_TIMEOUT(m_said.contains(told), EventTimeoutMs);
        STEP(copyText(QStringLiteral("through X11"), true));
        QTRY_COMPARE_WITH_TIMEOUT(TestSupport::capturedTexts(file).value(20),
                                  QStringLiteral("through X11"), EventTimeoutMs);
        QCOMPARE(m_said.count(told), 1);
        STEP(exitProgram());
    }

    // F9 opens the Preferences dialog; three values changed on three pages
    // with their accelerators are stored by OK, and the next capture stamps
    // the long date.
    void preferencesTakeEffect()
    {
        seed(QStringLiteral("AutoHide"), QStringLiteral("REG_DWORD"), QStringLiteral("0"));
        STEP(startProgram());
        QStringList main;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(main = windowsOf(m_app->processId(), QStringLiteral("Clipstow 3"), true)).isEmpty(),
            EventTimeoutMs);
        QCOMPARE(
            xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), main.first()}).code,
            0);
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("F9")}).code, 0);
        const QString title = QStringLiteral("Preferences");
        QTRY_VERIFY_WITH_TIMEOUT(!windowsOf(m_app->processId(), title, true).isEmpty(),
                                 EventTimeoutMs);
        // "&Confirmation boxes" off; "&Date Style" page, "Li&ke this:" (the
        // long date); ""&Auto Clipstow" Feature" page, "Always"O&ff""; OK.
        QCOMPARE(
            xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("300"),
                     QStringLiteral("alt+c"), QStringLiteral("alt+d"), QStringLiteral("alt+k"),
                     QStringLiteral("alt+a"), QStringLiteral("alt+f"), QStringLiteral("Return")})
                .code,
            0);
        QTRY_VERIFY_WITH_TIMEOUT(windowsOf(m_app->processId(), title, true).isEmpty(),
                                 EventTimeoutMs);
        for (const char* stored :
             {"ConfirmClr|REG_DWORD    0x0", "DateStyle|REG_DWORD    0x2", "AutoOn|REG_SZ    0"}) {
            const QStringList pair = QString::fromLatin1(stored).split(QLatin1Char('|'));
            QVERIFY2(query(pair[0]).contains(pair[1]), qPrintable(query(pair[0])));
        }

        STEP(copyText(QStringLiteral("after the preferences")));
        const QRegularExpression stamp(QStringLiteral(
            "===== ([^\\r\\n]+) === [^\\r\\n]+ =====\\r\\n\\r\\nafter the preferences\\r\\n"));
        QRegularExpressionMatch found;
        QTRY_VERIFY_WITH_TIMEOUT(
            (found = stamp.match(QString::fromLatin1(fileBytes(path(QStringLiteral("slot1.txt"))) +
                                                     fileBytes(path(QStringLiteral("slot2.txt"))))))
                .hasMatch(),
            EventTimeoutMs);
        QCOMPARE(found.captured(1), longDateText(QDate::currentDate(), QLocale::system()));
        STEP(exitProgram());
    }
    // A first start from an empty registry: the agreement comes before any
    // other window. Declining ends the program with nothing captured or
    // stored but the answer, and the next start asks again; accepting lets
    // start-up go on through the splash to capturing.
    void firstRunAgreement()
    {
        const QProcessEnvironment returningUser = m_env;
        const auto restore = qScopeGuard([&] { m_env = returningUser; });
        m_env.insert(QStringLiteral("CLIPSTOW_REGISTRY"), path(QStringLiteral("first.sqlite3")));
        const QString firstSlot = path(QStringLiteral("Default1.txt"));
        // The same dialog in this process says where its buttons are.
        TestSupport::ScopedRegistry scratch;
        const AgreementDialog sample(scratch.settings(), QString());
        const auto agreementShown = [this] {
            return !windowsOf(m_app->processId(), QStringLiteral("Clipstow License Agreement"),
                              true)
                        .isEmpty();
        };

        // Regression: a command waited as long as the agreement was open,
        // and an end signal left the program running. The command is told
        // at once; the signal ends the program with nothing accepted.
        STEP(launchProgram());
        QTRY_VERIFY_WITH_TIMEOUT(agreementShown(), StartTimeoutMs);
        const Output command =
            runTool(TestSupport::builtProgram(QStringLiteral("clipstow")), {"--auto", "on"}, m_env);
        QCOMPARE(command.code, 1);
        QCOMPARE(command.err, QStringLiteral("Clipstow is waiting for its licence agreement\n"));
        m_app->terminate();
        QVERIFY(m_app->waitForFinished(EventTimeoutMs));
        QCOMPARE(m_app->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_app->exitCode(), 0);
        const QString notAccepted = query(QStringLiteral("AcceptedLicense"));
        QVERIFY2(notAccepted.isEmpty() || notAccepted.contains(QLatin1String("Never")),
                 qPrintable(notAccepted));
        QVERIFY(!QFile::exists(firstSlot));

        for (const bool accept : {false, true}) {
            STEP(launchProgram());
            const qint64 pid = m_app->processId();
            const QString title = QStringLiteral("Clipstow License Agreement");
            QTRY_VERIFY_WITH_TIMEOUT(!windowsOf(pid, title, true).isEmpty(), StartTimeoutMs);
            const WindowInfo agreement = windowInfo(windowsOf(pid, title, true).constFirst());
            QCOMPARE(agreement.rect.size(), sample.size());
            QVERIFY(windowsOf(pid, QStringLiteral("Clipstow 3"), true).isEmpty());
            QVERIFY(remoteWindow().isEmpty());
            if (accept) {
                // A second start meanwhile hands over and ends; the main
                // window it asks for shows once start-up is through.
                QProcess second;
                TestSupport::startProgram(second, m_env, m_dir.path());
                QVERIFY(second.waitForFinished(EventTimeoutMs));
                QCOMPARE(second.exitCode(), 0);
            }
            const QPushButton* button = accept ? sample.acceptButton() : sample.declineButton();
            QVERIFY(click(agreement.rect.topLeft() + button->geometry().center()));
            if (accept)
                break;
            QVERIFY(m_app->waitForFinished(EventTimeoutMs));
            QCOMPARE(m_app->exitStatus(), QProcess::NormalExit);
            QCOMPARE(m_app->exitCode(), 0);
            QVERIFY(query(QStringLiteral("AcceptedLicense")).contains(QLatin1String("Never")));
            QVERIFY(query(QStringLiteral("Path")).isEmpty());
            QVERIFY(!QFile::exists(firstSlot));
        }

        // Accepted: the splash shows and closes by itself, then start-up
        // goes on in auto mode.
        const QString splash = QStringLiteral("Clipstow Splash");
        QTRY_VERIFY_WITH_TIMEOUT(!windowsOf(m_app->processId(), splash, true).isEmpty(),
                                 EventTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!remoteWindow().isEmpty(), StartTimeoutMs);
        QVERIFY(windowsOf(m_app->processId(), splash, true).isEmpty());
        const QString accepted = query(QStringLiteral("AcceptedLicense"));
        QVERIFY2(accepted.contains(QLatin1String("REG_SZ")) &&
                     !accepted.contains(QLatin1String("Never")),
                 qPrintable(accepted));
        STEP(copyText(QStringLiteral("after the agreement")));
        STEP(waitForFile(QStringLiteral("Default1.txt"), {QStringLiteral("after the agreement")}));
        QTRY_VERIFY_WITH_TIMEOUT(trayIcon().isValid(), StartTimeoutMs);
        QVERIFY(!windowsOf(m_app->processId(), QStringLiteral("Clipstow 3"), true).isEmpty());
        STEP(exitProgram());
    }

    // Ctrl+T with a named editor: the slot is saved first, and its file,
    // whose name has blanks, reaches the editor as one argument. Auto mode,
    // on at start, is switched off first as "AutoOff" asks.
    void editInTextEditor()
    {
        const QString slotFile = path(QStringLiteral("slot one.txt"));
        const QString editor = path(QStringLiteral("record editor.sh"));
        QFile script(editor);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$0.args\"\n"
                     "cat \"$1\" > \"$0.saw\"\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString editorKey = ProgramKey + QStringLiteral("\\Editor");
        for (const QStringList& value : {QStringList{editorKey, "DefinEd", "REG_DWORD", "1"},
                                         {editorKey, "Editor", "REG_SZ", editor},
                                         {ProgramKey, "Filename1", "REG_SZ", slotFile},
                                         {ProgramKey, "ActiveFile", "REG_DWORD", "0"},
                                         {ProgramKey, "AutoOff", "REG_DWORD", "1"},
                                         {ProgramKey, "AutoOn", "REG_SZ", "1"},
                                         {ProgramKey, "AutoHide", "REG_DWORD", "0"}})
            QCOMPARE(
                reg({"add", value[0], "/v", value[1], "/t", value[2], "/d", value[3], "/f"}).code,
                0);

        STEP(startProgram());
        QString mainWindow;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(mainWindow =
                  windowsOf(m_app->processId(), QStringLiteral("Clipstow 3"), true).value(0))
                 .isEmpty(),
            EventTimeoutMs);
        // Type into the slot's editor (the middle of the window), unsaved.
        const WindowInfo info = windowInfo(mainWindow);
        QCOMPARE(xdotool({"windowfocus", "--sync", mainWindow}).code, 0);
        QVERIFY(click(info.rect.center()));
        QCOMPARE(xdotool({"type", "--delay", "30", "typed here"}).code, 0);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(slotFile));
        QCOMPARE(xdotool({"key", "ctrl+t"}).code, 0);

        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(editor + QStringLiteral(".args")),
                                  QByteArray("[" + slotFile.toUtf8() + "]\n"), EventTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(editor + QStringLiteral(".saw")),
                                  QByteArray("typed here"), EventTimeoutMs);
        QCOMPARE(fileBytes(slotFile), QByteArray("typed here"));
        STEP(exitProgram());
        QVERIFY2(query(QStringLiteral("Auto")).contains(QLatin1String("REG_DWORD    0x0")),
                 qPrintable(query(QStringLiteral("Auto"))));
    }

    // What a desktop shortcut runs: the running program carries out each
    // command and answers; with none running the command says so.
    void commandsFromTheCommandLine()
    {
        const QString slotFile = path(QStringLiteral("by command.txt"));
        for (const QStringList& value :
             {QStringList{"Filename2", "REG_SZ", slotFile}, {"AutoOn", "REG_SZ", "1"}})
            QCOMPARE(
                reg({"add", ProgramKey, "/v", value[0], "/t", value[1], "/d", value[2], "/f"}).code,
                0);
        STEP(startProgram());
        const auto clipstow = [this](const QStringList& args) {
            return runTool(TestSupport::builtProgram(QStringLiteral("clipstow")), args, m_env);
        };
        QTRY_VERIFY_WITH_TIMEOUT(!remoteIcon().isEmpty(), EventTimeoutMs);
        const QString autoIcon = remoteIcon();
        QCOMPARE(clipstow({"--auto", "toggle"}).out, QStringLiteral("Auto mode is off\n"));
        QTRY_VERIFY_WITH_TIMEOUT(remoteIcon() != autoIcon && !remoteIcon().isEmpty(),
                                 EventTimeoutMs);
        // Regression: a command to a stopped Clipstow never returned (one
        // process left per key press). It gives up after its time limit.
        QCOMPARE(::kill(pid_t(m_app->processId()), SIGSTOP), 0);
        const Output stopped = clipstow({"--auto", "off"});
        QCOMPARE(::kill(pid_t(m_app->processId()), SIGCONT), 0);
        QCOMPARE(stopped.code, 1);
        QCOMPARE(stopped.err, QStringLiteral("Clipstow did not answer within 10 seconds\n"));
        STEP(copyText(QStringLiteral("by command")));
        const Output captured = clipstow({"--capture", "2"});
        QCOMPARE(captured.code, 0);
        QCOMPARE(captured.out, QStringLiteral("Captured into slot 2 (%1)\n").arg(slotFile));
        STEP(waitForFile(QStringLiteral("by command.txt"), {QStringLiteral("by command")}));

        QCOMPARE(clipstow({"--quit"}).out, QStringLiteral("Clipstow has ended\n"));
        QVERIFY(m_app->waitForFinished(EventTimeoutMs));
        QCOMPARE(m_app->exitCode(), 0);
        QVERIFY2(query(QStringLiteral("Auto")).contains(QLatin1String("REG_DWORD    0x0")),
                 qPrintable(query(QStringLiteral("Auto"))));
        QCOMPARE(clipstow({"--capture"}).code, 1);
        // No file dialog was used: the toolkit kept no settings of its own.
        QVERIFY(!QFile::exists(path(QStringLiteral("config/QtProject.conf"))));
    }
};

CLIPSTOW_TEST_MAIN(TestX11EndToEnd)
#include "tst_x11_endtoend.moc"
