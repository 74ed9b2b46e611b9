#pragma once

#include "platform/ClipboardSource.h"
#include "platform/WaylandClipboard.h"
#include "platform/linux/WaylandDataControl.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct wl_callback;
struct wl_display;
struct wl_proxy;
struct wl_registry;

// The data-control client behind WaylandClipboard::open (see there), on
// the thread it was opened on.
//
// The connection is read when its socket is readable (prepare-read,
// read-events, dispatch-pending) and flushed before the event loop sleeps.
// What the compositor's events call for is done once their dispatch is
// over: a batch of events that holds several selections starts reading only
// the newest, since the compositor has already made the older ones inert.
//
// A transfer is a pipe whose write end goes to the owner of the selection;
// our end is non-blocking and read in pieces as data arrives, so a large
// text never holds the event loop for long and a silent owner costs nothing
// but its time limit. A request the compositor got only after a newer
// selection had replaced the offer is answered by closing the pipe at once:
// a transfer that ends without data waits for the compositor to confirm
// everything sent before it, and fails as Superseded if a newer selection
// came meanwhile. Signals are emitted in the order their causes happened,
// also when a handler runs an event loop of its own.
class DataControlClient final : public ClipboardSource
{
    Q_OBJECT

public:
    static WaylandClipboard::Opening open(int timeoutMs);
    ~DataControlClient() override;

    QString name() const override;
    void setReadAhead(ReadAhead plan, int timeoutMs) override;
    void fetch(OfferId offer, const QString& format, int timeoutMs) override;
    void setSizeLimit(qsizetype bytes) override;

private:
    struct Global
    {
        uint32_t name;
        QByteArray interface;
        uint32_t version;
    };
    struct ListedOffer
    {
        wl_proxy* proxy;
        QStringList formats;
    };
    // An offer not announced yet.
    struct PendingOffer
    {
        Offer offer;
        ReadAhead plan;
        int timeoutMs = 0;
        QSet<QString> asked;
        bool started = false;
        // Its owner has delivered (or refused) a format: a newer offer that
        // replaces it now cuts its reading short.
        bool answered = false;
        bool done = false;
    };
    struct Transfer
    {
        OfferId offer = 0;
        QString format;
        bool readAhead = false;
        qsizetype limit = 0;
        int fd = -1;
        QByteArray data;
        std::unique_ptr<QSocketNotifier> notifier;
        QTimer timer;
        wl_callback* confirmation = nullptr;
        ~Transfer();
    };

    explicit DataControlClient(wl_display* display);
    WaylandClipboard::Opening bind(QDeadlineTimer deadline);
    // Dispatches until the compositor has answered everything sent so far.
    bool roundtrip(QDeadlineTimer deadline);

    void readConnection();
    void flush();
    // Fails what is under way; settle() then says lost().
    void markBroken(const QString& reason);
    // Starts what new offers call for, announces the offers that are done
    // from the front, and emits everything queued, in order.
    void settle();

    void takeSelection(wl_proxy* offer);
    void dropOffer(wl_proxy* offer);
    PendingOffer* pendingOffer(OfferId id);
    void readAhead(PendingOffer& offer);
    bool startTransfer(OfferId offer, const QString& format, bool readAhead, int timeoutMs);
    void readTransfer(Transfer* transfer);
    void confirmEmpty(wl_callback* confirmation);
    // Ends a transfer: its data (why None) or its failure goes to its
    // offer's read-ahead or out as received() or failed().
    void finish(Transfer* transfer, Failure why);

    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, uint32_t name);
    static void onDataOffer(void* data, wl_proxy* device, wl_proxy* offer);
    static void onSelection(void* data, wl_proxy* device, wl_proxy* offer);
    static void onFinished(void* data, wl_proxy* device);
    static void onPrimarySelection(void* data, wl_proxy* device, wl_proxy* offer);
    static void onOfferFormat(void* data, wl_proxy* offer, const char* mimeType);
    static void onConfirmed(void* data, wl_callback* confirmation, uint32_t serial);

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    std::vector<Global> m_globals;
    DataControlProtocol m_protocol{};
    uint32_t m_managerName = 0;
    uint32_t m_seatName = 0;
    wl_proxy* m_manager = nullptr;
    wl_proxy* m_seat = nullptr;
    wl_proxy* m_device = nullptr;

    ReadAhead m_plan;
    int m_planTimeoutMs = 2000;
    qsizetype m_sizeLimit = MaxTransferBytes;
    std::vector<ListedOffer> m_listedOffers;
    // The newest selection, the only offer the compositor still serves.
    wl_proxy* m_selection = nullptr;
    OfferId m_newest = 0;
    QStringList m_newestFormats;
    std::deque<PendingOffer> m_pending;
    std::vector<std::unique_ptr<Transfer>> m_transfers;

    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_dispatching = false;
    bool m_broken = false;
    bool m_lostSaid = false;
    QString m_lostReason;
    // Signals waiting for the end of a dispatch or of the signal before.
    std::deque<std::function<void()>> m_outbox;
    bool m_emitting = false;
};
