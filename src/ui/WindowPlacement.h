#pragma once

#include "settings/PlacementStore.h"

#include <QObject>
#include <QPointer>
#include <QRect>

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
    // stored place. The main window's minimized state minimizes it once
    // start-up is done; its rectangles must have a right edge right of the
    // left one.
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

    // The frame rectangle, moved onto the nearest screen when its title bar
    // would be out of reach of every screen's available area; the size stays.
    static QRect keepReachable(const QRect& frame, int titleHeight);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(const QRect& frame);
    void fitFrameOnceMapped();

    QPointer<QWidget> m_window;
    Settings& m_settings;
    Placement::Window m_which;
    Mode m_mode;
    bool m_isMainWindow;
    bool m_restored = false;
    bool m_saved = false;
    // The frame the last read asked for, fitted once the window manager has
    // put its frame round the window.
    QRect m_pendingFrame;
    int m_fitAttempts = 0;
};
