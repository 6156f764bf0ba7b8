// The monitor window on Windows: a thread with its own window and message
// loop, redrawn by a 50 ms timer through an off-screen GDI+ bitmap. It meets
// the frame path only in the snapshot's CopyOut.
#include "monitor.h"

#include "module_handle.h"
#include "monitor_lines.h"
#include "monitor_thread.h"
#include "telemetry_snapshot.h"

#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <system_error>
#include <thread>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

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

// The window from its creation until the thread's clean-up; read by StopMonitor.
std::atomic<HWND> monitor_hwnd{nullptr};

// Set by StopMonitor. The thread tests it before it creates its window and
// before every wait, so a stop that comes before the window exists (and so
// cannot post WM_QUIT) still ends the thread. Both sides store first and load
// second, sequentially consistent: either the thread sees the request, or
// StopMonitor sees the window and posts WM_QUIT to it.
std::atomic<bool> monitor_stop_requested{false};

// Set by WM_CLOSE; the monitor thread alone touches these two.
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

    const TelemetrySnapshot dd = telemetry_snapshot.CopyOut();
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
// the monitor without its window or picture, never the frame path.
void MonitorThreadMain(HINSTANCE module)
{
    char classname[] = "aerofly_external_dll_sample";

    GdiplusStartupInput startupinput; // version 1, no callback, nothing suppressed
    GdiplusStartup(&gdiplus_token, &startupinput, nullptr);

    // Fails harmlessly when a monitor started before: the class stays registered.
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MonitorWndProc;
    wc.hInstance = module;
    wc.hIcon = LoadIconA(nullptr, IDI_ASTERISK);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BACKGROUND + 1));
    wc.lpszClassName = classname;
    RegisterClassA(&wc);

    monitor_quit = false;
    if (!monitor_stop_requested) {
        HWND hwnd = CreateWindowExA(0, classname, kTitle, kStyle, CW_USEDEFAULT, 0, kWidth, kHeight, nullptr,
                                    nullptr, module, nullptr);
        monitor_hwnd = hwnd;
        // Without a window no quit message could ever arrive, so there is no loop.
        if (hwnd) {
            SetWindowPos(hwnd, HWND_TOP, GetSystemMetrics(SM_CXSCREEN) - kWidth, 0, kWidth, kHeight,
                         SWP_SHOWWINDOW);
            SetTimer(hwnd, kRedrawTimer, kRedrawPeriodMs, nullptr);

            // GetMessageA gives -1 once the window is gone; that ends the loop too.
            MSG msg;
            while (!monitor_quit && !monitor_stop_requested) {
                const BOOL got = GetMessageA(&msg, hwnd, 0, 0);
                if (got == 0 || got == -1)
                    break;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            // Has no effect after WM_CLOSE, which destroyed the window already.
            DestroyWindow(hwnd);
        }
        monitor_hwnd = nullptr;
    }

    GdiplusShutdown(gdiplus_token);
}

} // namespace

void StartMonitor()
{
    if (monitor_thread.joinable())
        return;
    monitor_stop_requested = false;
    try {
        monitor_thread = std::thread(MonitorThreadMain, static_cast<HINSTANCE>(module_handle));
    } catch (const std::system_error&) {
        // No thread to be had: the monitor stays idle.
    }
}

void StopMonitor()
{
    if (!monitor_thread.joinable() || monitor_thread.get_id() == std::this_thread::get_id())
        return;
    monitor_stop_requested = true;
    if (HWND hwnd = monitor_hwnd)
        PostMessageA(hwnd, WM_QUIT, 0, 0);
    monitor_thread.join();
    monitor_stop_requested = false;
}
