#include "core/ClipboardSourceChooser.h"

#include "platform/WaylandClipboard.h"

#include <algorithm>
#include <cstdio>

namespace {

// How long opening the compositor's clipboard may take when it is tried
// again while the program runs.
constexpr int RetryOpenMs = 500;

void tellStandardError(const QString& text)
{
    std::fprintf(stderr, "clipstow: %s\n", qPrintable(text));
}

} // namespace

ClipboardSourceChooser::ClipboardSourceChooser(Install install, Fallback fallback, int retryMs,
                                               QObject* parent)
    : QObject(parent), m_install(std::move(install)), m_fallback(std::move(fallback)),
      m_maximumRetryMs(retryMs)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &ClipboardSourceChooser::retry);
}

QString ClipboardSourceChooser::start(bool fallbackNeedsFocus)
{
    using WaylandClipboard::Status;
    WaylandClipboard::Opening opening = WaylandClipboard::open();
    if (opening.status == Status::Opened) {
        m_compositor = opening.compositor;
        m_opened.start();
        install(std::move(opening.source), true, ClipboardMonitor::SourceStart::Fresh);
        return {};
    }
    install(m_fallback(), false, ClipboardMonitor::SourceStart::Fresh);
    if (opening.status == Status::NoWayland || !fallbackNeedsFocus)
        return {};
    return tr("On this desktop auto mode may see only the copies made while a Clipstow window "
              "is active: %1")
        .arg(opening.detail);
}

void ClipboardSourceChooser::install(std::unique_ptr<ClipboardSource> source, bool compositor,
                                     ClipboardMonitor::SourceStart start)
{
    m_watchesCompositor = compositor;
    if (compositor && source)
        // Queued: the monitor lets go of the source when it gets the next
        // one, which must not happen while the source is still signalling.
        connect(source.get(), &ClipboardSource::lost, this, &ClipboardSourceChooser::onLost,
                Qt::QueuedConnection);
    m_install(std::move(source), start);
}

void ClipboardSourceChooser::onLost(const QString& reason)
{
    if (!m_watchesCompositor)
        return;
    // A connection that broke soon after it was opened would likely break
    // again at once: it counts as a failure to open.
    m_failures = m_opened.hasExpired(SteadyMs) ? 0 : m_failures + 1;
    if (m_failures == 0 && reopen()) {
        tellStandardError(tr("%1; the Wayland clipboard is watched again").arg(reason));
        return;
    }
    tellStandardError(tr("%1; copies are now seen as on X11, and the Wayland "
                         "clipboard is tried again")
                          .arg(reason));
    install(m_fallback(), false, ClipboardMonitor::SourceStart::Fresh);
    waitBeforeRetry();
}

bool ClipboardSourceChooser::reopen()
{
    WaylandClipboard::Opening opening = WaylandClipboard::open(RetryOpenMs);
    if (opening.status != WaylandClipboard::Status::Opened)
        return false;
    // The compositor watched before holds what was seen of it; one that
    // started since holds the text at start.
    const bool same = opening.compositor != 0 && opening.compositor == m_compositor;
    m_compositor = opening.compositor;
    m_opened.start();
    install(std::move(opening.source), true,
            same ? ClipboardMonitor::SourceStart::Resumed : ClipboardMonitor::SourceStart::Fresh);
    return true;
}

void ClipboardSourceChooser::waitBeforeRetry()
{
    const int doublings = std::min(m_failures, 16);
    m_retry.start(std::min(m_maximumRetryMs, RetryFirstMs << doublings));
}

void ClipboardSourceChooser::retry()
{
    if (reopen()) {
        tellStandardError(tr("the Wayland clipboard is watched again"));
        return;
    }
    ++m_failures;
    waitBeforeRetry();
}
