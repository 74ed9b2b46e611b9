#pragma once

#include "platform/ClipboardSource.h"
#include "platform/WaylandClipboard.h"
#include "platform/linux/WaylandDataControl.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>
#include <vector>

struct wl_display;
struct wl_proxy;
struct wl_registry;

// The data-control client behind WaylandClipboard::open (see there).
//
// The connection is read when its socket is readable (prepare-read,
// read-events, dispatch-pending) and flushed before the event loop sleeps.
// What the compositor's events call for is signalled once their dispatch is
// over, so that a handler may run an event loop of its own.
//
// A transfer is a pipe whose write end goes to the owner of the selection;
// its read end is non-blocking and read in pieces as data arrives, so a
// large text never holds the event loop for long and a silent owner costs
// nothing but its time limit. A new selection fails every transfer still
// running (Superseded).
class WaylandClipboardSource final : public ClipboardSource
{
    Q_OBJECT

public:
    static WaylandClipboard::Opening open(int timeoutMs);
    ~WaylandClipboardSource() override;

    QString name() const override;
    Offer current() const override { return m_current; }
    void fetch(OfferId offer, const QString& format, int timeoutMs) override;

private:
    struct Global
    {
        uint32_t name;
        QByteArray interface;
        uint32_t version;
    };
    struct PendingOffer
    {
        wl_proxy* proxy;
        QStringList formats;
    };
    struct Transfer
    {
        OfferId offer = 0;
        QString format;
        int fd = -1;
        QByteArray data;
        std::unique_ptr<QSocketNotifier> notifier;
        QTimer timer;
        ~Transfer();
    };
    struct QueuedFailure
    {
        OfferId offer;
        QString format;
        ClipboardSource::Failure why;
    };

    explicit WaylandClipboardSource(wl_display* display);
    WaylandClipboard::Opening bind(QDeadlineTimer deadline);
    // Dispatches until the compositor has answered everything sent so far.
    bool roundtrip(QDeadlineTimer deadline);

    void readConnection();
    void flush();
    // Fails the running transfers; emitQueued() then says lost().
    void markBroken(const QString& reason);
    // Emits what the last dispatch called for, in order.
    void emitQueued();

    void takeSelection(wl_proxy* offer);
    void dropOffer(wl_proxy* offer);
    void failLater(OfferId offer, const QString& format, ClipboardSource::Failure why);
    void readTransfer(Transfer* transfer);
    // Removes the transfer; the signal, if any, is the caller's.
    std::unique_ptr<Transfer> takeTransfer(Transfer* transfer);
    void failTransfer(Transfer* transfer, ClipboardSource::Failure why);

    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, uint32_t name);
    static void onDataOffer(void* data, wl_proxy* device, wl_proxy* offer);
    static void onSelection(void* data, wl_proxy* device, wl_proxy* offer);
    static void onFinished(void* data, wl_proxy* device);
    static void onPrimarySelection(void* data, wl_proxy* device, wl_proxy* offer);
    static void onOfferFormat(void* data, wl_proxy* offer, const char* mimeType);

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    std::vector<Global> m_globals;
    DataControlProtocol m_protocol{};
    uint32_t m_managerName = 0;
    uint32_t m_seatName = 0;
    wl_proxy* m_manager = nullptr;
    wl_proxy* m_seat = nullptr;
    wl_proxy* m_device = nullptr;

    std::vector<PendingOffer> m_pendingOffers;
    wl_proxy* m_selection = nullptr;
    Offer m_current;
    bool m_announce = false;

    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_dispatching = false;
    bool m_broken = false;
    bool m_lostSaid = false;
    QString m_lostReason;
    std::vector<QueuedFailure> m_queuedFailures;
    std::vector<Offer> m_queuedOffers;

    std::vector<std::unique_ptr<Transfer>> m_transfers;
};
