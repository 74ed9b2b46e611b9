#include "ui/WindowPlacement.h"

#include "settings/Settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <limits>

namespace {

// Title bars of the window managers in use are about this high; a frame not
// yet decorated has no known title height.
constexpr int FallbackTitleHeight = 24;
// Polls for the window manager's frame after mapping: at most this many
// times, this far apart.
constexpr int FitAttempts = 40;
constexpr int FitIntervalMs = 25;

QSize screenPixels()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(0, 0);
    return (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize();
}

int pixelsPerInch(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

std::array<int, 4> edges(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QMargins frameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

bool isFixedSize(const QWidget& window)
{
    return window.minimumSize() == window.maximumSize();
}

} // namespace

WindowPlacement::WindowPlacement(QWidget& window, Settings& settings, Placement::Window which,
                                 Mode mode, bool isMainWindow)
    : m_window(&window), m_settings(settings), m_which(which), m_mode(mode),
      m_isMainWindow(isMainWindow)
{
    if (m_mode == Mode::Automatic)
        window.installEventFilter(this);
}

WindowPlacement::~WindowPlacement() = default;

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    // A show event reaches the filter before the window's own handler and
    // before the native window is mapped.
    if (watched == m_window && event->type() == QEvent::Show && !event->spontaneous())
        read();
    return QObject::eventFilter(watched, event);
}

void WindowPlacement::windowClosed()
{
    write(false);
}

void WindowPlacement::windowDestroyed()
{
    if (m_mode == Mode::Automatic && m_restored && !m_saved)
        write(true);
}

void WindowPlacement::write(bool visible)
{
    if (!m_window || (m_mode == Mode::Automatic && !m_restored))
        return;
    QWidget& window = *m_window;
    Placement::Record record;
    if (window.isMinimized() ||
        (m_isMainWindow && QGuiApplication::applicationState() == Qt::ApplicationHidden))
        record.state = Placement::ShowState::Minimized;
    else if (window.isMaximized())
        record.state = Placement::ShowState::Maximized;
    record.pixelsPerInch = pixelsPerInch(window);
    // The normal rectangle of a maximized or minimized window is its
    // restored one, framed as the window is now.
    QRect frame = window.frameGeometry();
    if (window.isMaximized() || window.isMinimized())
        frame = window.normalGeometry().marginsAdded(frameMargins(window));
    record.normal = edges(frame);
    m_settings.setPlacement(m_which, record, screenPixels(), visible);
    m_saved = true;
}

void WindowPlacement::read()
{
    m_saved = false;
    if (!m_window)
        return;
    QWidget& window = *m_window;
    const Placement::Found found = m_settings.placement(
        m_which, screenPixels(), pixelsPerInch(window), edges(window.frameGeometry()));
    if (found.position) {
        const std::array<int, 4>& n = *found.position;
        QRect frame(QPoint(n[0], n[1]), QPoint(n[2] - 1, n[3] - 1));
        if (isFixedSize(window))
            frame.setSize(window.frameGeometry().size());
        if (n[2] > n[0] || isFixedSize(window))
            apply(frame);
    }
    switch (found.state) {
    case Placement::ShowState::Maximized:
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        break;
    case Placement::ShowState::Minimized:
        if (m_isMainWindow) {
            // Minimized once start-up has finished and the window is up.
            QTimer::singleShot(0, &window, [w = &window] {
                if (w->isVisible())
                    w->showMinimized();
            });
        } else {
            window.setWindowState(window.windowState() & ~Qt::WindowMaximized);
        }
        break;
    case Placement::ShowState::Normal:
        window.setWindowState(window.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
        break;
    }
    m_restored = true;
}

void WindowPlacement::apply(const QRect& wanted)
{
    QWidget& window = *m_window;
    const QMargins margins = frameMargins(window);
    const int title = margins.top() > 0 ? margins.top() : FallbackTitleHeight;
    const QRect frame = keepReachable(wanted, title);
    // A top-level window's position is its frame's; the size is the client
    // area's, so the frame's margins come off it.
    window.move(frame.topLeft());
    if (!isFixedSize(window)) {
        const QSize client(frame.width() - margins.left() - margins.right(),
                           frame.height() - margins.top() - margins.bottom());
        window.resize(client.expandedTo(window.minimumSize()));
    }
    m_pendingFrame = frame;
    // Before its first mapping the window has no frame yet: fit it once the
    // window manager has put one round it.
    if (margins.isNull()) {
        m_fitAttempts = 0;
        QTimer::singleShot(FitIntervalMs, this, &WindowPlacement::fitFrameOnceMapped);
    }
}

void WindowPlacement::fitFrameOnceMapped()
{
    if (!m_window || m_pendingFrame.isNull())
        return;
    QWidget& window = *m_window;
    const QMargins margins = frameMargins(window);
    if (!window.isVisible() || margins.isNull()) {
        if (++m_fitAttempts < FitAttempts)
            QTimer::singleShot(FitIntervalMs, this, &WindowPlacement::fitFrameOnceMapped);
        return;
    }
    if (window.isMaximized() || window.isMinimized())
        return;
    if (!isFixedSize(window))
        window.resize(m_pendingFrame.width() - margins.left() - margins.right(),
                      m_pendingFrame.height() - margins.top() - margins.bottom());
    window.move(m_pendingFrame.topLeft());
    m_pendingFrame = QRect();
}

QRect WindowPlacement::keepReachable(const QRect& frame, int titleHeight)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return frame;
    const QRect title(frame.topLeft(), QSize(frame.width(), std::max(1, titleHeight)));
    // Reachable when enough of the title bar lies on a screen to grab it.
    constexpr int Grip = 32;
    const QScreen* nearest = nullptr;
    long long best = std::numeric_limits<long long>::max();
    for (const QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        const QRect onScreen = area.intersected(title);
        if (onScreen.width() >= std::min(Grip, title.width()) &&
            onScreen.height() >= std::min(titleHeight, 8))
            return frame;
        const QPoint delta = area.center() - title.center();
        const long long distance = static_cast<long long>(delta.x()) * delta.x() +
                                   static_cast<long long>(delta.y()) * delta.y();
        if (distance < best) {
            best = distance;
            nearest = screen;
        }
    }
    const QRect area = nearest->availableGeometry();
    QRect moved = frame;
    if (moved.right() > area.right())
        moved.moveRight(area.right());
    if (moved.left() < area.left())
        moved.moveLeft(area.left());
    if (moved.bottom() > area.bottom())
        moved.moveBottom(area.bottom());
    if (moved.top() < area.top())
        moved.moveTop(area.top());
    return moved;
}
