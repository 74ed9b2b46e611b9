// The session's end reaches every top-level window as WM_QUERYENDSESSION and
// WM_ENDSESSION, and a console program's as a console event. A hidden
// window of its own hears the first, a console handler the second. Windows
// ends the process once WM_ENDSESSION has been answered, or once the
// console handler returns, so both tell the program before they answer.
#include "platform/TerminationRequests.h"

#include <QMetaObject>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

class WindowsTerminationRequests;

// The one listener of the process, for the console handler; null while
// there is none.
std::atomic<WindowsTerminationRequests*> g_listener{nullptr};
std::atomic<bool> g_requested{false};
// Set once the program says that what the user typed is safe.
std::atomic<bool> g_safe{false};

// How long a console event waits for the program to put the user's text
// safe; Windows ends the process after about five seconds anyway.
constexpr std::chrono::milliseconds ConsoleWait{4500};

const wchar_t* const WindowClass = L"ClipstowSessionEnd";

class WindowsTerminationRequests final : public TerminationRequests
{
public:
    WindowsTerminationRequests()
    {
        WindowsTerminationRequests* none = nullptr;
        if (!g_listener.compare_exchange_strong(none, this))
            return;
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = WindowClass;
        RegisterClassW(&windowClass);
        // Top-level (not message-only): the session's end is broadcast to
        // top-level windows alone.
        m_window = CreateWindowExW(0, WindowClass, L"Clipstow", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                   nullptr, windowClass.hInstance, nullptr);
        SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    }

    ~WindowsTerminationRequests() override
    {
        if (g_listener.load() != this)
            return;
        SetConsoleCtrlHandler(onConsoleEvent, FALSE);
        if (m_window)
            DestroyWindow(m_window);
        g_listener = nullptr;
        g_requested = false;
        g_safe = false;
    }

    WindowsTerminationRequests(const WindowsTerminationRequests&) = delete;
    WindowsTerminationRequests& operator=(const WindowsTerminationRequests&) = delete;

    bool isRequested() const override { return g_listener.load() == this && g_requested; }

    void allowImmediateEnd() override
    {
        if (g_listener.load() == this)
            g_safe = true;
    }

    // On the user-interface thread.
    void tell()
    {
        g_requested = true;
        if (m_told)
            return;
        m_told = true;
        Q_EMIT requested();
    }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        WindowsTerminationRequests* listener = g_listener.load();
        switch (message) {
        case WM_QUERYENDSESSION:
            // Nothing holds the session's end up: the text is set aside
            // when it comes.
            return TRUE;
        case WM_ENDSESSION:
            // The program's orderly end runs inside requested(); the process
            // ends when this returns.
            if (wParam && listener)
                listener->tell();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    // On a thread of the system's.
    static BOOL WINAPI onConsoleEvent(DWORD event)
    {
        WindowsTerminationRequests* listener = g_listener.load();
        if (!listener || g_safe)
            return FALSE; // the system's way: the process ends
        g_requested = true;
        QMetaObject::invokeMethod(
            listener, [listener] { listener->tell(); }, Qt::QueuedConnection);
        // Ctrl+C leaves the program to end by itself; the console's closing
        // and the session's end do not wait for it.
        if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
            return TRUE;
        const auto until = std::chrono::steady_clock::now() + ConsoleWait;
        while (!g_safe && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return FALSE;
    }

    HWND m_window = nullptr;
    bool m_told = false;
};

} // namespace

std::unique_ptr<TerminationRequests> createTerminationRequests()
{
    return std::make_unique<WindowsTerminationRequests>();
}
