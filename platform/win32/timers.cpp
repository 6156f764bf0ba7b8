#include "timers.h"

#include <windows.h>
#include <timeapi.h>

namespace {

// From Windows' published interface; defined here under our own names, since
// older mingw-w64 headers lack them. ProcessPowerThrottling in the
// PROCESS_INFORMATION_CLASS enumeration is 4; PROCESS_POWER_THROTTLING_STATE
// has version 1.
constexpr int kProcessPowerThrottling = 4;
constexpr ULONG kThrottlingStateVersion = 1;
constexpr ULONG kThrottleExecutionSpeed = 0x1;
constexpr ULONG kThrottleIgnoreTimerResolution = 0x4; // Windows 11 and later

struct PowerThrottlingState {
    ULONG Version;
    ULONG ControlMask; // the kinds of throttling this call decides on
    ULONG StateMask;   // which of them stay on: none
};

using SetProcessInformationCall = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);

// False with the last error when Windows refuses.
bool OptOut(SetProcessInformationCall call, ULONG kinds, DWORD& error)
{
    PowerThrottlingState state{kThrottlingStateVersion, kinds, 0};
    if (call(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state))
        return true;
    error = GetLastError();
    return false;
}

// What Windows' error code means here.
std::string Meaning(std::uint32_t error)
{
    switch (error) {
    case ERROR_INVALID_PARAMETER:
        return "this Windows does not know the opt-out; before Windows 10 version 1709 it has no such "
               "throttling either";
    case ERROR_ACCESS_DENIED:
        return "access denied: a policy of this PC keeps the throttling on";
    default:
        return "see Windows' list of system error codes";
    }
}

} // namespace

void UseMillisecondTimers()
{
    timeBeginPeriod(1);
}

ThrottlingResult OptOutOfPowerThrottling()
{
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto call = kernel == nullptr ? nullptr
                                        : reinterpret_cast<SetProcessInformationCall>(reinterpret_cast<void*>(
                                              GetProcAddress(kernel, "SetProcessInformation")));
    if (call == nullptr)
        return {ThrottlingOptOut::NotAvailable, 0};
    DWORD error = 0;
    if (OptOut(call, kThrottleExecutionSpeed | kThrottleIgnoreTimerResolution, error))
        return {ThrottlingOptOut::Done, 0};
    // Windows 10 knows only the execution speed and refuses the pair.
    if (OptOut(call, kThrottleExecutionSpeed, error))
        return {ThrottlingOptOut::SpeedOnly, 0};
    // Wine answers that it does not implement the call.
    if (error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED)
        return {ThrottlingOptOut::NotAvailable, error};
    return {ThrottlingOptOut::Refused, error};
}

std::string DescribeThrottlingOptOut(const ThrottlingResult& result)
{
    const std::string lead = "power throttling: ";
    switch (result.outcome) {
    case ThrottlingOptOut::NotNeeded:
        break;
    case ThrottlingOptOut::Done:
        return lead + "opted out: Windows keeps this program's speed and its 1 ms timers while its window is "
                      "minimised or hidden";
    case ThrottlingOptOut::SpeedOnly:
        return lead + "opted out of slowing down only: this Windows does not know the opt-out for timers, "
                      "which only Windows 11 and later throttle";
    case ThrottlingOptOut::Refused:
        return lead + "Windows refused the opt-out with error " + std::to_string(result.error) + " (" +
               Meaning(result.error) + "); the program runs as before, but while its window is minimised or "
                                       "hidden Windows may slow it and its datagrams may come unevenly: keep its "
                                       "window visible, and report this line with your Windows version";
    case ThrottlingOptOut::NotAvailable:
        if (result.error != 0)
            return lead + "no opt-out on this system (SetProcessInformation answered error " +
                   std::to_string(result.error) + ": not implemented, as under Wine); nothing to do";
        return lead + "no opt-out on this Windows (it has no SetProcessInformation, nor such throttling); "
                      "nothing to do";
    }
    return "";
}
