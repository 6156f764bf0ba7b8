// monitor_probe: drives the plug-in's monitor window from inside its process
// for tests/e2e/test_monitor.py and prints what it finds as key=value lines.
// Every wait is bounded; the driver decides what passes.
//
//   monitor_probe window      shows the window over a known snapshot, waits
//                             for a line on stdin, then closes it by hand
//   monitor_probe lifecycle   start and stop in every order
//   monitor_probe race        a close by hand and a stop, 200 times over
//   monitor_probe dll PATH EDITION
//                             the plug-in at PATH (UTF-8) for Aerofly FS
//                             EDITION (2 or 4: whose exports it has), with
//                             monitor = on in its settings file: Init,
//                             Shutdown, unload, load again; then an unload
//                             without Shutdown
//   monitor_probe unload PATH EDITION
//                             the same plug-in unloaded right after Init, 200 times
//   monitor_probe lines       prints the monitor's lines for each snapshot
//                             that stdin gives, one per line (see ParseSnapshot)
#include "monitor.h"
#include "monitor_lines.h"
#include "plugin_state.h"

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kClassName[] = "aerofly_external_dll_sample";
constexpr DWORD kWindowTimeoutMs = 15000;

void Print(const char* key, const std::string& value)
{
    std::printf("%s=%s\n", key, value.c_str());
    std::fflush(stdout);
}

void Print(const char* key, long long value)
{
    Print(key, std::to_string(value));
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// The monitor windows of this process; other programs on the same display do not count.
int CountMonitorWindows(HWND* first = nullptr)
{
    int count = 0;
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, kClassName, nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(found, &pid);
        if (pid != GetCurrentProcessId())
            continue;
        if (count++ == 0 && first)
            *first = found;
    }
    return count;
}

HWND FindMonitorWindow()
{
    HWND hwnd = nullptr;
    CountMonitorWindows(&hwnd);
    return hwnd;
}

// The monitor window once it is shown, or null after timeout_ms.
HWND WaitForShownWindow(DWORD timeout_ms)
{
    const DWORD start = GetTickCount();
    do {
        HWND hwnd = FindMonitorWindow();
        if (hwnd && IsWindowVisible(hwnd))
            return hwnd;
        Sleep(10);
    } while (GetTickCount() - start < timeout_ms);
    return nullptr;
}

template <class Action>
long long MeasureMs(Action action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

std::string Title(HWND hwnd)
{
    char title[256] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    return title;
}

std::string Rect(const RECT& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

int ShowWindowScenario()
{
    plugin_state.RecordFrame(1.0, Vector3d{1000.0, -1000.0, 123.456});
    plugin_state.RecordFrame(2.0, Vector3d{-7.25, 3.0, 0.5});
    plugin_state.RecordFrame(12.5, Vector3d{51.2, 0.0, -1.5});
    for (const std::wstring& line : MonitorLines(plugin_state.CopyOut()))
        Print("line", Narrow(line));

    StartMonitor();
    HWND hwnd = WaitForShownWindow(kWindowTimeoutMs);
    Print("window_shown", hwnd != nullptr);
    if (!hwnd) {
        StopMonitor();
        return 0;
    }
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    Print("title", Title(hwnd));
    Print("window_rect", Rect(window));
    Print("client_origin", std::to_string(origin.x) + " " + std::to_string(origin.y));
    Print("client_size", std::to_string(client.right) + " " + std::to_string(client.bottom));
    Print("screen_width", GetSystemMetrics(SM_CXSCREEN));
    Print("ready", 1);

    char reply[64];
    if (!std::fgets(reply, sizeof reply, stdin))
        Print("stdin_closed", 1);

    // Opened before the close, so that the id cannot be reused by then.
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(hwnd, nullptr));
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    Print("thread_ended_after_close", thread && WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0);
    if (thread)
        CloseHandle(thread);
    Print("windows_after_close", CountMonitorWindows());
    Print("stop_after_close_ms", MeasureMs(StopMonitor));

    plugin_state.RecordFrame(13.0, Vector3d{});
    Print("counter_after_close", plugin_state.CopyOut().counter);
    return 0;
}

int LifecycleScenario()
{
    Print("stop_without_monitor_ms", MeasureMs(StopMonitor));

    // The second start registers the class again, which fails; the window comes all the same.
    for (const char* round : {"first", "second"}) {
        StartMonitor();
        HWND hwnd = WaitForShownWindow(kWindowTimeoutMs);
        if (!hwnd)
            Print((std::string(round) + "_hidden_windows").c_str(), CountMonitorWindows());
        Print((std::string(round) + "_title").c_str(), hwnd ? Title(hwnd) : std::string());
        Print((std::string(round) + "_stop_ms").c_str(), MeasureMs(StopMonitor));
        Print((std::string(round) + "_windows_after_stop").c_str(), CountMonitorWindows());
    }

    StartMonitor();
    const bool shown = WaitForShownWindow(kWindowTimeoutMs) != nullptr;
    StartMonitor();
    Sleep(500);
    Print("double_start_windows", shown ? CountMonitorWindows() : 0);
    StopMonitor();
    Print("double_start_windows_after_stop", CountMonitorWindows());

    // Stops at every stage of the thread: before GDI+, before and during
    // window creation, and once the window shows.
    const DWORD delays_ms[] = {0, 0, 0, 1, 2, 5, 10, 20, 50, 100, 200};
    long long slowest = 0;
    int left = 0;
    for (DWORD delay : delays_ms) {
        StartMonitor();
        Sleep(delay);
        const long long ms = MeasureMs(StopMonitor);
        std::printf("quick_stop after %lu ms: stop took %lld ms\n", static_cast<unsigned long>(delay), ms);
        slowest = ms > slowest ? ms : slowest;
        left += CountMonitorWindows();
    }
    Print("quick_stop_rounds", static_cast<long long>(sizeof delays_ms / sizeof delays_ms[0]));
    Print("quick_stop_slowest_ms", slowest);
    Print("quick_stop_windows_left", left);
    return 0;
}

// The window is closed by hand (WM_CLOSE, as its close box sends) and
// StopMonitor follows at once, so the two race for the thread's end.
int RaceScenario()
{
    constexpr int kRounds = 200;
    long long slowest = 0;
    int shown = 0;
    int left = 0;
    for (int round = 0; round < kRounds; ++round) {
        StartMonitor();
        HWND hwnd = WaitForShownWindow(kWindowTimeoutMs);
        if (hwnd) {
            ++shown;
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
            // Some rounds give the close a head start of up to 2 ms.
            if (round % 3 != 0)
                Sleep(round % 3);
        }
        const long long ms = MeasureMs(StopMonitor);
        slowest = ms > slowest ? ms : slowest;
        left += CountMonitorWindows();
    }
    Print("race_rounds", kRounds);
    Print("race_windows_shown", shown);
    Print("race_slowest_stop_ms", slowest);
    Print("race_windows_left", left);
    return 0;
}

using InitExport = bool (*)(const void*);
using ShutdownExport = void (*)();

// The edition whose exports the plug-in has: "2" or "4".
std::string plugin_edition = "2";

// The plug-in as the simulator drives it: the window comes with Init and goes
// with Shutdown, however often the plug-in is loaded. A missing export ends
// the probe with its name.
template <class Function>
Function Export(HMODULE dll, const char* function)
{
    const std::string name = "Aerofly_FS_" + plugin_edition + "_External_DLL_" + function;
    void* found = reinterpret_cast<void*>(GetProcAddress(dll, name.c_str()));
    if (!found) {
        std::fprintf(stderr, "the plug-in lacks %s\n", name.c_str());
        std::exit(1);
    }
    return reinterpret_cast<Function>(found);
}

int DllScenario(const wchar_t* path)
{
    HMODULE first_base = nullptr;
    for (const char* round : {"first", "second"}) {
        const std::string key = round;
        HMODULE dll = LoadLibraryW(path);
        Print((key + "_loaded").c_str(), dll != nullptr);
        if (!dll)
            return 1;
        auto init = Export<InitExport>(dll, "Init");
        auto shutdown = Export<ShutdownExport>(dll, "Shutdown");
        init(nullptr);
        HWND hwnd = WaitForShownWindow(kWindowTimeoutMs);
        Print((key + "_window_shown").c_str(), hwnd != nullptr);
        Print((key + "_title").c_str(), hwnd ? Title(hwnd) : std::string());
        Print((key + "_shutdown_ms").c_str(), MeasureMs(shutdown));
        Print((key + "_windows_after_shutdown").c_str(), CountMonitorWindows());
        // The image's place is kept taken after the first unload, so that the
        // second load lands elsewhere: code that outlived the first would be gone.
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(dll);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const char*>(dll) + dos->e_lfanew);
        const SIZE_T image_size = nt->OptionalHeader.SizeOfImage;
        FreeLibrary(dll);
        Print((key + "_unloaded").c_str(), GetModuleHandleW(path) == nullptr);
        if (key == "first")
            Print("first_place_kept", VirtualAlloc(dll, image_size, MEM_RESERVE, PAGE_NOACCESS) != nullptr);
        else
            Print("second_moved", dll != first_base);
        first_base = first_base ? first_base : dll;
    }

    // The host lets go of the plug-in without Shutdown: the window's thread
    // keeps it loaded until the window is closed, and then lets it go.
    HMODULE dll = LoadLibraryW(path);
    auto init = Export<InitExport>(dll, "Init");
    init(nullptr);
    HWND hwnd = WaitForShownWindow(kWindowTimeoutMs);
    FreeLibrary(dll);
    Sleep(300);
    Print("no_shutdown_still_loaded", GetModuleHandleW(path) != nullptr);
    Print("no_shutdown_windows", CountMonitorWindows());
    if (hwnd)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (GetModuleHandleW(path) != nullptr && GetTickCount() - start < 10000)
        Sleep(10);
    Print("no_shutdown_unloaded_after_close", GetModuleHandleW(path) == nullptr);
    Print("no_shutdown_windows_after_close", CountMonitorWindows());
    Print("alive", 1);
    return 0;
}

// A host that lets go of the plug-in right after Init, before the monitor's
// thread has had a chance to run, 200 times over: the thread must find its
// code still there. Each round closes the window, which unloads the plug-in.
int UnloadAfterInitScenario(const wchar_t* path)
{
    constexpr int kRounds = 200;
    int shown = 0;
    int unloaded = 0;
    for (int round = 0; round < kRounds; ++round) {
        HMODULE dll = LoadLibraryW(path);
        if (!dll)
            return 1;
        Export<InitExport>(dll, "Init")(nullptr);
        FreeLibrary(dll);
        if (HWND hwnd = WaitForShownWindow(kWindowTimeoutMs)) {
            ++shown;
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
        }
        const DWORD start = GetTickCount();
        while (GetModuleHandleW(path) != nullptr && GetTickCount() - start < kWindowTimeoutMs)
            Sleep(1);
        unloaded += GetModuleHandleW(path) == nullptr;
    }
    Print("unload_rounds", kRounds);
    Print("unload_windows_shown", shown);
    Print("unload_unloaded", unloaded);
    return 0;
}

// One snapshot per input line: COUNTER TIME, then up to 30 triples X Y Z for
// trace[0] onwards; TIME and the components as 16 hex digits of their bits.
bool ParseSnapshot(const char* text, TelemetrySnapshot& dd)
{
    char* end = nullptr;
    dd.counter = static_cast<std::uint32_t>(std::strtoul(text, &end, 10));
    if (end == text)
        return false;
    double* fields[1 + 3 * 30] = {&dd.time};
    for (int i = 0; i < 30; ++i) {
        fields[1 + 3 * i] = &dd.trace[i].x;
        fields[2 + 3 * i] = &dd.trace[i].y;
        fields[3 + 3 * i] = &dd.trace[i].z;
    }
    int parsed = 0;
    for (double* field : fields) {
        const char* start = end;
        const std::uint64_t bits = std::strtoull(start, &end, 16);
        if (end == start)
            break;
        std::memcpy(field, &bits, sizeof bits);
        ++parsed;
    }
    return parsed >= 1 && (parsed - 1) % 3 == 0;
}

int LinesScenario()
{
    char input[4096];
    while (std::fgets(input, sizeof input, stdin)) {
        TelemetrySnapshot dd;
        if (!ParseSnapshot(input, dd)) {
            std::fprintf(stderr, "lines: expected COUNTER TIME [X Y Z]..., got: %s", input);
            return 2;
        }
        for (const std::wstring& line : MonitorLines(dd))
            Print("line", Narrow(line));
        Print("end", 1);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string scenario = argc > 1 ? argv[1] : "";
    if (scenario == "window")
        return ShowWindowScenario();
    if (scenario == "lifecycle")
        return LifecycleScenario();
    if (scenario == "lines")
        return LinesScenario();
    if (scenario == "race")
        return RaceScenario();
    if ((scenario == "dll" || scenario == "unload") && argc > 2) {
        // The path may hold any character: it is taken from the wide command line.
        int count = 0;
        LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
        if (arguments == nullptr || count < 3)
            return 2;
        if (argc > 3)
            plugin_edition = argv[3];
        const int status = scenario == "dll" ? DllScenario(arguments[2]) : UnloadAfterInitScenario(arguments[2]);
        LocalFree(arguments);
        return status;
    }
    std::fprintf(stderr, "usage: monitor_probe window | lifecycle | race | dll PATH EDITION | unload PATH EDITION | "
                 "lines < SNAPSHOTS\n");
    return 2;
}
