#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;
class QSocketNotifier;
class QTimer;

// One request another process sent to the running instance ("show",
// "capture 2", ...). It is answered once; the answer goes back to the
// sender, and the connection closes. It lives as long as the connection.
class InstanceRequest final : public QObject
{
    Q_OBJECT

public:
    // socket: where the answer goes; null for a request of the program's
    // own, whose answer goes nowhere.
    InstanceRequest(QString text, QLocalSocket* socket, QObject* parent);

    const QString& text() const { return m_text; }
    bool answered() const { return m_answered; }
    // done: whether the request was carried out (the sender's exit status
    // is 0 then, else 1); text: what the sender prints.
    void answer(bool done, const QString& text);
    // Before the answer: the program asks its user first, so the sender
    // waits for the answer without its time limit.
    void tellAskingUser();

private:
    QString m_text;
    QLocalSocket* m_socket;
    bool m_answered = false;
};

// Keeps to one running Clipstow per user and display. The first process
// holds a lock file and listens on a local socket that only its user can
// open; a later one finds the lock taken, asks the first to show its main
// window, and ends. Two collectors would otherwise write the same slot files
// from two buffers. The same socket carries the commands of the program's
// command line (clipstow --capture and the others) to the running instance,
// which answers each.
//
// Connections cost the listening process little and cannot make it deaf:
// at most MaxConnections are open at a time (the others wait in the
// system's queue), one that sends no request within IdleLimitMs is closed,
// sooner (after IdleEvictMs) when others wait for its place,
// and a connection that cannot be taken for a moment (no file descriptors
// left) is taken later, the socket listening all the while.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    enum class Status
    {
        NotClaimed,
        Alone,          // this process holds the lock
        AlreadyRunning, // another Clipstow of this user and display holds it
        Unguarded,      // the lock could not be taken for another reason
    };

    // name: the base name of the lock file and the socket, in the user's
    // private folder (see privateRuntimeFolder).
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // "clipstow-<user>-<display>", the user as userKey() gives it, the display from $DISPLAY (see
    // displayKey), else $WAYLAND_DISPLAY, reduced to characters safe in a
    // file name.
    static QString defaultName();
    // The X display a display name reaches, as "host:number": the screen
    // number is dropped, and this machine's names ("", "unix", "localhost",
    // its host name) become the empty host. A name that is not an X display
    // name comes back as it is.
    static QString displayKey(const QString& display);
    // True when this process is to run: it is now the one instance (and
    // listens for others), or the lock could not be taken for a reason other
    // than a running Clipstow, which status() and problem() then tell (it is
    // written to standard error as well). False when another Clipstow of
    // this user and display already runs.
    bool claim();
    Status status() const { return m_status; }
    // Why the lock could not be taken, for the user; empty when it was.
    const QString& problem() const { return m_problem; }

    // From a later process: asks the running one to show its main window,
    // without waiting for its answer. False when it could not be reached
    // within timeoutMs.
    bool activateRunning(int timeoutMs = 5000);

    struct Answer
    {
        enum class Outcome
        {
            Done,       // the instance carried the request out
            Failed,     // the instance could not; text says why
            NotRunning, // no Clipstow of this user and display runs
            NoAnswer,   // one runs but did not take the request, or ended first
            TimedOut,   // one runs but did not answer in time (stopped, busy)
        };
        Outcome outcome = Outcome::NoAnswer;
        QString text;
    };
    // From another process: sends request to the running instance and
    // waits for its answer up to answerTimeoutMs (TimedOut after that),
    // without limit once the instance says that it asks its user first
    // (quit). An instance still starting is waited for up to
    // connectTimeoutMs.
    Answer ask(const QString& request, int connectTimeoutMs = 5000,
               int answerTimeoutMs = AnswerTimeoutMs);

    // The longest request the instance reads.
    static constexpr int MaxRequestLength = 64;
    // How long a sender waits for an answer, at most: a capture waits up to
    // 3 s for the clipboard's owner, a request during start-up for the
    // splash window.
    static constexpr int AnswerTimeoutMs = 10000;
    // Connections open at a time, and how long one may stay without a
    // request.
    static constexpr int MaxConnections = 32;
    static constexpr int IdleLimitMs = 2000;
    static constexpr int IdleEvictMs = 100;

    // Where the instance listens: a socket file on POSIX systems, a pipe's
    // name on Windows.
    QString socketPath() const;

Q_SIGNALS:
    // Another process sent a request. Whoever takes it answers it; the
    // request goes away with its connection.
    void requestReceived(InstanceRequest* request);

private:
    // The user, for names of things only the user may use: the user id on
    // POSIX systems, the user name and the desktop session's number on
    // Windows (whose pipes all share one name space).
    static QString userKey();
    bool listen();
    void acceptConnections();
    // A connection has closed: there is room for one more.
    void resumeAccepting();
    // Whether socket holds bytes not read yet.
    static bool requestWaiting(QLocalSocket& socket);
    // Closes the connection that has waited longest without a request,
    // when it waited IdleEvictMs; false when there is none.
    bool evictIdle();
    bool connectionWaiting() const;
    void take(QLocalSocket* socket);
    void acceptLater();
    bool runUnguarded(const QString& problem);
    // Whether the lock file names a process that still runs (one that is
    // starting and does not listen yet).
    bool lockHeldByLiveProcess() const;
    // Whether process pid still runs (one of another user's counts).
    static bool processRuns(qint64 pid);

    QString m_basePath; // empty without a private folder
    Status m_status = Status::NotClaimed;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
    int m_listening = -1; // the listening socket (POSIX)
    QSocketNotifier* m_incoming = nullptr;
    QLocalServer* m_server = nullptr; // the listening pipe (Windows)
    // Runs while connections cannot be taken for want of resources.
    QTimer* m_retry = nullptr;
    int m_open = 0; // connections open
    // The open connections without a request yet, oldest first.
    struct Idle
    {
        QPointer<QLocalSocket> socket;
        QPointer<QTimer> limit;
        QElapsedTimer since;
    };
    std::deque<Idle> m_idle;
    QTimer* m_evict = nullptr;
};
