#include "support/PrivateDesktop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

namespace TestSupport {

namespace {

constexpr int ReadyTimeoutMs = 20000;

// Polls until ready() holds or the time is up.
template <typename Ready> bool waitFor(Ready ready)
{
    const QDeadlineTimer deadline(ReadyTimeoutMs);
    while (!deadline.hasExpired()) {
        if (ready())
            return true;
        QThread::msleep(50);
    }
    return false;
}

} // namespace

PrivateDesktop::PrivateDesktop() = default;

PrivateDesktop::~PrivateDesktop()
{
    // The tray host and the window manager first, the display last.
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000)) {
            (*it)->kill();
            (*it)->waitForFinished(3000);
        }
    }
}

QProcess& PrivateDesktop::launch(const QString& program, const QStringList& args)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!m_display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), m_display);
    process->setProcessEnvironment(env);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(program, args);
    m_processes.push_back(std::move(process));
    return *m_processes.back();
}

QString PrivateDesktop::start()
{
    for (const char* needed : {"Xvfb", "openbox", "trayer", "xdotool", "xprop", "xwininfo"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(needed)).isEmpty())
            return QStringLiteral("needs ") + QString::fromLatin1(needed);

    // A display number nobody uses.
    for (int attempt = 0; attempt < 50 && m_display.isEmpty(); ++attempt) {
        const int number = 300 + QRandomGenerator::global()->bounded(600);
        if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) &&
            !QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            m_display = QStringLiteral(":%1").arg(number);
    }
    if (m_display.isEmpty())
        return QStringLiteral("no free display number");
    const QString number = m_display.mid(1);
    QProcess& server =
        launch(QStringLiteral("Xvfb"),
               {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server.waitForStarted() ||
        !waitFor([&] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X") + number); }))
        return QStringLiteral("Xvfb did not start");

    launch(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!waitFor([this] {
            return tool(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .contains(QLatin1String("window id"));
        }))
        return QStringLiteral("openbox did not start");

    launch(QStringLiteral("trayer"),
           {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
            QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
            QStringLiteral("--height"), QStringLiteral("24")});
    if (!waitFor([this] {
            return !tool(QStringLiteral("xdotool"),
                         {QStringLiteral("search"), QStringLiteral("--class"),
                          QStringLiteral("trayer")})
                        .isEmpty();
        }))
        return QStringLiteral("trayer did not start");
    return {};
}

QProcessEnvironment PrivateDesktop::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DISPLAY"), m_display);
    return base;
}

QString PrivateDesktop::tool(const QString& program, const QStringList& args, int* exitCode) const
{
    QProcess process;
    process.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    process.start(program, args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (exitCode)
        *exitCode = code;
    return code == 0 ? QString::fromLocal8Bit(process.readAllStandardOutput()) : QString();
}

QStringList PrivateDesktop::windows(qint64 pid, const QString& name) const
{
    QStringList args = {QStringLiteral("search"), QStringLiteral("--all"),
                        QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                        QString::number(pid)};
    if (!name.isEmpty())
        args << QStringLiteral("--name")
             << QStringLiteral("^%1$").arg(QRegularExpression::escape(name));
    return tool(QStringLiteral("xdotool"), args).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QRect PrivateDesktop::frame(const QString& id) const
{
    const QString info = tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    auto number = [&info](const char* label) {
        const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)"));
        return re.match(info).captured(1).toInt();
    };
    const QRect client(number("Absolute upper-left X"), number("Absolute upper-left Y"),
                       number("Width"), number("Height"));
    if (client.width() <= 0)
        return {};
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"
    const QString extents = tool(QStringLiteral("xprop"),
                                 {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extents);
    if (!m.hasMatch())
        return client;
    return client.marginsAdded(QMargins(m.captured(1).toInt(), m.captured(3).toInt(),
                                        m.captured(2).toInt(), m.captured(4).toInt()));
}

bool PrivateDesktop::click(const QPoint& at, int button) const
{
    // xdotool's --sync waits for the pointer to move, for 15 s when it is
    // there already (the second click on the same spot): a step beside it
    // first.
    int code = -1;
    tool(QStringLiteral("xdotool"),
         {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x() + 1),
          QString::number(at.y() + 1), QStringLiteral("mousemove"), QStringLiteral("--sync"),
          QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
          QString::number(button)},
         &code);
    return code == 0;
}

bool PrivateDesktop::exitFromTray(qint64 pid) const
{
    const auto shownWindows = [&] {
        return tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--all"),
                                                QStringLiteral("--onlyvisible"),
                                                QStringLiteral("--pid"), QString::number(pid)})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    // The icon is the program's small window inside the tray host's; it
    // may take a moment to be embedded.
    QRect icon;
    QStringList before;
    waitFor([&] {
        before = shownWindows();
        for (const QString& id : before) {
            const QRect rect = frame(id);
            if (rect.isValid() && rect.width() <= 64 && rect.x() > 0)
                icon = rect;
        }
        return icon.isValid();
    });
    if (!icon.isValid() || !click(icon.center(), 3))
        return false;
    // The menu is a window of the program's that was not there before.
    if (!waitFor([&] {
            const QStringList now = shownWindows();
            return std::any_of(now.begin(), now.end(),
                               [&](const QString& id) { return !before.contains(id); });
        }))
        return false;
    int code = -1;
    tool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("x")}, &code);
    return code == 0;
}

} // namespace TestSupport
