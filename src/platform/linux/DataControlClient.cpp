#include "platform/linux/DataControlClient.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

// More than any clipboard text a person copies; it keeps an owner that
// sends without end from filling the memory before its time is up.
constexpr qsizetype kMaxTransferBytes = qsizetype(1) << 30;
// What one wake-up reads of a transfer before the event loop gets its turn
// (also the pipe's size, so that one read takes all there is).
constexpr qsizetype kReadPiece = qsizetype(1) << 20;
// A text that outgrows the first piece gets a buffer this large at once:
// the C library maps buffers of this size on their own, so that growing
// them further moves no bytes, where copying a large buffer into a bigger
// one would hold the event loop for tens of milliseconds.
constexpr qsizetype kLargeBuffer = qsizetype(32) << 20;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void destroyProxy(wl_proxy* proxy, uint32_t request)
{
    if (proxy)
        wl_proxy_marshal_flags(proxy, request, nullptr, wl_proxy_get_version(proxy),
                               WL_MARSHAL_FLAG_DESTROY);
}

template <typename Listener> void listen(wl_proxy* proxy, const Listener& listener, void* data)
{
    // The listener is a table of function pointers in the order of the
    // interface's events, which is what libwayland dispatches through.
    wl_proxy_add_listener(
        proxy, reinterpret_cast<void (**)(void)>(const_cast<Listener*>(&listener)), data);
}

} // namespace

namespace WaylandClipboard {

Opening open(int timeoutMs)
{
    return WaylandClipboardSource::open(timeoutMs);
}

} // namespace WaylandClipboard

WaylandClipboardSource::Transfer::~Transfer()
{
    notifier.reset();
    if (fd >= 0)
        ::close(fd);
}

WaylandClipboard::Opening WaylandClipboardSource::open(int timeoutMs)
{
    using WaylandClipboard::Status;
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        return {Status::NoWayland, nullptr, QStringLiteral("WAYLAND_DISPLAY is not set")};
    wl_display* connection = wl_display_connect(nullptr);
    if (!connection)
        return {Status::NoConnection, nullptr,
                QStringLiteral("cannot connect to the Wayland display %1: %2")
                    .arg(display, systemError(errno))};
    std::unique_ptr<WaylandClipboardSource> source(new WaylandClipboardSource(connection));
    WaylandClipboard::Opening opening = source->bind(QDeadlineTimer(timeoutMs));
    if (opening.status == Status::Opened)
        opening.source = std::move(source);
    return opening;
}

WaylandClipboardSource::WaylandClipboardSource(wl_display* display) : m_display(display) {}

WaylandClipboardSource::~WaylandClipboardSource()
{
    m_transfers.clear();
    m_notifier.reset();
    for (const PendingOffer& pending : m_pendingOffers)
        destroyProxy(pending.proxy, DataControlRequest::OfferDestroy);
    destroyProxy(m_selection, DataControlRequest::OfferDestroy);
    destroyProxy(m_device, DataControlRequest::DeviceDestroy);
    destroyProxy(m_manager, DataControlRequest::ManagerDestroy);
    if (m_seat)
        wl_proxy_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

QString WaylandClipboardSource::name() const
{
    return QStringLiteral("Wayland data-control");
}

WaylandClipboard::Opening WaylandClipboardSource::bind(QDeadlineTimer deadline)
{
    using WaylandClipboard::Status;
    static const wl_registry_listener registryListener = {&onGlobal, &onGlobalRemove};
    static const DataControlDeviceListener deviceListener = {&onDataOffer, &onSelection,
                                                             &onFinished, &onPrimarySelection};

    const auto noAnswer = [this] {
        return WaylandClipboard::Opening{
            Status::NoConnection, nullptr,
            m_broken ? m_lostReason : QStringLiteral("the Wayland compositor did not answer")};
    };
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    if (!roundtrip(deadline))
        return noAnswer();

    const Global* manager = nullptr;
    for (const DataControlProtocol& protocol : dataControlProtocols()) {
        const auto found = std::find_if(m_globals.begin(), m_globals.end(), [&](const Global& g) {
            return g.interface == protocol.manager->name;
        });
        if (found != m_globals.end()) {
            manager = &*found;
            m_protocol = protocol;
            break;
        }
    }
    const auto seat = std::find_if(m_globals.begin(), m_globals.end(),
                                   [](const Global& g) { return g.interface == "wl_seat"; });
    if (!manager)
        return {Status::NoDataControl, nullptr,
                QStringLiteral("the Wayland compositor offers no data-control protocol "
                               "(ext_data_control_manager_v1 or zwlr_data_control_manager_v1)")};
    if (seat == m_globals.end())
        return {Status::NoDataControl, nullptr,
                QStringLiteral("the Wayland compositor has no seat")};

    m_managerName = manager->name;
    m_seatName = seat->name;
    const uint32_t version =
        std::min(manager->version, static_cast<uint32_t>(m_protocol.manager->version));
    m_manager = static_cast<wl_proxy*>(
        wl_registry_bind(m_registry, manager->name, m_protocol.manager, version));
    m_seat =
        static_cast<wl_proxy*>(wl_registry_bind(m_registry, seat->name, &wl_seat_interface, 1));
    m_device = wl_proxy_marshal_flags(m_manager, DataControlRequest::ManagerGetDataDevice,
                                      m_protocol.device, version, 0, nullptr, m_seat);
    listen(m_device, deviceListener, this);
    // The compositor answers a new device with the selection it holds now:
    // the current offer, which is not announced.
    if (!roundtrip(deadline) || m_broken)
        return noAnswer();
    m_queuedFailures.clear();
    m_queuedOffers.clear();
    m_announce = true;

    m_notifier =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this,
            &WaylandClipboardSource::readConnection);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &WaylandClipboardSource::flush);
    return {Status::Opened, nullptr, QString::fromLatin1(m_protocol.manager->name)};
}

bool WaylandClipboardSource::roundtrip(QDeadlineTimer deadline)
{
    static const wl_callback_listener doneListener = {
        [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};
    bool done = false;
    wl_callback* callback = wl_display_sync(m_display);
    wl_callback_add_listener(callback, &doneListener, &done);
    m_dispatching = true;
    while (!done && !m_broken) {
        if (wl_display_prepare_read(m_display) != 0) {
            if (wl_display_dispatch_pending(m_display) < 0)
                break;
            continue;
        }
        wl_display_flush(m_display);
        pollfd socket = {wl_display_get_fd(m_display), POLLIN, 0};
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0 || ::poll(&socket, 1, int(remaining)) <= 0) {
            wl_display_cancel_read(m_display);
            break;
        }
        if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0)
            break;
    }
    m_dispatching = false;
    wl_callback_destroy(callback);
    if (!done && wl_display_get_error(m_display) != 0)
        markBroken(QStringLiteral("the connection to the Wayland compositor broke: %1")
                       .arg(systemError(wl_display_get_error(m_display))));
    return done;
}

void WaylandClipboardSource::readConnection()
{
    if (m_dispatching || m_broken)
        return;
    m_dispatching = true;
    bool ok = true;
    while (ok && wl_display_prepare_read(m_display) != 0)
        ok = wl_display_dispatch_pending(m_display) >= 0;
    if (ok) {
        // The socket is readable, so this does not wait; a wake-up that
        // finds nothing to read (EAGAIN) is not an error.
        ok = wl_display_read_events(m_display) >= 0 || errno == EAGAIN;
        ok = ok && wl_display_dispatch_pending(m_display) >= 0;
    }
    m_dispatching = false;
    if (!ok || wl_display_get_error(m_display) != 0) {
        const int error = wl_display_get_error(m_display);
        markBroken(QStringLiteral("the connection to the Wayland compositor broke: %1")
                       .arg(systemError(error ? error : EPIPE)));
    }
    emitQueued();
}

void WaylandClipboardSource::flush()
{
    if (m_broken || wl_display_flush(m_display) >= 0 || errno == EAGAIN)
        return;
    markBroken(QStringLiteral("the connection to the Wayland compositor broke: %1")
                   .arg(systemError(errno)));
    emitQueued();
}

void WaylandClipboardSource::markBroken(const QString& reason)
{
    if (m_broken)
        return;
    m_broken = true;
    m_lostReason = reason;
    if (m_notifier)
        m_notifier->setEnabled(false);
    for (const std::unique_ptr<Transfer>& transfer : m_transfers)
        m_queuedFailures.push_back({transfer->offer, transfer->format, Failure::Broken});
    m_transfers.clear();
    m_queuedOffers.clear();
}

void WaylandClipboardSource::emitQueued()
{
    QPointer<WaylandClipboardSource> alive(this);
    const std::vector<QueuedFailure> failures = std::exchange(m_queuedFailures, {});
    const std::vector<Offer> offers = std::exchange(m_queuedOffers, {});
    for (const QueuedFailure& failure : failures) {
        if (!alive)
            return;
        Q_EMIT failed(failure.offer, failure.format, failure.why);
    }
    for (const Offer& offer : offers) {
        if (!alive)
            return;
        Q_EMIT offered(offer);
    }
    if (alive && m_broken && !m_lostSaid) {
        m_lostSaid = true;
        Q_EMIT lost(m_lostReason);
    }
}

void WaylandClipboardSource::onGlobal(void* data, wl_registry*, uint32_t name,
                                      const char* interface, uint32_t version)
{
    static_cast<WaylandClipboardSource*>(data)->m_globals.push_back(
        {name, QByteArray(interface), version});
}

void WaylandClipboardSource::onGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    auto* self = static_cast<WaylandClipboardSource*>(data);
    if (self->m_manager && (name == self->m_managerName || name == self->m_seatName))
        self->markBroken(QStringLiteral("the Wayland compositor withdrew its clipboard"));
}

void WaylandClipboardSource::onDataOffer(void* data, wl_proxy*, wl_proxy* offer)
{
    static const DataControlOfferListener offerListener = {&onOfferFormat};
    auto* self = static_cast<WaylandClipboardSource*>(data);
    self->m_pendingOffers.push_back({offer, {}});
    listen(offer, offerListener, self);
}

void WaylandClipboardSource::onOfferFormat(void* data, wl_proxy* offer, const char* mimeType)
{
    auto* self = static_cast<WaylandClipboardSource*>(data);
    for (PendingOffer& pending : self->m_pendingOffers)
        if (pending.proxy == offer)
            pending.formats.append(QString::fromUtf8(mimeType));
}

void WaylandClipboardSource::onSelection(void* data, wl_proxy*, wl_proxy* offer)
{
    static_cast<WaylandClipboardSource*>(data)->takeSelection(offer);
}

void WaylandClipboardSource::onPrimarySelection(void* data, wl_proxy*, wl_proxy* offer)
{
    // The primary selection is not watched.
    static_cast<WaylandClipboardSource*>(data)->dropOffer(offer);
}

void WaylandClipboardSource::onFinished(void* data, wl_proxy*)
{
    static_cast<WaylandClipboardSource*>(data)->markBroken(
        QStringLiteral("the Wayland compositor ended the clipboard device"));
}

void WaylandClipboardSource::takeSelection(wl_proxy* offer)
{
    QStringList formats;
    const auto pending = std::find_if(m_pendingOffers.begin(), m_pendingOffers.end(),
                                      [offer](const PendingOffer& p) { return p.proxy == offer; });
    if (pending != m_pendingOffers.end()) {
        formats = pending->formats;
        m_pendingOffers.erase(pending);
    }
    destroyProxy(m_selection, DataControlRequest::OfferDestroy);
    m_selection = offer;
    m_current = {m_current.id + 1, formats};

    for (const std::unique_ptr<Transfer>& transfer : m_transfers)
        m_queuedFailures.push_back({transfer->offer, transfer->format, Failure::Superseded});
    m_transfers.clear();
    if (m_announce)
        m_queuedOffers.push_back(m_current);
}

void WaylandClipboardSource::dropOffer(wl_proxy* offer)
{
    if (!offer)
        return;
    std::erase_if(m_pendingOffers, [offer](const PendingOffer& p) { return p.proxy == offer; });
    destroyProxy(offer, DataControlRequest::OfferDestroy);
}

void WaylandClipboardSource::failLater(OfferId offer, const QString& format,
                                       ClipboardSource::Failure why)
{
    QMetaObject::invokeMethod(
        this, [this, offer, format, why] { Q_EMIT failed(offer, format, why); },
        Qt::QueuedConnection);
}

void WaylandClipboardSource::fetch(OfferId offer, const QString& format, int timeoutMs)
{
    if (m_broken)
        return failLater(offer, format, Failure::Broken);
    if (offer != m_current.id)
        return failLater(offer, format,
                         offer < m_current.id ? Failure::Superseded : Failure::Refused);
    if (!m_selection || !m_current.formats.contains(format))
        return failLater(offer, format, Failure::Refused);

    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return failLater(offer, format, Failure::Broken);
    // Only our end is non-blocking: the owner gets an ordinary pipe, which
    // is what owners that write in one go expect.
    ::fcntl(pipe[1], F_SETFL, ::fcntl(pipe[1], F_GETFL) & ~O_NONBLOCK);
    // Fewer wake-ups for a large text; the default size is kept if refused.
    ::fcntl(pipe[0], F_SETPIPE_SZ, int(kReadPiece));
    wl_proxy_marshal_flags(m_selection, DataControlRequest::OfferReceive, nullptr,
                           wl_proxy_get_version(m_selection), 0, format.toUtf8().constData(),
                           pipe[1]);
    // The request carries a copy of the write end; ours must go, or the
    // end of the data would never be seen.
    ::close(pipe[1]);
    flush();

    auto transfer = std::make_unique<Transfer>();
    Transfer* raw = transfer.get();
    raw->offer = offer;
    raw->format = format;
    raw->fd = pipe[0];
    raw->notifier = std::make_unique<QSocketNotifier>(pipe[0], QSocketNotifier::Read);
    connect(raw->notifier.get(), &QSocketNotifier::activated, this,
            [this, raw] { readTransfer(raw); });
    raw->timer.setSingleShot(true);
    connect(&raw->timer, &QTimer::timeout, this,
            [this, raw] { failTransfer(raw, Failure::TimedOut); });
    raw->timer.start(timeoutMs);
    m_transfers.push_back(std::move(transfer));
}

void WaylandClipboardSource::readTransfer(Transfer* transfer)
{
    qsizetype budget = kReadPiece;
    while (budget > 0) {
        QByteArray& data = transfer->data;
        const qsizetype size = data.size();
        if (data.capacity() - size < kReadPiece)
            data.reserve(size < kReadPiece ? 2 * kReadPiece : std::max(size * 2, kLargeBuffer));
        data.resize(size + kReadPiece);
        const ssize_t got = ::read(transfer->fd, data.data() + size, size_t(kReadPiece));
        data.resize(size + std::max<ssize_t>(got, 0));
        if (got > 0) {
            budget -= got;
            if (data.size() > kMaxTransferBytes)
                return failTransfer(transfer, Failure::Refused);
            continue;
        }
        if (got == 0) {
            const std::unique_ptr<Transfer> done = takeTransfer(transfer);
            done->data.squeeze();
            Q_EMIT received(done->offer, done->format, done->data);
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            failTransfer(transfer, Failure::Broken);
        return;
    }
}

std::unique_ptr<WaylandClipboardSource::Transfer>
WaylandClipboardSource::takeTransfer(Transfer* transfer)
{
    const auto found = std::find_if(
        m_transfers.begin(), m_transfers.end(),
        [transfer](const std::unique_ptr<Transfer>& t) { return t.get() == transfer; });
    std::unique_ptr<Transfer> taken = std::move(*found);
    m_transfers.erase(found);
    taken->notifier.reset();
    taken->timer.stop();
    return taken;
}

void WaylandClipboardSource::failTransfer(Transfer* transfer, ClipboardSource::Failure why)
{
    const std::unique_ptr<Transfer> done = takeTransfer(transfer);
    Q_EMIT failed(done->offer, done->format, why);
}
