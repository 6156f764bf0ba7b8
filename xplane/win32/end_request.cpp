#include "end_request.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> requested{false};
HANDLE answered = nullptr;

// On its own thread. After a close, Windows ends the process once this
// returns, at most about 5 s later: it waits up to 3 s for the unsubscribing.
BOOL WINAPI OnControl(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT)
        return FALSE;
    requested = true;
    if (type == CTRL_CLOSE_EVENT)
        WaitForSingleObject(answered, 3000);
    return TRUE;
}

} // namespace

void CatchEndRequests()
{
    answered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnControl, TRUE);
}

bool EndRequested()
{
    return requested;
}

void EndRequestAnswered()
{
    if (answered != nullptr)
        SetEvent(answered);
}
