#include "ui/WindowPlacement.h"

#include "core/WindowFit.h"
#include "settings/Settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

// The window manager's moves and resizes come in bursts (reparenting,
// decorating, restoring a size): the fit waits this long after the last.
constexpr int FitSettleMs = 60;
// Without any move after a mapping, looks for the frame at most this many
// times, this far apart.
constexpr int FitAttempts = 80;
constexpr int FitIntervalMs = 25;

constexpr Qt::WindowStates NotNormal =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

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

// Null before the window manager has framed the window.
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

bool showsNormalFrame(const QWidget& window)
{
    return window.isVisible() && !(window.windowState() & NotNormal);
}

} // namespace

WindowPlacement::WindowPlacement(QWidget& window, Settings& settings, Placement::Window which,
                                 Mode mode, bool isMainWindow)
    : m_window(&window), m_settings(settings), m_which(which), m_mode(mode),
      m_isMainWindow(isMainWindow)
{
    m_fitTimer = new QTimer(this);
    m_fitTimer->setSingleShot(true);
    connect(m_fitTimer, &QTimer::timeout, this, &WindowPlacement::fitPendingFrame);
    window.installEventFilter(this);
}

WindowPlacement::~WindowPlacement() = default;

QList<QRect> WindowPlacement::screenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        // A show event reaches the filter before the window's own handler
        // and before the native window is mapped.
        if (m_mode == Mode::Automatic && !event->spontaneous())
            read();
        else if (!m_pendingFrame.isNull())
            fitSoon();
        break;
    case QEvent::Hide:
        // Hidden in its normal state, the window has shown its frame, fitted
        // or (without a window manager) as placed; it is what a write keeps.
        if (!(m_window->windowState() & NotNormal))
            m_pendingFrame = QRect();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange: {
        const QMargins margins = frameMargins(*m_window);
        if (showsNormalFrame(*m_window) && !margins.isNull())
            m_normalMargins = margins;
        if (!m_pendingFrame.isNull())
            fitSoon();
        break;
    }
    default:
        break;
    }
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
    // A window showing its normal frame writes that. Otherwise the frame a
    // read asked for and the window has not shown yet stays as it was; a
    // maximized or minimized window's normal rectangle is its restored one,
    // framed as it was when it was last seen normal.
    QRect frame = window.frameGeometry();
    if (!showsNormalFrame(window)) {
        if (!m_pendingFrame.isNull())
            frame = m_pendingFrame;
        else if (window.windowState() & NotNormal)
            frame = window.normalGeometry().marginsAdded(
                m_normalMargins.value_or(frameMargins(window)));
    }
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
        const bool fixed = isFixedSize(window);
        const QSize frameNow = window.frameGeometry().size();
        const QSize minimum = window.minimumSize().grownBy(frameMargins(window));
        if (fixed)
            askFor(WindowFit::storedFrame(n, frameNow, frameNow));
        else if (n[2] > n[0])
            askFor(WindowFit::storedFrame(n, minimum, WindowFit::extent(screenAreas())));
    }
    const Qt::WindowStates normal = window.windowState() & ~NotNormal;
    switch (found.state) {
    case Placement::ShowState::Maximized:
        window.setWindowState(normal | Qt::WindowMaximized);
        break;
    case Placement::ShowState::Minimized:
        // A hidden window takes the state when it is shown.
        if (m_isMainWindow && window.isVisible())
            window.showMinimized();
        else
            window.setWindowState(m_isMainWindow ? normal | Qt::WindowMinimized : normal);
        break;
    case Placement::ShowState::Normal:
        window.setWindowState(normal);
        break;
    }
    m_restored = true;
}

// Places the window as well as can be done now: before its first mapping
// its frame's margins are not known, so the frame is fitted again once the
// window manager has framed it.
void WindowPlacement::askFor(const QRect& frame)
{
    QWidget& window = *m_window;
    m_pendingFrame = frame;
    const bool fixed = isFixedSize(window);
    QRect wanted = frame;
    if (fixed)
        wanted.setSize(window.frameGeometry().size());
    wanted = WindowFit::ontoScreens(wanted, screenAreas(), !fixed);
    // A top-level window's position is its frame's; the size is the client
    // area's, so the frame's margins come off it.
    window.move(wanted.topLeft());
    if (!fixed)
        window.resize(
            wanted.size().shrunkBy(frameMargins(window)).expandedTo(window.minimumSize()));
    fitSoon();
}

void WindowPlacement::fitSoon()
{
    m_fitAttempts = 0;
    m_fitTimer->start(FitSettleMs);
}

void WindowPlacement::fitPendingFrame()
{
    if (!m_window || m_pendingFrame.isNull())
        return;
    QWidget& window = *m_window;
    // Hidden, maximized or minimized: the next showing or return to the
    // normal state fits it.
    if (!showsNormalFrame(window))
        return;
    const QMargins margins = frameMargins(window);
    if (margins.isNull()) {
        // Not framed yet, or never (no window manager, no decorations).
        if (++m_fitAttempts < FitAttempts)
            m_fitTimer->start(FitIntervalMs);
        else
            m_pendingFrame = QRect();
        return;
    }
    const bool fixed = isFixedSize(window);
    QRect frame = m_pendingFrame;
    frame.setSize(fixed ? window.frameGeometry().size()
                        : frame.size().expandedTo(window.minimumSize().grownBy(margins)));
    frame = WindowFit::ontoScreens(frame, screenAreas(), !fixed);
    m_pendingFrame = QRect();
    m_normalMargins = margins;
    if (!fixed)
        window.resize(frame.size().shrunkBy(margins).expandedTo(window.minimumSize()));
    window.move(frame.topLeft());
}
