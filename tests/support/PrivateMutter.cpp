#include "support/PrivateMutter.h"

#include "support/PrivateSway.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace TestSupport {

namespace {

const QString RemoteDesktop = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
constexpr unsigned ShiftKeysym = 0xffe1;

} // namespace

PrivateMutter::PrivateMutter() = default;

PrivateMutter::~PrivateMutter()
{
    stop();
}

QString PrivateMutter::start()
{
    for (const char* needed : {"mutter", "Xwayland", "dbus-run-session", "wl-copy"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(needed)).isEmpty())
            return QStringLiteral("needs ") + QString::fromLatin1(needed);
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    const QString dir = m_dir->path();
    const QString found = dir + QStringLiteral("/session");

    // The command Mutter runs once it is up tells the session's addresses
    // and stays while this process lives: Mutter ends with it.
    const QString command = QStringLiteral("printf '%s\\n' \"$DISPLAY\" \"$XAUTHORITY\" "
                                           "\"$DBUS_SESSION_BUS_ADDRESS\" > \"$0.new\" && "
                                           "mv \"$0.new\" \"$0\" && "
                                           "while kill -0 \"$1\" 2>/dev/null; do sleep 1; done");
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), dir);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
    m_mutter = std::make_unique<QProcess>();
    m_mutter->setProcessEnvironment(env);
    m_mutter->setStandardOutputFile(QProcess::nullDevice());
    m_mutter->setStandardErrorFile(dir + QStringLiteral("/mutter.log"));
    // A group of its own, so that stop() reaches the bus and Xwayland too.
    m_mutter->setChildProcessModifier([] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    m_mutter->start(QStringLiteral("dbus-run-session"),
                    {QStringLiteral("--"), QStringLiteral("mutter"), QStringLiteral("--wayland"),
                     QStringLiteral("--headless"), QStringLiteral("--virtual-monitor"),
                     QStringLiteral("1280x800"), QStringLiteral("--wayland-display=wayland-mutter"),
                     QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"), command,
                     found, QString::number(QCoreApplication::applicationPid())});
    if (!m_mutter->waitForStarted())
        return QStringLiteral("mutter did not start");

    const QDeadlineTimer deadline(30000);
    QFile session(found);
    while (!session.exists()) {
        if (deadline.hasExpired() || m_mutter->state() != QProcess::Running)
            return QStringLiteral("mutter did not come up (see %1/mutter.log)").arg(dir);
        QThread::msleep(20);
    }
    if (!session.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the session's addresses");
    const QStringList lines = QString::fromLocal8Bit(session.readAll()).split(QLatin1Char('\n'));
    if (lines.size() < 3 || lines.at(0).isEmpty() || lines.at(2).isEmpty())
        return QStringLiteral("mutter started no XWayland or no bus");
    m_socket = dir + QStringLiteral("/wayland-mutter");
    m_display = lines.at(0);
    m_xauthority = lines.at(1);
    return openKeyboard();
}

// A remote-desktop session adds a virtual keyboard to the seat, which the
// seat announces once a key went through it. The session lasts as long as
// this connection to the compositor's bus.
QString PrivateMutter::openKeyboard()
{
    QFile session(m_dir->path() + QStringLiteral("/session"));
    if (!session.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the session's addresses");
    const QString address =
        QString::fromLocal8Bit(session.readAll()).section(QLatin1Char('\n'), 2, 2);
    m_busName = QStringLiteral("clipstow-mutter-%1").arg(quintptr(this));
    QDBusConnection bus = QDBusConnection::connectToBus(address, m_busName);
    if (!bus.isConnected())
        return QStringLiteral("cannot reach mutter's bus: ") + bus.lastError().message();
    const QDBusReply<QDBusObjectPath> created = bus.call(QDBusMessage::createMethodCall(
        RemoteDesktop, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), RemoteDesktop,
        QStringLiteral("CreateSession")));
    if (!created.isValid())
        return QStringLiteral("no remote-desktop session: ") + created.error().message();
    const QString path = created.value().path();
    const QString interface = RemoteDesktop + QStringLiteral(".Session");
    const auto call = [&](const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(RemoteDesktop, path, interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = bus.call(message);
        return reply.type() == QDBusMessage::ErrorMessage ? reply.errorMessage() : QString();
    };
    QString problem = call(QStringLiteral("Start"));
    for (bool pressed : {true, false})
        if (problem.isEmpty())
            problem = call(QStringLiteral("NotifyKeyboardKeysym"), {ShiftKeysym, pressed});
    if (!problem.isEmpty())
        return QStringLiteral("the remote-desktop session did not start: ") + problem;

    const QDeadlineTimer deadline(10000);
    while (!copy(QByteArray())) {
        if (deadline.hasExpired())
            return QStringLiteral("wl-copy found no keyboard on mutter's seat");
        QThread::msleep(100);
    }
    return {};
}

void PrivateMutter::stop()
{
    if (!m_busName.isEmpty())
        QDBusConnection::disconnectFromBus(m_busName);
    m_busName.clear();
    if (m_mutter && m_mutter->state() != QProcess::NotRunning) {
        ::kill(-pid_t(m_mutter->processId()), SIGTERM);
        if (!m_mutter->waitForFinished(5000)) {
            ::kill(-pid_t(m_mutter->processId()), SIGKILL);
            m_mutter->waitForFinished(5000);
        }
    }
    m_mutter.reset();
    m_socket.clear();
}

QProcessEnvironment PrivateMutter::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
    base.insert(QStringLiteral("DISPLAY"), m_display);
    base.insert(QStringLiteral("XAUTHORITY"), m_xauthority);
    return base;
}

bool PrivateMutter::copy(const QByteArray& data) const
{
    return wlCopy(environment(QProcessEnvironment::systemEnvironment()), data,
                  data.isEmpty() ? QStringList{QStringLiteral("--clear")} : QStringList{});
}

} // namespace TestSupport
