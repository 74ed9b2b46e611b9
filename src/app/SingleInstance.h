#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// Keeps to one running Clipstow per user and display. The first process
// holds a lock file and listens on a local socket that only its user can
// open; a later one finds the lock taken, asks the first to show its main
// window, and ends. Two collectors would otherwise write the same slot files
// from two buffers.
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
    // private folder (see privateFolder).
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // "clipstow-<user id>-<display>", the display from $DISPLAY (see
    // displayKey), else $WAYLAND_DISPLAY, reduced to characters safe in a
    // file name.
    static QString defaultName();
    // The X display a display name reaches, as "host:number": the screen
    // number is dropped, and this machine's names ("", "unix", "localhost",
    // its host name) become the empty host. A name that is not an X display
    // name comes back as it is.
    static QString displayKey(const QString& display);
    // $XDG_RUNTIME_DIR when it is a folder of the user's that only the user
    // may enter; else <temporary folder>/clipstow-<user id>, made with mode
    // 0700 and checked to be a folder (not a link) of the user's alone.
    // Empty, with the reason in problem, when there is no such folder.
    static QString privateFolder(QString* problem = nullptr);

    // True when this process is to run: it is now the one instance (and
    // listens for others), or the lock could not be taken for a reason other
    // than a running Clipstow, which status() and problem() then tell (it is
    // written to standard error as well). False when another Clipstow of
    // this user and display already runs.
    bool claim();
    Status status() const { return m_status; }
    // Why the lock could not be taken, for the user; empty when it was.
    const QString& problem() const { return m_problem; }

    // From a later process: asks the running one to show its main window.
    // False when it could not be reached within timeoutMs.
    bool activateRunning(int timeoutMs = 5000);

    QString socketPath() const;

Q_SIGNALS:
    // Another start asked this instance to show itself.
    void activationRequested();

private:
    void acceptConnections();
    bool runUnguarded(const QString& problem);

    QString m_basePath; // empty without a private folder
    Status m_status = Status::NotClaimed;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
