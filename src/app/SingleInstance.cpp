#include "app/SingleInstance.h"

#include "platform/RuntimeFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

const QByteArray ShowRequest = "show\n";
// Sent before the answer when the instance asks its user first.
const QByteArray AskingUserLine = "+ asking\n";

// An answer is one line: "0 " or "1 " (the sender's exit status), then the
// text, its line breaks escaped.
QByteArray answerLine(bool done, const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return (done ? "0 " : "1 ") + escaped.toUtf8() + '\n';
}

SingleInstance::Answer parseAnswer(const QByteArray& line)
{
    using Outcome = SingleInstance::Answer::Outcome;
    if (line.size() < 3 || !line.endsWith('\n') || line.at(1) != ' ' ||
        (line.at(0) != '0' && line.at(0) != '1'))
        return {Outcome::NoAnswer, {}};
    const QString escaped = QString::fromUtf8(line.mid(2, line.size() - 3));
    QString text;
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        if (escaped.at(i) == QLatin1Char('\\') && i + 1 < escaped.size()) {
            ++i;
            text += escaped.at(i) == QLatin1Char('n') ? QLatin1Char('\n') : escaped.at(i);
        } else {
            text += escaped.at(i);
        }
    }
    return {line.at(0) == '0' ? Outcome::Done : Outcome::Failed, text};
}

} // namespace

InstanceRequest::InstanceRequest(QString text, QLocalSocket* socket, QObject* parent)
    : QObject(parent), m_text(std::move(text)), m_socket(socket)
{
}

void InstanceRequest::answer(bool done, const QString& text)
{
    if (m_answered)
        return;
    m_answered = true;
    if (!m_socket || m_socket->state() != QLocalSocket::ConnectedState)
        return;
    m_socket->write(answerLine(done, text));
    // Written before anything else runs: the answer to "quit" must leave
    // before the program ends.
    m_socket->waitForBytesWritten(1000);
    m_socket->disconnectFromServer();
}

void InstanceRequest::tellAskingUser()
{
    if (m_answered || !m_socket || m_socket->state() != QLocalSocket::ConnectedState)
        return;
    m_socket->write(AskingUserLine);
    m_socket->flush();
}

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    const QString folder = privateRuntimeFolder(&m_problem);
    if (!folder.isEmpty())
        m_basePath = QDir(folder).filePath(name);
}

QString SingleInstance::displayKey(const QString& display)
{
    // [protocol/]host:number[.screen]
    QString rest = display.trimmed();
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0 && slash < colon)
        rest = rest.mid(slash + 1);
    const qsizetype split = rest.lastIndexOf(QLatin1Char(':'));
    if (split < 0)
        return display;
    bool ok = false;
    const uint number = rest.mid(split + 1).section(QLatin1Char('.'), 0, 0).toUInt(&ok);
    if (!ok)
        return display;
    QString host = rest.left(split).toLower();
    static const QStringList thisMachine{QString(), QStringLiteral("unix"),
                                         QStringLiteral("localhost"), QStringLiteral("127.0.0.1"),
                                         QStringLiteral("::1")};
    if (thisMachine.contains(host) || host == QSysInfo::machineHostName().toLower())
        host.clear();
    return host + QLatin1Char(':') + QString::number(number);
}

QString SingleInstance::defaultName()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (!display.isEmpty())
        display = displayKey(display);
    else
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("nodisplay");
    return QStringLiteral("clipstow-%1-%2").arg(userKey(), safeForFileName(display));
}

bool SingleInstance::runUnguarded(const QString& problem)
{
    m_status = Status::Unguarded;
    m_problem = tr("Clipstow cannot make sure that it runs only once on this display (%1); it "
                   "starts anyway.")
                    .arg(problem);
    std::fprintf(stderr, "%s\n", m_problem.toLocal8Bit().constData());
    return true;
}

bool SingleInstance::claim()
{
    if (m_basePath.isEmpty())
        return runUnguarded(m_problem);
    // The lock decides; a lock left by a process that no longer runs is
    // taken over.
    m_lock = std::make_unique<QLockFile>(m_basePath + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        // Held means a lock file that names a running process; anything else
        // in the way (a folder, an unreadable file) is no running Clipstow.
        qint64 pid = 0;
        QString host;
        QString application;
        const bool held = m_lock->error() == QLockFile::LockFailedError &&
                          m_lock->getLockInfo(&pid, &host, &application);
        m_lock.reset();
        if (!held)
            return runUnguarded(tr("cannot create the lock file %1.lock").arg(m_basePath));
        m_status = Status::AlreadyRunning;
        return false;
    }
    m_status = Status::Alone;
    m_problem.clear();
    // Without the socket this process still runs alone; a later start then
    // only fails to bring its window forward.
    listen();
    return true;
}

bool SingleInstance::evictIdle()
{
    for (auto it = m_idle.begin(); it != m_idle.end();) {
        if (!it->socket || !it->limit || !it->limit->isActive()) {
            it = m_idle.erase(it); // gone, or its request came
            continue;
        }
        if (it->since.elapsed() < IdleEvictMs)
            return false; // the others are younger still
        // One whose request has come but was not read yet stays.
        if (requestWaiting(*it->socket)) {
            ++it;
            continue;
        }
        // Gone at once: its place is free for the next.
        delete it->socket.data();
        m_idle.erase(it);
        return true;
    }
    return false;
}

void SingleInstance::take(QLocalSocket* socket)
{
    ++m_open;
    connect(socket, &QObject::destroyed, this, [this] {
        --m_open;
        resumeAccepting();
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A sender that says nothing gives its place to the next.
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    idle->start(IdleLimitMs);
    m_idle.push_back({socket, idle, {}});
    m_idle.back().since.start();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, idle] {
        // One request per connection: its first line.
        if (socket->canReadLine()) {
            const QByteArray line = socket->readLine(MaxRequestLength + 1);
            disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
            idle->stop();
            if (!line.endsWith('\n')) {
                socket->abort();
                socket->deleteLater();
                return;
            }
            const QString text = QString::fromUtf8(line.chopped(1)).trimmed();
            Q_EMIT requestReceived(new InstanceRequest(text, socket, socket));
            return;
        }
        // Nothing but short requests is expected.
        if (socket->bytesAvailable() > MaxRequestLength) {
            socket->abort();
            socket->deleteLater();
        }
    });
}

SingleInstance::Answer SingleInstance::ask(const QString& request, int connectTimeoutMs,
                                           int answerTimeoutMs)
{
    using Outcome = Answer::Outcome;
    const QDeadlineTimer deadline(connectTimeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(int(std::max<qint64>(deadline.remainingTime(), 1))))
            break;
        // Nobody listens: either nothing runs, or an instance holds the
        // lock and is about to listen.
        if (!lockHeldByLiveProcess())
            return {Outcome::NotRunning, {}};
        if (deadline.hasExpired())
            return {Outcome::NoAnswer, {}};
        QThread::msleep(50);
    }
    socket.write(request.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(5000))
        return {Outcome::NoAnswer, {}};
    // An instance that is stopped or hangs does not keep the sender (a
    // desktop shortcut's process) waiting; one that asks its user first
    // says so, and is waited for as long as the user takes.
    QDeadlineTimer answerDeadline(answerTimeoutMs);
    for (;;) {
        while (!socket.canReadLine()) {
            if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0)
                return {Outcome::NoAnswer, {}};
            if (answerDeadline.hasExpired())
                return {Outcome::TimedOut, {}};
            const qint64 left = answerDeadline.remainingTime();
            if (!socket.waitForReadyRead(left < 0 ? -1 : int(std::max<qint64>(left, 1))) &&
                socket.state() != QLocalSocket::ConnectedState && !socket.canReadLine())
                return {Outcome::NoAnswer, {}};
        }
        const QByteArray line = socket.readLine();
        if (line != AskingUserLine)
            return parseAnswer(line);
        answerDeadline = QDeadlineTimer::Forever;
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

bool SingleInstance::lockHeldByLiveProcess() const
{
    if (m_basePath.isEmpty())
        return false;
    QLockFile lock(m_basePath + QStringLiteral(".lock"));
    qint64 pid = 0;
    QString host;
    QString application;
    return lock.getLockInfo(&pid, &host, &application) && pid > 0 && processRuns(pid);
}
