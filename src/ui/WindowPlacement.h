#pragma once

#include "settings/PlacementStore.h"

#include <QList>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <optional>

class QTimer;
class QWidget;
class Settings;

// Keeps one window's place, size and state between runs in the placement
// values of its section.
//
// The main window drives it: read() once before it is first shown, write()
// once when it closes. A window in automatic mode (the remote window) reads
// at every showing, before its own show handling, writes with "Visible" "0"
// when it is closed and with "Visible" "1" when it is destroyed without a
// write since the last read. Values that cannot be read or written are
// reported by the settings and the window goes on. A window never shown
// writes nothing.
class WindowPlacement final : public QObject
{
    Q_OBJECT

public:
    enum class Mode
    {
        Explicit,
        Automatic
    };

    // A window the user cannot resize keeps its size and takes only the
    // stored place; a resizable one needs a right edge right of the left
    // one. A stored size is limited to the screens (and the window's
    // minimum), and the frame is brought wholly onto a screen as far as it
    // fits. The stored minimized state minimizes the main window when it is
    // shown; the remote window, which has no taskbar entry to come back
    // from, is never minimized.
    WindowPlacement(QWidget& window, Settings& settings, Placement::Window which, Mode mode,
                    bool isMainWindow);
    ~WindowPlacement() override;

    // Reads the values and applies them.
    void read();
    // Writes the window's placement now. In automatic mode nothing is
    // written before the first read.
    void write(bool visible = false);

    // Automatic mode: the window was closed (hidden by its close box or
    // close()), or is about to be destroyed.
    void windowClosed();
    void windowDestroyed();

    bool restored() const { return m_restored; }
    bool saved() const { return m_saved; }

    // The available areas of all screens.
    static QList<QRect> screenAreas();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void askFor(const QRect& frame);
    void fitSoon();
    void fitPendingFrame();

    QPointer<QWidget> m_window;
    Settings& m_settings;
    Placement::Window m_which;
    Mode m_mode;
    bool m_isMainWindow;
    bool m_restored = false;
    bool m_saved = false;
    // The normal frame the last read asked for, until the window shows it:
    // once the window manager has framed the window in its normal state
    // (after mapping, or after leaving the maximized or minimized state it
    // started in). Until then it is what a write stores.
    QRect m_pendingFrame;
    // The frame's margins when the window was last seen framed in its
    // normal state; a maximized frame may have other ones (no borders).
    std::optional<QMargins> m_normalMargins;
    // Fits the pending frame once the window manager's moves and resizes
    // have settled, and keeps looking for a while after a mapping.
    QTimer* m_fitTimer = nullptr;
    int m_fitAttempts = 0;
};
