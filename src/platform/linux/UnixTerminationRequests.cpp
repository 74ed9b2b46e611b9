#include "platform/TerminationRequests.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array Signals{SIGTERM, SIGHUP, SIGINT};

// The write end the handler uses; -1 while nobody listens.
volatile std::sig_atomic_t g_writeEnd = -1;
// Set by the first request, for work that is to stop at once.
volatile std::sig_atomic_t g_requested = 0;

// Only what is safe in a signal handler: the flag, and one byte to the
// socket, read on the user-interface thread. Later signals while the
// program ends come here as well and change nothing: a session's end sends
// SIGTERM and SIGHUP at once, and the second must not cut off the first's
// orderly end before the user's text is safe.
void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    g_requested = 1;
    const char byte = char(signalNumber);
    if (g_writeEnd >= 0) {
        // A full socket already holds a request: nothing is lost.
        [[maybe_unused]] const ssize_t written = ::write(int(g_writeEnd), &byte, 1);
    }
    errno = savedErrno;
}

void restoreDefaultActions()
{
    struct sigaction defaults
    {
    };
    defaults.sa_handler = SIG_DFL;
    sigemptyset(&defaults.sa_mask);
    for (int number : Signals)
        ::sigaction(number, &defaults, nullptr);
}

class UnixTerminationRequests final : public TerminationRequests
{
public:
    UnixTerminationRequests()
    {
        if (g_writeEnd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0,
                                            m_ends.data()) != 0)
            return;
        m_notifier = new QSocketNotifier(m_ends[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (::read(m_ends[0], bytes, sizeof bytes) > 0) {
            }
            if (m_told)
                return;
            m_told = true;
            Q_EMIT requested();
        });
        g_writeEnd = m_ends[1];
        struct sigaction action
        {
        };
        action.sa_handler = onSignal;
        // One at a time: a second signal waits for the first's byte.
        sigemptyset(&action.sa_mask);
        for (int number : Signals)
            sigaddset(&action.sa_mask, number);
        action.sa_flags = SA_RESTART;
        for (int number : Signals)
            ::sigaction(number, &action, nullptr);
    }

    ~UnixTerminationRequests() override
    {
        if (!m_notifier)
            return;
        // The system's own handling again, before the socket goes.
        restoreDefaultActions();
        g_writeEnd = -1;
        g_requested = 0;
        ::close(m_ends[0]);
        ::close(m_ends[1]);
    }

    UnixTerminationRequests(const UnixTerminationRequests&) = delete;
    UnixTerminationRequests& operator=(const UnixTerminationRequests&) = delete;

    bool isRequested() const override { return m_notifier && g_requested != 0; }

    void allowImmediateEnd() override
    {
        if (m_notifier)
            restoreDefaultActions();
    }

private:
    std::array<int, 2> m_ends{-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    bool m_told = false;
};

} // namespace

std::unique_ptr<TerminationRequests> createTerminationRequests()
{
    return std::make_unique<UnixTerminationRequests>();
}
