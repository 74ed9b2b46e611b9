#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace TestSupport {

// A GNOME compositor of its own for one test: Mutter on its headless back
// end with one virtual monitor and XWayland, on a session bus of its own
// (dbus-run-session), in a private runtime folder. Mutter offers no
// data-control protocol; wl-copy sets its clipboard through a surface of
// its own, which needs a keyboard on the seat: a remote-desktop session,
// held open over the compositor's bus, gives it one. Everything started is
// ended when this is destroyed.
class PrivateMutter final
{
public:
    PrivateMutter();
    ~PrivateMutter();
    PrivateMutter(const PrivateMutter&) = delete;
    PrivateMutter& operator=(const PrivateMutter&) = delete;

    // Starts the compositor and its keyboard; empty on success, else what
    // is missing or failed.
    QString start();
    void stop();

    // base with WAYLAND_DISPLAY, and DISPLAY and XAUTHORITY of its XWayland.
    QProcessEnvironment environment(QProcessEnvironment base) const;
    // Sets the clipboard to data with wl-copy; true once the compositor has
    // the new selection.
    bool copy(const QByteArray& data) const;

private:
    QString openKeyboard();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_mutter;
    QString m_socket;
    QString m_display;
    QString m_xauthority;
    QString m_busName;
};

} // namespace TestSupport
