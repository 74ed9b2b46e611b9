#include "platform/linux/DataControlClient.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

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

DataControlClient::Transfer::~Transfer()
{
    notifier.reset();
    if (fd >= 0)
        ::close(fd);
    if (confirmation)
        wl_callback_destroy(confirmation);
}

WaylandClipboard::Opening DataControlClient::open(int timeoutMs)
{
    using WaylandClipboard::Status;
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    wl_display* connection = wl_display_connect(nullptr);
    if (!connection)
        return {Status::NoConnection, nullptr,
                QCoreApplication::translate("DataControlClient",
                                            "cannot connect to the Wayland display %1: %2")
                    .arg(display, systemError(errno))};
    std::unique_ptr<DataControlClient> source(new DataControlClient(connection));
    WaylandClipboard::Opening opening = source->bind(QDeadlineTimer(timeoutMs));
    if (opening.status != Status::Opened)
        return opening;
    opening.source = std::move(source);
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(wl_display_get_fd(connection), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0)
        opening.compositor = peer.pid;
    return opening;
}

DataControlClient::DataControlClient(wl_display* display) : m_display(display) {}

DataControlClient::~DataControlClient()
{
    m_transfers.clear();
    m_notifier.reset();
    for (const ListedOffer& listed : m_listedOffers)
        destroyProxy(listed.proxy, DataControlRequest::OfferDestroy);
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

QString DataControlClient::name() const
{
    return QStringLiteral("Wayland data-control");
}

void DataControlClient::setReadAhead(ReadAhead plan, int timeoutMs)
{
    m_plan = std::move(plan);
    m_planTimeoutMs = timeoutMs;
}

void DataControlClient::setSizeLimit(qsizetype bytes)
{
    m_sizeLimit = bytes;
}

WaylandClipboard::Opening DataControlClient::bind(QDeadlineTimer deadline)
{
    using WaylandClipboard::Status;
    static const wl_registry_listener registryListener = {&onGlobal, &onGlobalRemove};
    static const DataControlDeviceListener deviceListener = {&onDataOffer, &onSelection,
                                                             &onFinished, &onPrimarySelection};

    const auto noAnswer = [this] {
        return WaylandClipboard::Opening{
            Status::NoConnection, nullptr,
            m_broken ? m_lostReason
                     : QCoreApplication::translate("DataControlClient",
                                                   "the Wayland compositor did not answer")};
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
                QCoreApplication::translate(
                    "DataControlClient",
                    "the Wayland compositor offers no data-control protocol "
                    "(ext_data_control_manager_v1 or zwlr_data_control_manager_v1)")};
    if (seat == m_globals.end())
        return {
            Status::NoDataControl, nullptr,
            QCoreApplication::translate("DataControlClient", "the Wayland compositor has no seat")};

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
    // the offer at start, announced once the event loop runs.
    if (!roundtrip(deadline) || m_broken)
        return noAnswer();
    if (m_newest == 0)
        takeSelection(nullptr);
    QMetaObject::invokeMethod(this, &DataControlClient::settle, Qt::QueuedConnection);

    m_notifier =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this,
            &DataControlClient::readConnection);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &DataControlClient::flush);
    return {Status::Opened, nullptr, QString::fromLatin1(m_protocol.manager->name)};
}

bool DataControlClient::roundtrip(QDeadlineTimer deadline)
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
        markBroken(QCoreApplication::translate("DataControlClient",
                                               "the connection to the Wayland compositor broke: %1")
                       .arg(systemError(wl_display_get_error(m_display))));
    return done;
}

void DataControlClient::readConnection()
{
    if (m_dispatching || m_broken)
        return;
    m_dispatching = true;
    // Everything there is, before the event loop gets its turn: the
    // compositor drops a client whose socket fills up (an offer of
    // thousands of formats is sent in one go), and the connection's buffer
    // takes only 4 KiB at a time.
    bool ok = true;
    bool more = true;
    while (ok && more) {
        while (ok && wl_display_prepare_read(m_display) != 0)
            ok = wl_display_dispatch_pending(m_display) >= 0;
        if (!ok)
            break;
        pollfd socket = {wl_display_get_fd(m_display), POLLIN, 0};
        more = ::poll(&socket, 1, 0) > 0;
        if (!more) {
            wl_display_cancel_read(m_display);
            break;
        }
        // The socket is readable, so this does not wait.
        ok = wl_display_read_events(m_display) >= 0 || errno == EAGAIN;
        ok = ok && wl_display_dispatch_pending(m_display) >= 0;
    }
    m_dispatching = false;
    if (!ok || wl_display_get_error(m_display) != 0) {
        const int error = wl_display_get_error(m_display);
        markBroken(QCoreApplication::translate("DataControlClient",
                                               "the connection to the Wayland compositor broke: %1")
                       .arg(systemError(error ? error : EPIPE)));
    }
    settle();
}

void DataControlClient::flush()
{
    if (m_broken || wl_display_flush(m_display) >= 0 || errno == EAGAIN)
        return;
    markBroken(QCoreApplication::translate("DataControlClient",
                                           "the connection to the Wayland compositor broke: %1")
                   .arg(systemError(errno)));
    settle();
}

void DataControlClient::markBroken(const QString& reason)
{
    if (m_broken)
        return;
    m_broken = true;
    m_lostReason = reason;
    if (m_notifier)
        m_notifier->setEnabled(false);
    while (!m_transfers.empty())
        finish(m_transfers.front().get(), Failure::Broken);
    for (PendingOffer& pending : m_pending) {
        if (!pending.done && pending.offer.failure == Failure::None)
            pending.offer.failure = Failure::Broken;
        pending.done = true;
    }
}

void DataControlClient::settle()
{
    if (m_dispatching)
        return;
    for (PendingOffer& pending : m_pending) {
        if (!pending.started) {
            pending.started = true;
            readAhead(pending);
        }
    }
    while (!m_pending.empty() && m_pending.front().done) {
        m_outbox.push_back([this, offer = m_pending.front().offer] { Q_EMIT offered(offer); });
        m_pending.pop_front();
    }
    if (m_broken && !m_lostSaid) {
        m_lostSaid = true;
        m_outbox.push_back([this, reason = m_lostReason] { Q_EMIT lost(reason); });
    }
    // A handler that runs an event loop may bring this back here; the
    // outer call goes on emitting, so that the order stays.
    if (m_emitting)
        return;
    m_emitting = true;
    const QPointer<DataControlClient> alive(this);
    while (alive && !m_outbox.empty()) {
        const std::function<void()> emit = std::move(m_outbox.front());
        m_outbox.pop_front();
        emit();
    }
    if (alive)
        m_emitting = false;
}

void DataControlClient::onGlobal(void* data, wl_registry*, uint32_t name, const char* interface,
                                 uint32_t version)
{
    static_cast<DataControlClient*>(data)->m_globals.push_back(
        {name, QByteArray(interface), version});
}

void DataControlClient::onGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    auto* self = static_cast<DataControlClient*>(data);
    if (self->m_manager && (name == self->m_managerName || name == self->m_seatName))
        self->markBroken(QCoreApplication::translate(
            "DataControlClient", "the Wayland compositor withdrew its clipboard"));
}

void DataControlClient::onDataOffer(void* data, wl_proxy*, wl_proxy* offer)
{
    static const DataControlOfferListener offerListener = {&onOfferFormat};
    auto* self = static_cast<DataControlClient*>(data);
    self->m_listedOffers.push_back({offer, {}});
    listen(offer, offerListener, self);
}

void DataControlClient::onOfferFormat(void* data, wl_proxy* offer, const char* mimeType)
{
    auto* self = static_cast<DataControlClient*>(data);
    for (ListedOffer& listed : self->m_listedOffers)
        if (listed.proxy == offer)
            listed.formats.append(QString::fromUtf8(mimeType));
}

void DataControlClient::onSelection(void* data, wl_proxy*, wl_proxy* offer)
{
    static_cast<DataControlClient*>(data)->takeSelection(offer);
}

void DataControlClient::onPrimarySelection(void* data, wl_proxy*, wl_proxy* offer)
{
    // The primary selection is not watched.
    static_cast<DataControlClient*>(data)->dropOffer(offer);
}

void DataControlClient::onFinished(void* data, wl_proxy*)
{
    static_cast<DataControlClient*>(data)->markBroken(QCoreApplication::translate(
        "DataControlClient", "the Wayland compositor ended the clipboard device"));
}

void DataControlClient::takeSelection(wl_proxy* offer)
{
    QStringList formats;
    const auto listed = std::find_if(m_listedOffers.begin(), m_listedOffers.end(),
                                     [offer](const ListedOffer& l) { return l.proxy == offer; });
    if (listed != m_listedOffers.end()) {
        formats = listed->formats;
        m_listedOffers.erase(listed);
    }
    destroyProxy(m_selection, DataControlRequest::OfferDestroy);
    m_selection = offer;
    PendingOffer pending;
    pending.offer.id = ++m_newest;
    pending.offer.atStart = pending.offer.id == 1;
    pending.offer.formats = formats;
    pending.plan = offer ? m_plan : ReadAhead();
    pending.timeoutMs = m_planTimeoutMs;
    m_newestFormats = formats;
    m_pending.push_back(std::move(pending));
}

void DataControlClient::dropOffer(wl_proxy* offer)
{
    if (!offer)
        return;
    std::erase_if(m_listedOffers, [offer](const ListedOffer& l) { return l.proxy == offer; });
    destroyProxy(offer, DataControlRequest::OfferDestroy);
}

DataControlClient::PendingOffer* DataControlClient::pendingOffer(OfferId id)
{
    for (PendingOffer& pending : m_pending)
        if (pending.offer.id == id)
            return &pending;
    return nullptr;
}

void DataControlClient::readAhead(PendingOffer& pending)
{
    Offer& offer = pending.offer;
    while (pending.plan && !m_broken) {
        const QString format = pending.plan(offer.formats, offer.data);
        if (format.isEmpty() || pending.asked.contains(format))
            break;
        pending.asked.insert(format);
        if (!offer.formats.contains(format)) {
            offer.data.insert(format, QByteArray());
            continue;
        }
        // The compositor serves only the newest selection.
        if (offer.id != m_newest) {
            offer.failure = pending.answered ? Failure::Overtaken : Failure::Superseded;
            break;
        }
        if (startTransfer(offer.id, format, true, pending.timeoutMs))
            return;
        offer.failure = Failure::Broken;
        break;
    }
    pending.done = true;
}

bool DataControlClient::startTransfer(OfferId offer, const QString& format, bool readAhead,
                                      int timeoutMs)
{
    int pipe[2];
    if (m_broken || !m_selection || ::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
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
    if (!m_dispatching)
        flush();

    auto transfer = std::make_unique<Transfer>();
    Transfer* raw = transfer.get();
    raw->offer = offer;
    raw->format = format;
    raw->readAhead = readAhead;
    raw->limit = m_sizeLimit;
    raw->fd = pipe[0];
    raw->notifier = std::make_unique<QSocketNotifier>(pipe[0], QSocketNotifier::Read);
    connect(raw->notifier.get(), &QSocketNotifier::activated, this, [this, raw] {
        readTransfer(raw);
        settle();
    });
    // The limit is on silence: it starts again with every piece.
    raw->timer.setSingleShot(true);
    raw->timer.setInterval(timeoutMs);
    connect(&raw->timer, &QTimer::timeout, this, [this, raw] {
        finish(raw, Failure::TimedOut);
        settle();
    });
    raw->timer.start();
    m_transfers.push_back(std::move(transfer));
    return true;
}

void DataControlClient::fetch(OfferId offer, const QString& format, int timeoutMs)
{
    Failure why = Failure::None;
    if (m_broken)
        why = Failure::Broken;
    else if (offer != m_newest)
        why = offer < m_newest ? Failure::Superseded : Failure::Refused;
    else if (!m_newestFormats.contains(format))
        why = Failure::Refused;
    else if (!startTransfer(offer, format, false, timeoutMs))
        why = Failure::Broken;
    if (why == Failure::None)
        return;
    // Answered once the caller has returned.
    m_outbox.push_back([this, offer, format, why] { Q_EMIT failed(offer, format, why); });
    QMetaObject::invokeMethod(this, &DataControlClient::settle, Qt::QueuedConnection);
}

void DataControlClient::readTransfer(Transfer* transfer)
{
    if (transfer->confirmation)
        return;
    qsizetype budget = kReadPiece;
    while (budget > 0) {
        QByteArray& data = transfer->data;
        const qsizetype size = data.size();
        // (Never more than the limit, and a piece past it, which is where
        // the transfer ends.)
        if (data.capacity() - size < kReadPiece)
            data.reserve(
                std::min(size < kReadPiece ? 2 * kReadPiece : std::max(size * 2, kLargeBuffer),
                         transfer->limit + kReadPiece));
        data.resize(size + kReadPiece);
        const ssize_t got = ::read(transfer->fd, data.data() + size, size_t(kReadPiece));
        data.resize(size + std::max<ssize_t>(got, 0));
        if (got > 0) {
            budget -= got;
            transfer->timer.start();
            if (data.size() > transfer->limit)
                return finish(transfer, Failure::TooLarge);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            return;
        if (got < 0)
            return finish(transfer, Failure::Broken);
        if (!data.isEmpty())
            return finish(transfer, Failure::None);
        // Nothing at all: an owner with nothing to say, or the compositor
        // closing a request for an offer a newer selection had replaced.
        // Everything it sent before handling the request tells which.
        static const wl_callback_listener confirmed = {&onConfirmed};
        transfer->notifier->setEnabled(false);
        transfer->confirmation = wl_display_sync(m_display);
        wl_callback_add_listener(transfer->confirmation, &confirmed, this);
        flush();
        return;
    }
}

void DataControlClient::onConfirmed(void* data, wl_callback* confirmation, uint32_t)
{
    static_cast<DataControlClient*>(data)->confirmEmpty(confirmation);
}

void DataControlClient::confirmEmpty(wl_callback* confirmation)
{
    for (const std::unique_ptr<Transfer>& transfer : m_transfers) {
        if (transfer->confirmation == confirmation) {
            finish(transfer.get(),
                   transfer->offer == m_newest ? Failure::None : Failure::Superseded);
            return;
        }
    }
}

void DataControlClient::finish(Transfer* transfer, Failure why)
{
    const auto found = std::find_if(
        m_transfers.begin(), m_transfers.end(),
        [transfer](const std::unique_ptr<Transfer>& t) { return t.get() == transfer; });
    const std::unique_ptr<Transfer> done = std::move(*found);
    m_transfers.erase(found);
    done->data.squeeze();
    if (!done->readAhead) {
        if (why == Failure::None)
            m_outbox.push_back(
                [this, offer = done->offer, format = done->format, data = std::move(done->data)] {
                    Q_EMIT received(offer, format, data);
                });
        else
            m_outbox.push_back([this, offer = done->offer, format = done->format, why] {
                Q_EMIT failed(offer, format, why);
            });
        return;
    }
    PendingOffer* pending = pendingOffer(done->offer);
    if (!pending)
        return;
    if (why == Failure::None || why == Failure::Refused) {
        // A format the owner refuses is only missing from the data.
        pending->offer.data.insert(done->format,
                                   why == Failure::None ? std::move(done->data) : QByteArray());
        pending->answered = true;
        readAhead(*pending);
    } else {
        pending->offer.failure =
            why == Failure::Superseded && pending->answered ? Failure::Overtaken : why;
        pending->done = true;
    }
}
