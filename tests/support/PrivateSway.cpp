#include "support/PrivateSway.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <cstring>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace TestSupport {

namespace {

bool accepts(const QString& socketPath)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    if (size_t(path.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool connected =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return connected;
}

} // namespace

PrivateSway::PrivateSway() = default;

PrivateSway::~PrivateSway()
{
    stop();
}

QString PrivateSway::start()
{
    for (const char* needed : {"sway", "wl-copy", "setpriv"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(needed)).isEmpty())
            return QStringLiteral("needs ") + QString::fromLatin1(needed);
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    const QString dir = m_dir->path();
    QFile config(dir + QStringLiteral("/config"));
    if (!config.open(QIODevice::WriteOnly) || config.write("xwayland disable\n") < 0)
        return QStringLiteral("cannot write the sway configuration");
    config.close();

    QStringList command{QStringLiteral("sway"), QStringLiteral("-c"), config.fileName()};
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody ||
            ::chown(QFile::encodeName(dir).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
            return QStringLiteral("cannot give the runtime folder to nobody");
        command =
            QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                        QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                        QStringLiteral("--clear-groups"),
                        // A test that crashes takes its compositor along.
                        QStringLiteral("--pdeathsig=TERM")} +
            command;
    }
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), dir);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    m_sway = std::make_unique<QProcess>();
    m_sway->setProcessEnvironment(env);
    m_sway->setStandardOutputFile(QProcess::nullDevice());
    m_sway->setStandardErrorFile(dir + QStringLiteral("/sway.log"));
    m_sway->start(command.first(), command.mid(1));
    if (!m_sway->waitForStarted())
        return QStringLiteral("sway did not start");

    // Ready once its socket takes connections (within about 100 ms).
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_sway->state() == QProcess::Running) {
        const QStringList sockets =
            QDir(dir).entryList({QStringLiteral("wayland-*")}, QDir::System | QDir::Files);
        for (const QString& name : sockets) {
            const QString path = dir + QLatin1Char('/') + name;
            if (!name.endsWith(QLatin1String(".lock")) && accepts(path)) {
                m_socket = path;
                return {};
            }
        }
        QThread::msleep(10);
    }
    return QStringLiteral("sway did not open its socket");
}

void PrivateSway::stop()
{
    if (m_sway && m_sway->state() != QProcess::NotRunning) {
        m_sway->terminate();
        if (!m_sway->waitForFinished(5000)) {
            m_sway->kill();
            m_sway->waitForFinished(5000);
        }
    }
    m_sway.reset();
    m_socket.clear();
}

QProcessEnvironment PrivateSway::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
    return base;
}

void PrivateSway::enter() const
{
    qputenv("WAYLAND_DISPLAY", QFile::encodeName(m_socket));
}

bool PrivateSway::copy(const QByteArray& data, const QStringList& arguments) const
{
    return wlCopy(environment(QProcessEnvironment::systemEnvironment()), data, arguments);
}

QStringList PrivateSway::copyBurst(int count, const QString& prefix) const
{
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        QProcess copy;
        copy.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
        copy.setProgram(QStringLiteral("wl-copy"));
        copy.setArguments({prefix + QString::number(i)});
        if (!copy.startDetached())
            return {};
        texts.append(copy.arguments().first());
        QTest::qWait(20);
    }
    texts.sort();
    return texts;
}

bool wlCopy(const QProcessEnvironment& env, const QByteArray& data, const QStringList& arguments)
{
    // wl-copy returns once the compositor has its selection.
    QProcess copy;
    copy.setProcessEnvironment(env);
    copy.setStandardOutputFile(QProcess::nullDevice());
    copy.start(QStringLiteral("wl-copy"), arguments);
    if (!copy.waitForStarted())
        return false;
    if (!data.isEmpty())
        copy.write(data);
    copy.closeWriteChannel();
    return copy.waitForFinished(30000) && copy.exitStatus() == QProcess::NormalExit &&
           copy.exitCode() == 0;
}

QString startHeadlessWeston(QProcess& weston, const QString& runtimeDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    weston.setProcessEnvironment(env);
    weston.setStandardErrorFile(QProcess::nullDevice());
    weston.start(QStringLiteral("weston"),
                 {QStringLiteral("--backend=headless-backend.so"),
                  QStringLiteral("--socket=wayland-test"), QStringLiteral("--idle-time=0")});
    if (!weston.waitForStarted())
        return {};
    const QString socket = runtimeDir + QStringLiteral("/wayland-test");
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && weston.state() == QProcess::Running) {
        if (accepts(socket))
            return socket;
        QThread::msleep(10);
    }
    return {};
}

} // namespace TestSupport
