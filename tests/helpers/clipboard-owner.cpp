// Test helper: owns the X11 clipboard, with several formats at once (which
// xclip cannot do), and answers as told: promptly, late, never, or by
// starting to send in pieces (INCR) and stopping. It serves until it is
// stopped (at the latest two minutes after its last ownership).
//
// Usage: clipboard-owner [OPTIONS] TEXT [TYPE=VALUE ...]
//   --delay=MS        every answer comes MS ms late
//   --silent          answers nothing, not even the list of formats
//   --silent-text     lists its formats, never sends the text
//   --withhold=TYPE   lists TYPE, never sends it
//   --chunk=BYTES     texts longer than this go in pieces (default 262144)
//   --incr-stop       sends the first piece of a text in pieces, then stops
//   --incr-endless    sends a text in pieces without end (the text again
//                     and again), as a never-ending source would
//   --retake=MS       takes the clipboard again every MS ms
//   --copy-again      takes the clipboard again, from a new window, the
//                     moment it has answered the first request for its
//                     formats (as a program copying twice 2 ms apart)
//   --burst=N         takes the clipboard N times, INTERVAL apart, each time
//   --interval=MS     from a window of its own (as N programs would), the
//   --size=BYTES      i-th text being "[[TEXT-i]] filler [[TEXT-i]]" of
//                     BYTES bytes (i from 1, five digits)
// Prints "ready" once it owns the clipboard, after a burst "done", and
// "asked TARGET" for each request it gets.
// Like xclip, it answers any request that reaches it, whatever its time.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <poll.h>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options
{
    int delayMs = 0;
    bool silent = false;
    bool silentText = false;
    std::vector<std::string> withheld;
    size_t chunk = 262144;
    bool incrStop = false;
    bool incrEndless = false;
    int retakeMs = 0;
    bool copyAgain = false;
    int burst = 0;
    int intervalMs = 20;
    size_t size = 0;
    std::string text;
    std::vector<std::pair<std::string, std::string>> extra;
};

// One piece-by-piece answer in progress.
struct Incremental
{
    xcb_window_t requestor;
    xcb_atom_t property;
    xcb_atom_t type;
    std::string data;
    size_t sent = 0;
};

// An answer waiting for its delay.
struct Delayed
{
    Clock::time_point due;
    xcb_selection_request_event_t request;
};

struct Owner
{
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    Options options;
    std::vector<xcb_window_t> windows;
    std::vector<std::string> texts; // one per window
    std::map<std::string, xcb_atom_t> atoms;
    std::vector<Incremental> incremental;
    std::vector<Delayed> delayed;
    // Whether the formats were asked for (and answered) once.
    bool targetsAnswered = false;

    xcb_atom_t atom(const std::string& name)
    {
        const auto known = atoms.find(name);
        if (known != atoms.end())
            return known->second;
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        atoms[name] = result;
        return result;
    }

    std::string atomName(xcb_atom_t a)
    {
        for (const auto& [name, value] : atoms)
            if (value == a)
                return name;
        xcb_get_atom_name_reply_t* reply =
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, a), nullptr);
        std::string name;
        if (reply)
            name.assign(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply));
        std::free(reply);
        atoms[name] = a;
        return name;
    }

    bool isTextTarget(const std::string& name) const
    {
        return name == "UTF8_STRING" || name == "text/plain;charset=utf-8" || name == "STRING" ||
               name == "TEXT" || name == "text/plain";
    }

    bool withheld(const std::string& name) const
    {
        return std::find(options.withheld.begin(), options.withheld.end(), name) !=
               options.withheld.end();
    }

    void notify(const xcb_selection_request_event_t& request, xcb_atom_t property)
    {
        xcb_selection_notify_event_t event{};
        event.response_type = XCB_SELECTION_NOTIFY;
        event.time = request.time;
        event.requestor = request.requestor;
        event.selection = request.selection;
        event.target = request.target;
        event.property = property;
        xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
    }

    void answer(const xcb_selection_request_event_t& request)
    {
        const auto index =
            std::find(windows.begin(), windows.end(), request.owner) - windows.begin();
        if (size_t(index) >= windows.size())
            return;
        const xcb_atom_t property =
            request.property == XCB_ATOM_NONE ? request.target : request.property;
        const std::string target = atomName(request.target);
        if (target == "TARGETS") {
            std::vector<xcb_atom_t> list = {atom("TARGETS"),     atom("TIMESTAMP"),
                                            atom("UTF8_STRING"), atom("text/plain;charset=utf-8"),
                                            atom("STRING"),      atom("TEXT")};
            for (const auto& [type, value] : options.extra)
                list.push_back(atom(type));
            for (const std::string& type : options.withheld)
                list.push_back(atom(type));
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                XCB_ATOM_ATOM, 32, uint32_t(list.size()), list.data());
            notify(request, property);
            if (options.copyAgain && !targetsAnswered) {
                windows.push_back(newWindow());
                texts.push_back(texts[size_t(index)]);
                own(windows.back());
            }
            targetsAnswered = true;
            return;
        }
        if (withheld(target) || (options.silentText && isTextTarget(target)))
            return;
        std::optional<std::string> data;
        if (isTextTarget(target))
            data = texts[index];
        for (const auto& [type, value] : options.extra)
            if (type == target)
                data = value;
        if (!data) {
            notify(request, XCB_ATOM_NONE);
            return;
        }
        const xcb_atom_t type = isTextTarget(target) ? atom("UTF8_STRING") : request.target;
        if (data->size() > options.chunk || (options.incrEndless && isTextTarget(target))) {
            const uint32_t size = uint32_t(data->size());
            const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &events);
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property, atom("INCR"),
                                32, 1, &size);
            incremental.push_back({request.requestor, property, type, *data, 0});
        } else {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property, type, 8,
                                uint32_t(data->size()), data->data());
        }
        notify(request, property);
    }

    // The requestor deleted the property: the next piece, or the empty one
    // that ends the transfer.
    void nextPiece(const xcb_property_notify_event_t& event)
    {
        const auto it = std::find_if(incremental.begin(), incremental.end(), [&](const auto& t) {
            return t.requestor == event.window && t.property == event.atom;
        });
        if (it == incremental.end() || (options.incrStop && it->sent > 0))
            return;
        if (options.incrEndless && it->sent == it->data.size())
            it->sent = 0;
        const size_t length = std::min(options.chunk, it->data.size() - it->sent);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, it->requestor, it->property, it->type, 8,
                            uint32_t(length), it->data.data() + it->sent);
        it->sent += length;
        if (length == 0)
            incremental.erase(it);
    }

    void handle(xcb_generic_event_t* event)
    {
        switch (event->response_type & 0x7f) {
        case XCB_SELECTION_REQUEST: {
            const auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
            std::printf("asked %s\n", atomName(request.target).c_str());
            std::fflush(stdout);
            if (options.silent)
                break;
            if (options.delayMs > 0)
                delayed.push_back(
                    {Clock::now() + std::chrono::milliseconds(options.delayMs), request});
            else
                answer(request);
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto& notify = *reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (notify.state == XCB_PROPERTY_DELETE)
                nextPiece(notify);
            break;
        }
        default:
            break;
        }
    }

    xcb_window_t newWindow()
    {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    }

    void own(xcb_window_t window)
    {
        xcb_set_selection_owner(c, window, atom("CLIPBOARD"), XCB_CURRENT_TIME);
        xcb_get_input_focus_reply_t* sync =
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
        std::free(sync);
    }
};

std::string burstText(const std::string& tag, int number, size_t size)
{
    char marker[64];
    std::snprintf(marker, sizeof marker, "[[%s-%05d]]", tag.c_str(), number);
    const std::string line = "The quick brown fox jumps over the lazy dog 0123456789 abcdefgh\n";
    const size_t fixed = 2 * std::strlen(marker) + 2;
    const size_t wanted = size > fixed ? size - fixed : 0;
    std::string filler;
    while (filler.size() < wanted)
        filler += line;
    filler.resize(wanted);
    return std::string(marker) + ' ' + filler + ' ' + marker;
}

bool parse(int argc, char** argv, Options& options)
{
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* name) -> std::optional<std::string> {
            const std::string prefix = std::string(name) + '=';
            if (arg.compare(0, prefix.size(), prefix) == 0)
                return arg.substr(prefix.size());
            return std::nullopt;
        };
        if (arg == "--silent")
            options.silent = true;
        else if (arg == "--silent-text")
            options.silentText = true;
        else if (arg == "--incr-stop")
            options.incrStop = true;
        else if (arg == "--incr-endless")
            options.incrEndless = true;
        else if (arg == "--copy-again")
            options.copyAgain = true;
        else if (auto v = value("--delay"))
            options.delayMs = std::atoi(v->c_str());
        else if (auto v = value("--withhold"))
            options.withheld.push_back(*v);
        else if (auto v = value("--chunk"))
            options.chunk = size_t(std::max(1L, std::atol(v->c_str())));
        else if (auto v = value("--retake"))
            options.retakeMs = std::atoi(v->c_str());
        else if (auto v = value("--burst"))
            options.burst = std::atoi(v->c_str());
        else if (auto v = value("--interval"))
            options.intervalMs = std::atoi(v->c_str());
        else if (auto v = value("--size"))
            options.size = size_t(std::atol(v->c_str()));
        else
            return false;
    }
    if (i >= argc)
        return false;
    options.text = argv[i++];
    for (; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (equals && equals != argv[i])
            options.extra.emplace_back(std::string(argv[i], size_t(equals - argv[i])),
                                       std::string(equals + 1));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Owner owner;
    if (!parse(argc, argv, owner.options)) {
        std::fprintf(stderr, "usage: clipboard-owner [OPTIONS] TEXT [TYPE=VALUE ...]\n");
        return 2;
    }
    int screen = 0;
    owner.c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(owner.c)) {
        std::fprintf(stderr, "clipboard-owner: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(owner.c));
    for (int i = 0; i < screen; ++i)
        xcb_screen_next(&screens);
    owner.root = screens.data->root;

    const Options& options = owner.options;
    const int ownerships = std::max(1, options.burst);
    for (int i = 1; i <= ownerships; ++i) {
        owner.windows.push_back(owner.newWindow());
        owner.texts.push_back(options.burst > 0 ? burstText(options.text, i, options.size)
                                                : options.text);
    }
    const Clock::time_point start = Clock::now();
    int taken = 0;
    Clock::time_point lastOwnership = start;
    const auto takeNext = [&] {
        owner.own(owner.windows[size_t(taken)]);
        lastOwnership = Clock::now();
        if (++taken == 1)
            std::printf("ready\n");
        if (options.burst > 0 && taken == ownerships)
            std::printf("done\n");
        std::fflush(stdout);
    };
    takeNext();

    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now - lastOwnership > std::chrono::minutes(2))
            return 0;
        // What is due next: the next ownership of a burst or a retake, a
        // delayed answer.
        std::optional<Clock::time_point> due;
        if (taken < ownerships)
            due = start + std::chrono::milliseconds(options.intervalMs * taken);
        else if (options.retakeMs > 0)
            due = lastOwnership + std::chrono::milliseconds(options.retakeMs);
        for (const Delayed& d : owner.delayed)
            if (!due || d.due < *due)
                due = d.due;
        if (due && *due <= now) {
            if (taken < ownerships &&
                now >= start + std::chrono::milliseconds(options.intervalMs * taken)) {
                takeNext();
            } else if (taken == ownerships && options.retakeMs > 0 &&
                       now >= lastOwnership + std::chrono::milliseconds(options.retakeMs)) {
                owner.own(owner.windows.back());
                lastOwnership = now;
            }
            for (auto it = owner.delayed.begin(); it != owner.delayed.end();) {
                if (it->due <= now) {
                    owner.answer(it->request);
                    it = owner.delayed.erase(it);
                } else {
                    ++it;
                }
            }
            xcb_flush(owner.c);
            continue;
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(owner.c)) {
            owner.handle(event);
            std::free(event);
        }
        if (xcb_connection_has_error(owner.c))
            return 0;
        xcb_flush(owner.c);
        pollfd fd = {xcb_get_file_descriptor(owner.c), POLLIN, 0};
        const int timeout =
            due ? int(std::chrono::ceil<std::chrono::milliseconds>(*due - now).count()) : 1000;
        ::poll(&fd, 1, timeout);
    }
}
