#pragma once

#include "core/ClipboardMonitor.h"
#include "platform/ClipboardSource.h"

#include <QElapsedTimer>
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
// When the compositor's connection breaks, it is opened again at once: a
// compositor that still runs (and dropped the connection for a reason of
// its own, such as an offer with more formats than it could send) is
// watched again straight away, and what it holds is a copy made meanwhile
// when it differs from what was seen before (ClipboardMonitor's Resumed).
// Otherwise (the compositor ended or restarted, or drops the connection
// again and again) the fallback takes over, standard error says so, and the
// compositor is tried again after a pause that doubles with every failure,
// from RetryFirstMs up to retryMs. A compositor that started since is new:
// what it holds is the text at start.
class ClipboardSourceChooser final : public QObject
{
    Q_OBJECT

public:
    // Gives a source to the clipboard monitor, which owns it from then on.
    using Install = std::function<void(std::unique_ptr<ClipboardSource> source,
                                       ClipboardMonitor::SourceStart start)>;
    using Fallback = std::function<std::unique_ptr<ClipboardSource>()>;
    static constexpr int RetryMs = 10000;
    static constexpr int RetryFirstMs = 100;
    // A connection lost sooner than this after it was opened counts as a
    // failure to open it.
    static constexpr int SteadyMs = 2000;

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
    void install(std::unique_ptr<ClipboardSource> source, bool compositor,
                 ClipboardMonitor::SourceStart start);
    void onLost(const QString& reason);
    // Opens the compositor's clipboard; true once it is installed.
    bool reopen();
    void waitBeforeRetry();
    void retry();

    Install m_install;
    Fallback m_fallback;
    QTimer m_retry;
    int m_maximumRetryMs;
    bool m_watchesCompositor = false;
    // The compositor watched last, and since when.
    qint64 m_compositor = 0;
    QElapsedTimer m_opened;
    // Failures to open it (or to keep it open) in a row.
    int m_failures = 0;
};
