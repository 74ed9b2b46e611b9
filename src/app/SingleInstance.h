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
    // name: the base name of the lock file and the socket, in the user's
    // runtime folder (or the temporary folder when there is none).
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // "clipstow-<user id>-<display>", the display from $DISPLAY, else
    // $WAYLAND_DISPLAY, reduced to characters safe in a file name.
    static QString defaultName();

    // True when this process is now the one instance (and listens for
    // others); false when another process already is.
    bool claim();
    // From a later process: asks the running one to show its main window.
    // False when it could not be reached within timeoutMs.
    bool activateRunning(int timeoutMs = 5000);

    QString socketPath() const;

Q_SIGNALS:
    // Another start asked this instance to show itself.
    void activationRequested();

private:
    void acceptConnections();

    QString m_basePath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
