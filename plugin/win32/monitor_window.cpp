// The monitor window on Windows: a thread with its own window and message
// loop, redrawn by a 50 ms timer through an off-screen GDI+ bitmap. It meets
// the frame path only in the snapshot's CopyOut.
#include "monitor.h"

#include "monitor_lines.h"
#include "monitor_thread.h"
#include "plugin_state.h"

#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <system_error>
#include <thread>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

void* module_handle = nullptr;

namespace {

constexpr char kTitle[] = "Aerofly External DLL Sample";
constexpr int kWidth = 640;  // outer size, frame included; also the picture's size
constexpr int kHeight = 1080;
constexpr UINT_PTR kRedrawTimer = 0;
constexpr UINT kRedrawPeriodMs = 50;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
static_assert(kStyle == 0x06CF0000, "an overlapped window with a sizing frame, not yet visible");

constexpr ARGB clearcolor = 0xFFDCE8F4; // alpha 255, red 220, green 232, blue 244
constexpr ARGB kBlack = 0xFF000000;
constexpr REAL kFirstLineY = 4.0f;
constexpr double kLineAdvance = 16.0; // pixels; not the font's height

// The id of the monitor thread, published once its message queue exists; 0
// before. StopMonitor posts WM_QUIT to the thread by this id, never to a
// window: the id names the monitor thread until StopMonitor joins it, however
// the window fares.
std::atomic<DWORD> monitor_queue_thread{0};

// Set by StopMonitor. The thread tests it before it creates its window and
// before every wait. Both sides store first and load second, sequentially
// consistent: either the thread sees the request and ends, or StopMonitor
// sees the queue and its WM_QUIT ends the thread's wait.
std::atomic<bool> monitor_stop_requested{false};

// Set by the monitor thread as it ends, cleared by StartMonitor.
std::atomic<bool> monitor_ended{false};

// The monitor thread alone touches these: the window from its creation until
// it is destroyed (null again from WM_DESTROY on), the quit flag set by
// WM_CLOSE, and the GDI+ token.
HWND monitor_hwnd = nullptr;
bool monitor_quit = false;
ULONG_PTR gdiplus_token = 0;

// Draws one line of text at (0, y) and moves y to the next line.
void DrawLine(float& y, GpGraphics* graphics, const MonitorLineBuffer& buf)
{
    GpFontFamily* fontFamily = nullptr;
    GdipCreateFontFamilyFromName(L"Courier New", nullptr, &fontFamily);
    GpFont* font = nullptr;
    GdipCreateFont(fontFamily, 20.0f, FontStyleRegular, UnitPixel, &font);
    GpSolidFill* black = nullptr;
    GdipCreateSolidFill(kBlack, &black);

    const RectF layout(0.0f, y, 0.0f, 0.0f);
    GdipDrawString(graphics, buf.data(), -1, font, &layout, nullptr, black);
    y = static_cast<float>(static_cast<double>(y) + kLineAdvance);

    GdipDeleteBrush(black);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(fontFamily);
}

void DrawValueLine(float& y, GpGraphics* graphics, const wchar_t* label, float value)
{
    MonitorLineBuffer buf;
    FormatValueLine(buf, label, value);
    DrawLine(y, graphics, buf);
}

void DrawVectorLine(float& y, GpGraphics* graphics, const wchar_t* label, const Vector3d& value)
{
    MonitorLineBuffer buf;
    FormatVectorLine(buf, label, value);
    DrawLine(y, graphics, buf);
}

// One picture of the snapshot, composed off screen and drawn with one image draw.
void PaintMonitor(HDC hdc)
{
    GpBitmap* backbuffer = nullptr;
    GdipCreateBitmapFromScan0(kWidth, kHeight, 0, PixelFormat24bppRGB, nullptr, &backbuffer);
    GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(backbuffer, &graphics);
    GdipGraphicsClear(graphics, clearcolor);

    const TelemetrySnapshot dd = plugin_state.CopyOut();
    float y = kFirstLineY;
    ForEachMonitorLine(
        dd, [&](const wchar_t* label, float value) { DrawValueLine(y, graphics, label, value); },
        [&](const wchar_t* label, const Vector3d& value) { DrawVectorLine(y, graphics, label, value); });

    GpGraphics* graphics_final = nullptr;
    GdipCreateFromHDC(hdc, &graphics_final);
    GdipDrawImageI(graphics_final, backbuffer, 0, 0);
    GdipDeleteGraphics(graphics_final);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(backbuffer);
}

LRESULT CALLBACK MonitorWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_DESTROY:
        monitor_hwnd = nullptr;
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        PaintMonitor(hdc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_CLOSE:
        // Default processing destroys the window.
        monitor_quit = true;
        return DefWindowProcA(hwnd, message, wparam, lparam);
    case WM_TIMER:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

// Results of GDI+ and window calls are not looked at: a failing step leaves
// the monitor without its window or picture, never the frame path. self is
// the thread's reference on the module that holds its code, taken for it by
// StartMonitor; the thread lets go of it as it ends.
void MonitorThreadMain(HINSTANCE module, HMODULE self)
{
    char classname[] = "aerofly_external_dll_sample";

    GdiplusStartupInput startupinput; // version 1, no callback, nothing suppressed
    GdiplusStartup(&gdiplus_token, &startupinput, nullptr);

    // Registered anew for every monitor and unregistered as it ends, so that
    // a plug-in loaded again never meets a class whose procedure is gone.
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MonitorWndProc;
    wc.hInstance = module;
    wc.hIcon = LoadIconA(nullptr, IDI_ASTERISK);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BACKGROUND + 1));
    wc.lpszClassName = classname;
    RegisterClassA(&wc);

    // The thread's message queue exists from here on, so a WM_QUIT posted to
    // the thread from now waits for the loop below.
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    monitor_queue_thread = GetCurrentThreadId();

    monitor_quit = false;
    if (!monitor_stop_requested) {
        monitor_hwnd = CreateWindowExA(0, classname, kTitle, kStyle, CW_USEDEFAULT, 0, kWidth, kHeight, nullptr,
                                       nullptr, module, nullptr);
        // Without a window nothing would ever close it, so there is no loop.
        if (monitor_hwnd) {
            SetWindowPos(monitor_hwnd, HWND_TOP, GetSystemMetrics(SM_CXSCREEN) - kWidth, 0, kWidth, kHeight,
                         SWP_SHOWWINDOW);
            SetTimer(monitor_hwnd, kRedrawTimer, kRedrawPeriodMs, nullptr);

            // All of the thread's messages: StopMonitor's WM_QUIT comes to the
            // thread, not to the window, and so does the one WM_DESTROY posts.
            while (!monitor_quit && !monitor_stop_requested) {
                const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
                if (got == 0 || got == -1)
                    break;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            // After WM_CLOSE the window is gone already and monitor_hwnd is null.
            if (monitor_hwnd)
                DestroyWindow(monitor_hwnd);
            monitor_hwnd = nullptr;
        }
    }

    UnregisterClassA(classname, module);
    GdiplusShutdown(gdiplus_token);
    monitor_ended = true;
    if (self == nullptr)
        return;
    // StopMonitor joins while the host holds the module (it is inside
    // Shutdown), so letting go here unloads nothing. Otherwise this may be
    // the last reference: the thread must not return into code that is gone.
    if (monitor_stop_requested) {
        FreeLibrary(self);
        return;
    }
    FreeLibraryAndExitThread(self, 0);
}

} // namespace

void StartMonitor()
{
    if (monitor_thread.joinable())
        return;
    monitor_stop_requested = false;
    monitor_ended = false;
    // The reference that keeps the module loaded while the monitor runs is
    // taken here, before the thread exists: a host may unload the plug-in
    // right after Init, before the new thread has run a single instruction,
    // and the thread must not start in code that is gone.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&MonitorWndProc), &self);
    try {
        monitor_thread = std::thread(MonitorThreadMain, static_cast<HINSTANCE>(module_handle), self);
    } catch (const std::system_error&) {
        // No thread to be had: the monitor stays idle, and the module is the host's alone.
        if (self != nullptr)
            FreeLibrary(self);
    }
}

bool MonitorRunning()
{
    return monitor_thread.joinable() && !monitor_ended;
}

void ReleaseMonitorAtUnload()
{
    if (monitor_thread.joinable())
        monitor_thread.detach();
}

void StopMonitor()
{
    if (!monitor_thread.joinable() || monitor_thread.get_id() == std::this_thread::get_id())
        return;
    monitor_stop_requested = true;
    if (const DWORD thread = monitor_queue_thread)
        PostThreadMessageA(thread, WM_QUIT, 0, 0);
    monitor_thread.join();
    monitor_queue_thread = 0;
    monitor_stop_requested = false;
}
