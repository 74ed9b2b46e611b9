#include "platform/linux/X11SelectionReader.h"

#include <QHash>
#include <QSet>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <list>
#include <mutex>
#include <optional>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Failure = ClipboardSource::Failure;
using Offer = ClipboardSource::Offer;
using OfferId = ClipboardSource::OfferId;

// How long an abandoned transfer may still be answered (and its answer
// taken and dropped) before its window goes.
constexpr auto QuarantineTime = std::chrono::seconds(60);
// The time limit of a new offer's list of targets until a read-ahead plan
// sets another.
constexpr int DefaultTimeoutMs = 2000;

// Targets of the selection protocol itself: no formats of the content.
const char* const ProtocolTargets[] = {"TARGETS",          "MULTIPLE",       "TIMESTAMP",
                                       "SAVE_TARGETS",     "DELETE",         "INCR",
                                       "INSERT_SELECTION", "INSERT_PROPERTY"};

template <typename Reply> struct FreeReply
{
    void operator()(Reply* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply<Reply>>;

// Whether request `later` was sent after request `earlier` (32-bit sequence
// numbers that wrap around).
bool sentAfter(uint32_t later, uint32_t earlier)
{
    return static_cast<int32_t>(later - earlier) > 0;
}

} // namespace

// Each transfer has a requestor window of its own: owners that send in
// pieces (INCR) take the deletion of any property of the requestor window
// as the call for their next piece (xclip does), so two transfers sharing a
// window would cut each other's data short.
struct X11SelectionReader::State
{
    enum class Purpose
    {
        Targets,
        ReadAhead,
        Fetch
    };
    struct Transfer
    {
        OfferId offer = 0;
        QString format;
        Purpose purpose = Purpose::Fetch;
        xcb_window_t window = XCB_WINDOW_NONE;
        xcb_atom_t target = XCB_ATOM_NONE;
        uint32_t request = 0;
        bool answered = false;
        bool incremental = false;
        // Reported as failed already; its answer, should it come, is taken
        // and dropped, so that the owner is not left waiting in the middle
        // of its pieces (xclip then answers no one else).
        bool abandoned = false;
        QByteArray data;
        qsizetype limit = 0;
        int timeoutMs = 0;
        Clock::time_point deadline;
    };
    using TransferIt = std::list<Transfer>::iterator;
    // An offer not announced yet.
    struct PendingOffer
    {
        Offer offer;
        ClipboardSource::ReadAhead plan;
        int timeoutMs = 0;
        QSet<QString> asked;
        bool done = false;
    };
    struct Command
    {
        OfferId offer;
        QString format;
        int timeoutMs;
    };

    Callbacks callbacks;
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_window_t watcher = XCB_WINDOW_NONE;
    uint8_t xfixesEvent = 0;
    xcb_atom_t clipboard = XCB_ATOM_NONE;
    xcb_atom_t targets = XCB_ATOM_NONE;
    xcb_atom_t incr = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;
    QSet<xcb_atom_t> protocolTargets;
    QHash<QString, xcb_atom_t> atoms;
    QHash<xcb_atom_t, QString> names;
    std::vector<xcb_window_t> freeWindows;

    // Owner changes that the owner query at the start already saw are
    // older than this request.
    uint32_t startRequest = 0;
    bool startPassed = false;
    OfferId lastId = 0;
    // The newest offer, the only one that can still be read.
    OfferId newest = 0;
    xcb_timestamp_t newestTime = XCB_CURRENT_TIME;
    QStringList newestFormats;
    std::deque<PendingOffer> pending;
    std::list<Transfer> transfers;

    // Shared with the threads that call setReadAhead and fetch.
    std::mutex mutex;
    ClipboardSource::ReadAhead plan;
    int planTimeoutMs = DefaultTimeoutMs;
    qsizetype sizeLimit = ClipboardSource::MaxTransferBytes;
    std::vector<Command> commands;
    int wake[2] = {-1, -1};
    std::atomic<bool> stop{false};
    std::thread thread;

    ~State();
    bool connect(const QByteArray& display, QString* error);
    void run();
    void wakeUp();

    xcb_atom_t atom(const QString& name);
    QStringList atomNames(const std::vector<xcb_atom_t>& list);
    xcb_window_t takeWindow();

    void runCommands();
    void handle(xcb_generic_event_t* event);
    void ownerChanged(const xcb_xfixes_selection_notify_event_t& event, uint32_t sequence);
    void newOffer(xcb_window_t owner, xcb_timestamp_t time, bool atStart);
    void selectionNotify(const xcb_selection_notify_event_t& event);
    void propertyNotify(const xcb_property_notify_event_t& event);
    ReplyPtr<xcb_get_property_reply_t> takeProperty(const Transfer& transfer);
    bool dropPiece(xcb_window_t window);
    void expire(Clock::time_point now);
    int msUntilNextDeadline(Clock::time_point now) const;

    bool start(OfferId offer, const QString& format, xcb_atom_t target, Purpose purpose,
               int timeoutMs);
    void finish(TransferIt it, Failure why);
    void report(Transfer& transfer, Failure why);
    PendingOffer* pendingOffer(OfferId id);
    void readAhead(PendingOffer& offer);
    void announceReady();
};

X11SelectionReader::State::~State()
{
    if (thread.joinable()) {
        stop = true;
        wakeUp();
        thread.join();
    }
    if (connection)
        xcb_disconnect(connection);
    for (int fd : wake)
        if (fd >= 0)
            ::close(fd);
}

void X11SelectionReader::State::wakeUp()
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake[1], &byte, 1);
}

bool X11SelectionReader::State::connect(const QByteArray& display, QString* error)
{
    int screenNumber = 0;
    connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        *error = QStringLiteral("cannot open the X display");
        return false;
    }
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!extension || !extension->present) {
        *error = QStringLiteral("the X server has no XFixes extension");
        return false;
    }
    xfixesEvent = extension->first_event;
    ReplyPtr<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
        connection, xcb_xfixes_query_version(connection, 5, 0), nullptr));
    if (!version || version->major_version < 1) {
        *error = QStringLiteral("the X server's XFixes extension is too old");
        return false;
    }
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = QStringLiteral("cannot create a pipe");
        return false;
    }

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    root = screens.data->root;
    watcher = takeWindow();
    clipboard = atom(QStringLiteral("CLIPBOARD"));
    targets = atom(QStringLiteral("TARGETS"));
    incr = atom(QStringLiteral("INCR"));
    property = atom(QStringLiteral("CLIPSTOW_SELECTION"));
    for (const char* name : ProtocolTargets)
        protocolTargets.insert(atom(QString::fromLatin1(name)));
    xcb_xfixes_select_selection_input(connection, watcher, clipboard,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    const xcb_get_selection_owner_cookie_t ownerCookie =
        xcb_get_selection_owner(connection, clipboard);
    startRequest = ownerCookie.sequence;
    ReplyPtr<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, ownerCookie, nullptr));
    if (!owner) {
        *error = QStringLiteral("the X server did not name the clipboard's owner");
        return false;
    }
    newOffer(owner->owner, XCB_CURRENT_TIME, true);
    xcb_flush(connection);
    return true;
}

xcb_atom_t X11SelectionReader::State::atom(const QString& name)
{
    const auto known = atoms.constFind(name);
    if (known != atoms.constEnd())
        return *known;
    const QByteArray bytes = name.toUtf8();
    ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(bytes.size()), bytes.constData()),
        nullptr));
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    if (result != XCB_ATOM_NONE) {
        atoms.insert(name, result);
        names.insert(result, name);
    }
    return result;
}

// The names of a list of atoms, those not known yet asked for all at once.
QStringList X11SelectionReader::State::atomNames(const std::vector<xcb_atom_t>& list)
{
    std::vector<std::pair<xcb_atom_t, xcb_get_atom_name_cookie_t>> asked;
    for (xcb_atom_t a : list)
        if (!names.contains(a) && std::none_of(asked.begin(), asked.end(),
                                               [a](const auto& entry) { return entry.first == a; }))
            asked.emplace_back(a, xcb_get_atom_name(connection, a));
    for (const auto& [a, cookie] : asked) {
        ReplyPtr<xcb_get_atom_name_reply_t> reply(
            xcb_get_atom_name_reply(connection, cookie, nullptr));
        if (!reply)
            continue;
        const QString name = QString::fromUtf8(xcb_get_atom_name_name(reply.get()),
                                               xcb_get_atom_name_name_length(reply.get()));
        names.insert(a, name);
        atoms.insert(name, a);
    }
    QStringList result;
    for (xcb_atom_t a : list) {
        const QString name = names.value(a);
        if (!name.isEmpty() && !protocolTargets.contains(a) && !result.contains(name))
            result << name;
    }
    return result;
}

xcb_window_t X11SelectionReader::State::takeWindow()
{
    if (!freeWindows.empty()) {
        const xcb_window_t window = freeWindows.back();
        freeWindows.pop_back();
        return window;
    }
    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    return window;
}

void X11SelectionReader::State::run()
{
    while (!stop) {
        runCommands();
        expire(Clock::now());
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            handle(event);
            std::free(event);
        }
        announceReady();
        if (xcb_connection_has_error(connection)) {
            callbacks.lost(QStringLiteral("the connection to the X server broke"));
            return;
        }
        xcb_flush(connection);
        pollfd fds[2] = {{xcb_get_file_descriptor(connection), POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (::poll(fds, 2, msUntilNextDeadline(Clock::now())) > 0 && (fds[1].revents & POLLIN)) {
            char drain[64];
            while (::read(wake[0], drain, sizeof drain) > 0) {
            }
        }
    }
}

void X11SelectionReader::State::runCommands()
{
    std::vector<Command> taken;
    {
        const std::lock_guard lock(mutex);
        taken.swap(commands);
    }
    for (const Command& command : taken) {
        // Only the newest offer can be read: a request for an older one
        // would reach the newer owner.
        if (command.offer != newest)
            callbacks.failed(command.offer, command.format, Failure::Superseded);
        else if (!newestFormats.contains(command.format))
            callbacks.failed(command.offer, command.format, Failure::Refused);
        else if (!start(command.offer, command.format, atom(command.format), Purpose::Fetch,
                        command.timeoutMs))
            callbacks.failed(command.offer, command.format, Failure::Broken);
    }
}

void X11SelectionReader::State::handle(xcb_generic_event_t* event)
{
    const uint8_t type = event->response_type & 0x7f;
    if (type == xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY)
        ownerChanged(*reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(event),
                     event->full_sequence);
    else if (type == XCB_SELECTION_NOTIFY)
        selectionNotify(*reinterpret_cast<xcb_selection_notify_event_t*>(event));
    else if (type == XCB_PROPERTY_NOTIFY)
        propertyNotify(*reinterpret_cast<xcb_property_notify_event_t*>(event));
}

void X11SelectionReader::State::ownerChanged(const xcb_xfixes_selection_notify_event_t& event,
                                             uint32_t sequence)
{
    if (event.selection != clipboard)
        return;
    // A change the owner query at the start already saw. (Once a later one
    // came, the check is over: sequence numbers wrap around in a long run.)
    if (!startPassed && sentAfter(startRequest, sequence))
        return;
    startPassed = true;
    // The event carries the last of this connection's requests the server
    // had handled when the owner changed: requests after it reach the new
    // owner, so their transfers cannot give their offer's data.
    for (auto it = transfers.begin(); it != transfers.end();) {
        const auto next = std::next(it);
        if (!it->abandoned && !it->answered && sentAfter(it->request, sequence))
            finish(it, Failure::Superseded);
        it = next;
    }
    const bool ownerGone = event.subtype != XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER;
    newOffer(ownerGone ? xcb_window_t(XCB_WINDOW_NONE) : event.owner, event.selection_timestamp,
             false);
}

void X11SelectionReader::State::newOffer(xcb_window_t owner, xcb_timestamp_t time, bool atStart)
{
    PendingOffer offer;
    offer.offer.id = ++lastId;
    offer.offer.atStart = atStart;
    {
        const std::lock_guard lock(mutex);
        offer.plan = plan;
        offer.timeoutMs = planTimeoutMs;
    }
    newest = offer.offer.id;
    newestTime = time;
    newestFormats.clear();
    pending.push_back(std::move(offer));
    PendingOffer& added = pending.back();
    // No owner: the clipboard was emptied.
    if (owner == XCB_WINDOW_NONE) {
        added.done = true;
        return;
    }
    if (!start(added.offer.id, QStringLiteral("TARGETS"), targets, Purpose::Targets,
               added.timeoutMs)) {
        added.offer.failure = Failure::Broken;
        added.done = true;
    }
}

bool X11SelectionReader::State::start(OfferId offer, const QString& format, xcb_atom_t target,
                                      Purpose purpose, int timeoutMs)
{
    if (target == XCB_ATOM_NONE)
        return false;
    Transfer transfer;
    transfer.offer = offer;
    transfer.format = format;
    transfer.purpose = purpose;
    transfer.target = target;
    transfer.window = takeWindow();
    transfer.timeoutMs = timeoutMs;
    transfer.deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    {
        const std::lock_guard lock(mutex);
        transfer.limit = sizeLimit;
    }
    // Owners that check the time (Qt does) answer only a request made for
    // their own ownership.
    transfer.request =
        xcb_convert_selection(connection, transfer.window, clipboard, target, property,
                              offer == newest ? newestTime : XCB_CURRENT_TIME)
            .sequence;
    transfers.push_back(std::move(transfer));
    return true;
}

X11SelectionReader::State::PendingOffer* X11SelectionReader::State::pendingOffer(OfferId id)
{
    for (PendingOffer& offer : pending)
        if (offer.offer.id == id)
            return &offer;
    return nullptr;
}

// Ends a transfer for its reader: its data or its failure goes where its
// purpose says. A transfer that failed while its owner may still answer
// stays, abandoned, to take that answer; otherwise its window is free again.
void X11SelectionReader::State::finish(TransferIt it, Failure why)
{
    Transfer& transfer = *it;
    if (!transfer.abandoned)
        report(transfer, why);
    transfer.data.clear();
    // An owner that sends in pieces may go on sending after a failure.
    const bool ownerGoesOn = why == Failure::TimedOut || why == Failure::Superseded ||
                             (why == Failure::TooLarge && transfer.incremental);
    if (ownerGoesOn && !transfer.abandoned) {
        // A piece too large for the limit is still there: its deletion
        // asks for the next one, which goes unread.
        if (why == Failure::TooLarge)
            xcb_delete_property(connection, transfer.window, property);
        transfer.abandoned = true;
        transfer.deadline = Clock::now() + QuarantineTime;
        return;
    }
    if (why == Failure::TimedOut) {
        // Its owner never finished: a late piece must not reach the next
        // transfer of the window.
        xcb_destroy_window(connection, transfer.window);
    } else {
        xcb_delete_property(connection, transfer.window, property);
        freeWindows.push_back(transfer.window);
    }
    transfers.erase(it);
}

void X11SelectionReader::State::report(Transfer& transfer, Failure why)
{
    if (transfer.purpose == Purpose::Fetch) {
        if (why == Failure::None)
            callbacks.received(transfer.offer, transfer.format, transfer.data);
        else
            callbacks.failed(transfer.offer, transfer.format, why);
        return;
    }
    PendingOffer* offer = pendingOffer(transfer.offer);
    if (!offer)
        return;
    if (transfer.purpose == Purpose::Targets && why == Failure::None) {
        const auto* list = reinterpret_cast<const xcb_atom_t*>(transfer.data.constData());
        offer->offer.formats = atomNames(
            std::vector<xcb_atom_t>(list, list + transfer.data.size() / sizeof(xcb_atom_t)));
        if (offer->offer.id == newest)
            newestFormats = offer->offer.formats;
    } else if (transfer.purpose == Purpose::ReadAhead && why == Failure::None) {
        offer->offer.data.insert(transfer.format, transfer.data);
    } else if (transfer.purpose == Purpose::ReadAhead && why == Failure::Refused) {
        offer->offer.data.insert(transfer.format, QByteArray());
    } else {
        // The owner had listed its formats: its copy was being read.
        const bool begun = transfer.purpose == Purpose::ReadAhead;
        offer->offer.failure = begun && why == Failure::Superseded ? Failure::Overtaken : why;
        offer->done = true;
        return;
    }
    readAhead(*offer);
}

void X11SelectionReader::State::readAhead(PendingOffer& offer)
{
    while (offer.plan) {
        const QString format = offer.plan(offer.offer.formats, offer.offer.data);
        if (format.isEmpty() || offer.asked.contains(format))
            break;
        offer.asked.insert(format);
        if (!offer.offer.formats.contains(format)) {
            offer.offer.data.insert(format, QByteArray());
            continue;
        }
        // A request now would reach the newer owner. This one has listed
        // its formats already, so its loss is told.
        if (offer.offer.id != newest) {
            offer.offer.failure = Failure::Overtaken;
            break;
        }
        if (start(offer.offer.id, format, atom(format), Purpose::ReadAhead, offer.timeoutMs))
            return;
        offer.offer.failure = Failure::Broken;
        break;
    }
    offer.done = true;
}

// The property's value, deleted from the window (which asks an owner that
// sends in pieces for the next one). No more than just past the transfer's
// size limit is read: a longer value stays, with its bytes_after.
ReplyPtr<xcb_get_property_reply_t> X11SelectionReader::State::takeProperty(const Transfer& transfer)
{
    const auto words = uint32_t(std::min<qsizetype>(transfer.limit / 4 + 1, UINT32_MAX / 4));
    return ReplyPtr<xcb_get_property_reply_t>(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 1, transfer.window, property,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, words),
                               nullptr));
}

void X11SelectionReader::State::selectionNotify(const xcb_selection_notify_event_t& event)
{
    if (event.selection != clipboard)
        return;
    const auto it = std::find_if(transfers.begin(), transfers.end(), [&](const Transfer& t) {
        return t.window == event.requestor && !t.answered;
    });
    if (it == transfers.end())
        return;
    it->answered = true;
    if (event.property == XCB_ATOM_NONE) {
        finish(it, Failure::Refused);
        return;
    }
    const ReplyPtr<xcb_get_property_reply_t> reply = takeProperty(*it);
    if (!reply) {
        finish(it, Failure::Broken);
        return;
    }
    const int length = xcb_get_property_value_length(reply.get());
    if (reply->type == incr) {
        // The owner sends its data in pieces, each one once the property
        // has been deleted (as reading it did). It starts with the least
        // it will send.
        it->incremental = true;
        if (it->abandoned)
            return;
        const qsizetype least =
            length >= 4 ? *static_cast<const uint32_t*>(xcb_get_property_value(reply.get())) : 0;
        if (least > it->limit) {
            finish(it, Failure::TooLarge);
            return;
        }
        it->data.reserve(least);
        it->deadline = Clock::now() + std::chrono::milliseconds(it->timeoutMs);
        return;
    }
    if (it->abandoned) {
        finish(it, Failure::None);
        return;
    }
    if (reply->bytes_after > 0 || length > it->limit) {
        finish(it, Failure::TooLarge);
        return;
    }
    it->data = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    finish(it, Failure::None);
}

void X11SelectionReader::State::propertyNotify(const xcb_property_notify_event_t& event)
{
    if (event.atom != property || event.state != XCB_PROPERTY_NEW_VALUE)
        return;
    const auto it = std::find_if(transfers.begin(), transfers.end(), [&](const Transfer& t) {
        return t.window == event.window && t.incremental;
    });
    if (it == transfers.end())
        return;
    // The pieces of an abandoned transfer are deleted unread, which asks for
    // the next one all the same, until the empty one ends it.
    if (it->abandoned) {
        if (!dropPiece(it->window))
            finish(it, Failure::None);
        return;
    }
    const ReplyPtr<xcb_get_property_reply_t> reply = takeProperty(*it);
    if (!reply) {
        finish(it, Failure::Broken);
        return;
    }
    const int length = xcb_get_property_value_length(reply.get());
    if (length == 0) {
        finish(it, Failure::None);
        return;
    }
    if (reply->bytes_after > 0 || length > it->limit - it->data.size()) {
        finish(it, Failure::TooLarge);
        return;
    }
    // Grown by doubling, but never past the limit, so that the memory an
    // owner can make this take is the limit's.
    QByteArray& data = it->data;
    if (data.capacity() - data.size() < length)
        data.reserve(std::min(std::max(2 * data.size(), data.size() + length), it->limit));
    data.append(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    it->deadline = Clock::now() + std::chrono::milliseconds(it->timeoutMs);
}

// Deletes a piece without reading it; false for the empty piece that ends
// a transfer (or a property that is gone).
bool X11SelectionReader::State::dropPiece(xcb_window_t window)
{
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr));
    if (!reply || reply->bytes_after == 0)
        return false;
    xcb_delete_property(connection, window, property);
    return true;
}

void X11SelectionReader::State::expire(Clock::time_point now)
{
    for (auto it = transfers.begin(); it != transfers.end();) {
        const auto next = std::next(it);
        if (it->deadline <= now)
            finish(it, Failure::TimedOut);
        it = next;
    }
}

int X11SelectionReader::State::msUntilNextDeadline(Clock::time_point now) const
{
    std::optional<Clock::time_point> next;
    for (const Transfer& transfer : transfers)
        if (!next || transfer.deadline < *next)
            next = transfer.deadline;
    if (!next)
        return -1;
    if (*next <= now)
        return 0;
    return int(std::chrono::ceil<std::chrono::milliseconds>(*next - now).count());
}

void X11SelectionReader::State::announceReady()
{
    while (!pending.empty() && pending.front().done) {
        callbacks.offered(pending.front().offer);
        pending.pop_front();
    }
}

X11SelectionReader::X11SelectionReader(std::unique_ptr<State> state) : m_state(std::move(state)) {}

X11SelectionReader::~X11SelectionReader() = default;

std::unique_ptr<X11SelectionReader> X11SelectionReader::open(const QByteArray& display,
                                                             Callbacks callbacks, QString* error)
{
    auto state = std::make_unique<State>();
    state->callbacks = std::move(callbacks);
    if (!state->connect(display, error))
        return nullptr;
    State* running = state.get();
    state->thread = std::thread([running] { running->run(); });
    return std::unique_ptr<X11SelectionReader>(new X11SelectionReader(std::move(state)));
}

void X11SelectionReader::setReadAhead(ClipboardSource::ReadAhead plan, int timeoutMs)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->plan = std::move(plan);
    m_state->planTimeoutMs = timeoutMs;
}

void X11SelectionReader::setSizeLimit(qsizetype bytes)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->sizeLimit = bytes;
}

void X11SelectionReader::fetch(OfferId offer, const QString& format, int timeoutMs)
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->commands.push_back({offer, format, timeoutMs});
    }
    m_state->wakeUp();
}
