// The single instance's listening socket on POSIX systems: a Unix domain
// socket in the user's private folder.
#include "app/SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// How long taking connections pauses after the system refused one.
constexpr int AcceptRetryMs = 200;

} // namespace

SingleInstance::~SingleInstance()
{
    if (m_listening < 0)
        return;
    delete m_incoming;
    ::close(m_listening);
    ::unlink(QFile::encodeName(socketPath()).constData());
}

QString SingleInstance::userKey()
{
    return QString::number(::getuid());
}

QString SingleInstance::socketPath() const
{
    return m_basePath.isEmpty() ? QString() : m_basePath + QStringLiteral(".socket");
}

bool SingleInstance::listen()
{
    const QByteArray path = QFile::encodeName(socketPath());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listening < 0)
        return false;
    // A socket left by a process that ended without removing it. The
    // folder is the user's alone, so only the user opens the socket; its
    // own mode says so as well.
    ::unlink(path.constData());
    if (::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.constData(), 0600) != 0 || ::listen(listening, SOMAXCONN) != 0) {
        ::close(listening);
        return false;
    }
    m_listening = listening;
    m_incoming = new QSocketNotifier(listening, QSocketNotifier::Read, this);
    connect(m_incoming, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    m_retry->setInterval(AcceptRetryMs);
    connect(m_retry, &QTimer::timeout, this, &SingleInstance::acceptConnections);
    m_evict = new QTimer(this);
    m_evict->setSingleShot(true);
    m_evict->setInterval(IdleEvictMs);
    connect(m_evict, &QTimer::timeout, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    for (;;) {
        // Full: an idle connection gives its place to one that waits.
        if (m_open >= MaxConnections && !(connectionWaiting() && evictIdle()))
            break;
        const int connection = ::accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                m_incoming->setEnabled(true);
            else // out of file descriptors or memory: the senders wait meanwhile
                acceptLater();
            return;
        }
        auto* socket = new QLocalSocket(this);
        if (!socket->setSocketDescriptor(connection)) {
            ::close(connection);
            delete socket;
            acceptLater();
            return;
        }
        take(socket);
    }
    // Full: the next ones wait in the system's queue until one closes, or
    // an idle one can be closed for them.
    m_incoming->setEnabled(false);
    if (connectionWaiting())
        m_evict->start();
}

bool SingleInstance::connectionWaiting() const
{
    pollfd listening{m_listening, POLLIN, 0};
    return ::poll(&listening, 1, 0) == 1 && (listening.revents & POLLIN) != 0;
}

void SingleInstance::acceptLater()
{
    m_incoming->setEnabled(false);
    m_retry->start();
}

void SingleInstance::resumeAccepting()
{
    if (!m_retry->isActive())
        m_incoming->setEnabled(true);
}

bool SingleInstance::requestWaiting(QLocalSocket& socket)
{
    int unread = 0;
    return ::ioctl(int(socket.socketDescriptor()), FIONREAD, &unread) == 0 && unread > 0;
}

bool SingleInstance::processRuns(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}
