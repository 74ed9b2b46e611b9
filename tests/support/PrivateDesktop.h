#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace TestSupport {

// A desktop of its own for one test: an Xvfb display with the openbox
// window manager (which frames and decorates windows as users see them) and
// the trayer tray host. The shared display of the other tests stays as it
// is. Everything started is ended when this is destroyed.
class PrivateDesktop final
{
public:
    PrivateDesktop();
    ~PrivateDesktop();
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    // Starts the display, the window manager and the tray host; empty on
    // success, else what is missing or failed.
    QString start();

    // ":N".
    QString display() const { return m_display; }
    // base with DISPLAY pointing at this desktop.
    QProcessEnvironment environment(QProcessEnvironment base) const;
    // Runs an X tool (xdotool, xwininfo, xprop) on this desktop; its
    // standard output, or an empty text when it failed.
    QString tool(const QString& program, const QStringList& args, int* exitCode = nullptr) const;

    // Visible top-level client windows of a process, all or those named
    // exactly name.
    QStringList windows(qint64 pid, const QString& name = QString()) const;
    // The window's frame as the window manager drew it (client area plus
    // _NET_FRAME_EXTENTS), in root coordinates; null when unknown.
    QRect frame(const QString& id) const;
    bool click(const QPoint& at, int button = 1) const;
    // Ends the program through its tray menu's "E&xit" (the menu's first
    // item, accelerator x).
    bool exitFromTray(qint64 pid) const;

private:
    QProcess& launch(const QString& program, const QStringList& args);

    QString m_display;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace TestSupport
