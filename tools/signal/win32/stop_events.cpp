#include "stop_events.h"

#include <windows.h>

#include <atomic>
#include <cmath>

namespace {

// Windows ends the process about 5 s after a close, logoff or shutdown event
// (or as soon as its handler returns); a handler waits no longer than this.
constexpr DWORD kLongestHoldMs = 5000;

std::atomic<int> count{0};
std::atomic<int> latest{static_cast<int>(StopEvent::CtrlC)};
std::atomic<bool> ending_soon{false};
HANDLE wake = nullptr;     // auto-reset: set by each request, taken by WaitForStopRequest
HANDLE answered = nullptr; // manual-reset: set once the zeros have gone out

// Counts the request and wakes the main loop. An event that EndsSoon holds
// its caller until the zeros have gone out, since returning lets Windows end
// the process.
void Record(StopEvent event)
{
    latest = static_cast<int>(event);
    if (EndsSoon(event))
        ending_soon = true;
    ++count;
    SetEvent(wake);
    if (EndsSoon(event))
        WaitForSingleObject(answered, kLongestHoldMs);
}

// Runs on a thread that Windows starts for each event. Returning TRUE keeps
// Ctrl+C and Ctrl+Break from ending the process; after a close, logoff or
// shutdown Windows ends it once this returns, so that waits for the zeros.
BOOL WINAPI OnControl(DWORD type)
{
    switch (type) {
    case CTRL_C_EVENT:
        Record(StopEvent::CtrlC);
        return TRUE;
    case CTRL_BREAK_EVENT:
        Record(StopEvent::CtrlBreak);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        Record(StopEvent::ConsoleClose);
        return TRUE;
    case CTRL_LOGOFF_EVENT:
        Record(StopEvent::Logoff);
        return TRUE;
    case CTRL_SHUTDOWN_EVENT:
        Record(StopEvent::Shutdown);
        return TRUE;
    default:
        return FALSE;
    }
}

// A process that has loaded user32 (shell32 does, for the command line) gets
// no CTRL_LOGOFF_EVENT or CTRL_SHUTDOWN_EVENT: the end of the session comes as
// WM_ENDSESSION to its top-level windows instead, hidden ones included.
LRESULT CALLBACK OnSessionMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_QUERYENDSESSION)
        return TRUE;
    if (message == WM_ENDSESSION) {
        if (wparam)
            Record((lparam & ENDSESSION_LOGOFF) ? StopEvent::Logoff : StopEvent::Shutdown);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// The hidden window's thread. Without a desktop (a service, or Wine without a
// display) there is no window, and the console events are all there is.
DWORD WINAPI ListenForSessionEnd(void*)
{
    WNDCLASSW kind = {};
    kind.lpfnWndProc = OnSessionMessage;
    kind.hInstance = GetModuleHandleW(nullptr);
    kind.lpszClassName = L"kinemora-signal session end";
    if (!RegisterClassW(&kind))
        return 0;
    // A message-only window would hear no broadcasts: this one is a hidden popup.
    if (!CreateWindowExW(0, kind.lpszClassName, L"kinemora-signal", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         kind.hInstance, nullptr))
        return 0;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

} // namespace

void CatchStopRequests()
{
    wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    answered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnControl, TRUE);
    HANDLE thread = CreateThread(nullptr, 0, ListenForSessionEnd, nullptr, 0, nullptr);
    if (thread)
        CloseHandle(thread);
}

StopRequests StopRequestsSoFar()
{
    StopRequests requests;
    requests.count = count.load();
    requests.latest = static_cast<StopEvent>(latest.load());
    requests.ending_soon = ending_soon.load();
    return requests;
}

void WaitForStopRequest(double seconds)
{
    if (seconds <= 0.0)
        return;
    // Whole milliseconds, at least one: a wait that ends up to a millisecond
    // early is followed by one of a millisecond rather than spun away.
    const double milliseconds = std::floor(seconds * 1000.0);
    WaitForSingleObject(wake, milliseconds < 1.0 ? 1 : static_cast<DWORD>(milliseconds));
}

void StopRequestsAnswered()
{
    SetEvent(answered);
}

// Windows has no request to suspend a console program: nothing asks for this.
void Suspend() {}
