#include "core/ClipboardSourceChooser.h"

#include "platform/WaylandClipboard.h"

#include <QCoreApplication>
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
    : QObject(parent), m_install(std::move(install)), m_fallback(std::move(fallback))
{
    m_retry.setInterval(retryMs);
    connect(&m_retry, &QTimer::timeout, this, &ClipboardSourceChooser::retry);
}

QString ClipboardSourceChooser::start()
{
    using WaylandClipboard::Status;
    WaylandClipboard::Opening opening = WaylandClipboard::open();
    if (opening.status == Status::Opened) {
        install(std::move(opening.source), true);
        return {};
    }
    install(m_fallback(), false);
    if (opening.status == Status::NoWayland)
        return {};
    return QCoreApplication::translate(
               "ClipboardSourceChooser",
               "On this desktop auto mode may see only the copies made while a "
               "Clipstow window is active: %1")
        .arg(opening.detail);
}

void ClipboardSourceChooser::install(std::unique_ptr<ClipboardSource> source, bool compositor)
{
    m_watchesCompositor = compositor;
    if (compositor && source)
        // Queued: the monitor lets go of the source when it gets the next
        // one, which must not happen while the source is still signalling.
        connect(source.get(), &ClipboardSource::lost, this, &ClipboardSourceChooser::onLost,
                Qt::QueuedConnection);
    m_install(std::move(source));
}

void ClipboardSourceChooser::onLost(const QString& reason)
{
    if (!m_watchesCompositor)
        return;
    tellStandardError(
        QCoreApplication::translate("ClipboardSourceChooser",
                                    "%1; copies are now seen as on X11, and the Wayland "
                                    "clipboard is tried again every %2 s")
            .arg(reason)
            .arg(m_retry.interval() / 1000.0));
    install(m_fallback(), false);
    m_retry.start();
}

void ClipboardSourceChooser::retry()
{
    WaylandClipboard::Opening opening = WaylandClipboard::open(RetryOpenMs);
    if (opening.status != WaylandClipboard::Status::Opened)
        return;
    m_retry.stop();
    tellStandardError(QCoreApplication::translate("ClipboardSourceChooser",
                                                  "the Wayland clipboard is watched again"));
    install(std::move(opening.source), true);
}
