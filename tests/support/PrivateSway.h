#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace TestSupport {

// A Wayland compositor of its own for one test: sway on its headless back
// end with software rendering and without XWayland, in a private runtime
// folder. Sway refuses to run as root, so a root test runs it as nobody.
// It offers zwlr_data_control_manager_v1, through which wl-copy sets the
// clipboard without a window. Everything started is ended when this is
// destroyed.
class PrivateSway final
{
public:
    PrivateSway();
    ~PrivateSway();
    PrivateSway(const PrivateSway&) = delete;
    PrivateSway& operator=(const PrivateSway&) = delete;

    // Starts the compositor (again, after stop()); empty on success, else
    // what is missing or failed.
    QString start();
    // Ends the compositor, as a crash or a restart of the session would.
    void stop();

    // The socket's full path, a value for WAYLAND_DISPLAY.
    QString socket() const { return m_socket; }
    // base with WAYLAND_DISPLAY pointing at this compositor.
    QProcessEnvironment environment(QProcessEnvironment base) const;
    // Sets WAYLAND_DISPLAY of this process to this compositor.
    void enter() const;

    // Sets the clipboard to data with wl-copy (which stays behind to serve
    // it until the clipboard changes again); extra arguments such as
    // "--clear", "--primary" or "--type", "text/html". True once the
    // compositor has the new selection.
    bool copy(const QByteArray& data, const QStringList& arguments = {}) const;
    // Starts count wl-copy, 20 ms apart (events run meanwhile), each with
    // prefix and its number, without waiting for them. Returns their texts,
    // sorted (they may take the clipboard in another order), or an empty
    // list when one could not start.
    QStringList copyBurst(int count, const QString& prefix) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_sway;
    QString m_socket;
};

// Sets the clipboard of the compositor env names to data with wl-copy,
// which stays behind to serve it until the clipboard changes again; true
// once the compositor has the new selection.
bool wlCopy(const QProcessEnvironment& env, const QByteArray& data,
            const QStringList& arguments = {});

// Starts weston on its headless back end in runtimeDir, a compositor that
// offers neither data-control protocol; returns its socket's full path once
// it takes connections, or an empty text when it cannot start.
QString startHeadlessWeston(QProcess& weston, const QString& runtimeDir);

} // namespace TestSupport
