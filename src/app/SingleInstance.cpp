#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {

const QByteArray ShowRequest = "show\n";

QString safeForFileName(const QString& text)
{
    QString out;
    for (QChar c : text)
        out += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('.') ||
                       c == QLatin1Char('-')
                   ? c
                   : QLatin1Char('_');
    return out;
}

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    m_basePath = QDir(dir).filePath(name);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultName()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("nodisplay");
    return QStringLiteral("clipstow-%1-%2").arg(::getuid()).arg(safeForFileName(display));
}

QString SingleInstance::socketPath() const
{
    return m_basePath + QStringLiteral(".socket");
}

bool SingleInstance::claim()
{
    // The lock decides; a lock left by a process that no longer runs is
    // taken over.
    m_lock = std::make_unique<QLockFile>(m_basePath + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return false;
    }
    // A socket left by a process that ended without closing it.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    // Without the socket this process still runs alone; a later start then
    // only fails to bring its window forward.
    m_server->listen(socketPath());
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine(64) == ShowRequest)
                    Q_EMIT activationRequested();
            }
            // Nothing but short requests is expected.
            if (socket->bytesAvailable() > 64)
                socket->abort();
        });
    }
}

bool SingleInstance::activateRunning(int timeoutMs)
{
    // The running instance may still be starting; try until the deadline.
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
            socket.write(ShowRequest);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}
