// The single instance's listening end on Windows: a named pipe, which only
// the user's own processes may open (its access list names the user alone).
// Pipes share one name space for the whole machine, so the name holds the
// user and the desktop session.
#include "app/SingleInstance.h"

#include "platform/RuntimeFolder.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <windows.h>

SingleInstance::~SingleInstance() = default;

QString SingleInstance::userKey()
{
    wchar_t name[257];
    DWORD length = DWORD(std::size(name));
    const QString user = GetUserNameW(name, &length) && length > 0
                             ? QString::fromWCharArray(name, int(length - 1))
                             : QStringLiteral("user");
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return safeForFileName(user) + QLatin1Char('-') + QString::number(session);
}

QString SingleInstance::socketPath() const
{
    return m_basePath.isEmpty() ? QString() : QFileInfo(m_basePath).fileName();
}

bool SingleInstance::listen()
{
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    server->setMaxPendingConnections(MaxConnections);
    if (!server->listen(socketPath())) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    m_evict = new QTimer(this);
    m_evict->setSingleShot(true);
    m_evict->setInterval(IdleEvictMs);
    connect(m_evict, &QTimer::timeout, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    while (m_server->hasPendingConnections()) {
        // Full: an idle connection gives its place to one that waits.
        if (m_open >= MaxConnections && !evictIdle()) {
            m_evict->start();
            return;
        }
        take(m_server->nextPendingConnection());
    }
}

bool SingleInstance::connectionWaiting() const
{
    return m_server && m_server->hasPendingConnections();
}

void SingleInstance::acceptLater()
{
    m_evict->start();
}

void SingleInstance::resumeAccepting()
{
    if (connectionWaiting())
        QTimer::singleShot(0, this, &SingleInstance::acceptConnections);
}

bool SingleInstance::requestWaiting(QLocalSocket& socket)
{
    return socket.bytesAvailable() > 0;
}

bool SingleInstance::processRuns(qint64 pid)
{
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}
