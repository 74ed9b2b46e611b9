#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray ShowRequest = "show\n";

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

// A folder of this user's that nobody else may enter. Its owner may fix
// its mode; a link or another user's folder is refused.
bool isPrivateFolder(const QString& path, bool fixMode, QString* problem)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        *problem = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *problem = QCoreApplication::translate("SingleInstance", "%1 is not a folder").arg(path);
        return false;
    }
    if (info.st_uid != ::geteuid()) {
        *problem =
            QCoreApplication::translate("SingleInstance", "the folder %1 belongs to another user")
                .arg(path);
        return false;
    }
    if ((info.st_mode & 077) != 0 &&
        !(fixMode && ::chmod(QFile::encodeName(path).constData(), 0700) == 0)) {
        *problem =
            QCoreApplication::translate("SingleInstance", "the folder %1 is open to other users")
                .arg(path);
        return false;
    }
    return true;
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

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    const QString folder = privateFolder(&m_problem);
    if (!folder.isEmpty())
        m_basePath = QDir(folder).filePath(name);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::privateFolder(QString* problem)
{
    QString ignored;
    QString& why = problem ? *problem : ignored;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) &&
        isPrivateFolder(runtime, false, &why))
        return runtime;
    // Not the shared temporary folder itself, where any user could put a
    // lock file of the expected name in advance.
    const QString own =
        QDir(QDir::tempPath()).filePath(QStringLiteral("clipstow-%1").arg(::geteuid()));
    if (::mkdir(QFile::encodeName(own).constData(), 0700) != 0 && errno != EEXIST) {
        why = QCoreApplication::translate("SingleInstance", "cannot create the folder %1: %2")
                  .arg(own, QString::fromLocal8Bit(strerror(errno)));
        return QString();
    }
    if (!isPrivateFolder(own, true, &why))
        return QString();
    why.clear();
    return own;
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
    return QStringLiteral("clipstow-%1-%2").arg(::getuid()).arg(safeForFileName(display));
}

QString SingleInstance::socketPath() const
{
    return m_basePath.isEmpty() ? QString() : m_basePath + QStringLiteral(".socket");
}

bool SingleInstance::runUnguarded(const QString& problem)
{
    m_status = Status::Unguarded;
    m_problem = QCoreApplication::translate(
                    "SingleInstance", "Clipstow cannot make sure that it runs only once on this "
                                      "display (%1); it starts anyway.")
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
            return runUnguarded(
                QStringLiteral("cannot create the lock file %1.lock").arg(m_basePath));
        m_status = Status::AlreadyRunning;
        return false;
    }
    m_status = Status::Alone;
    m_problem.clear();
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
            // One request per connection: its first line.
            if (socket->canReadLine()) {
                const QByteArray line = socket->readLine(MaxRequestLength + 1);
                disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
                if (!line.endsWith('\n')) {
                    socket->abort();
                    return;
                }
                const QString text = QString::fromUtf8(line.chopped(1)).trimmed();
                Q_EMIT requestReceived(new InstanceRequest(text, socket, socket));
                return;
            }
            // Nothing but short requests is expected.
            if (socket->bytesAvailable() > MaxRequestLength)
                socket->abort();
        });
    }
}

bool SingleInstance::lockHeldByLiveProcess() const
{
    if (m_basePath.isEmpty())
        return false;
    QLockFile lock(m_basePath + QStringLiteral(".lock"));
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

SingleInstance::Answer SingleInstance::ask(const QString& request, int connectTimeoutMs)
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
    // The instance may ask its user before it answers (quit): no limit.
    while (!socket.canReadLine()) {
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0)
            return {Outcome::NoAnswer, {}};
        if (!socket.waitForReadyRead(-1) && !socket.canReadLine())
            return {Outcome::NoAnswer, {}};
    }
    return parseAnswer(socket.readLine());
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
