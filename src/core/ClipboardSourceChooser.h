#pragma once

#include "platform/ClipboardSource.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

// Chooses where the program learns of copies, and chooses again when that
// goes away. Exactly one source at a time:
// - on a Wayland session whose compositor offers a data-control protocol,
//   the compositor's clipboard (WaylandClipboard), which tells of every
//   copy whether or not a Clipstow window has the focus;
// - otherwise the platform's source (the fallback, in the program
//   createClipboardSource: X11, through XWayland under Wayland, else Qt's
//   clipboard). Where the compositor offers no data-control (GNOME,
//   Weston), XWayland passes the copies of Wayland programs on to X11
//   whatever has the focus; Qt's clipboard on Wayland itself sees only the
//   copies made while one of the program's windows is active, and start()
//   says so.
// When the compositor's connection breaks (the compositor ended or
// restarted), the fallback takes over, standard error says so, and the
// compositor is tried again every retryMs until it answers.
class ClipboardSourceChooser final : public QObject
{
    Q_OBJECT

public:
    // Gives a source to the clipboard monitor, which owns it from then on.
    using Install = std::function<void(std::unique_ptr<ClipboardSource> source)>;
    using Fallback = std::function<std::unique_ptr<ClipboardSource>()>;
    static constexpr int RetryMs = 10000;

    ClipboardSourceChooser(Install install, Fallback fallback, int retryMs = RetryMs,
                           QObject* parent = nullptr);

    // Installs the first source. fallbackNeedsFocus: the fallback is Qt's
    // clipboard on Wayland itself, which sees only the copies made while
    // one of the program's windows is active. Returns what the user is to
    // be told once, or an empty text.
    QString start(bool fallbackNeedsFocus);

    // Whether the compositor's clipboard is the one installed now.
    bool watchesCompositor() const { return m_watchesCompositor; }

private:
    void install(std::unique_ptr<ClipboardSource> source, bool compositor);
    void onLost(const QString& reason);
    void retry();

    Install m_install;
    Fallback m_fallback;
    QTimer m_retry;
    bool m_watchesCompositor = false;
};
