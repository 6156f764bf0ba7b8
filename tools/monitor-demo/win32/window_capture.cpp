#include "window_capture.h"

#include <windows.h>
#include <gdiplus.h>

#include <cwchar>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The monitor window of this process; another program's on the same desktop does not count.
HWND FindMonitorWindow()
{
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, "aerofly_external_dll_sample", nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(found, &pid);
        if (pid == GetCurrentProcessId())
            return found;
    }
    return nullptr;
}

// GDI+ names its encoders by MIME type; the CLSID is looked up, not assumed.
bool FindPngEncoder(CLSID& clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Ok || bytes == 0)
        return false;
    std::vector<ImageCodecInfo> codecs(bytes / sizeof(ImageCodecInfo) + 1);
    if (GdipGetImageEncoders(count, bytes, codecs.data()) != Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// Encodes bitmap as PNG into path; an empty text on success.
std::string WritePng(HBITMAP bitmap, const std::string& path)
{
    std::wstring wide_path(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide_path[0], static_cast<int>(wide_path.size()));

    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    if (GdiplusStartup(&token, &input, nullptr) != Ok)
        return "GDI+ did not start";
    std::string error;
    CLSID png;
    GpBitmap* image = nullptr;
    if (!FindPngEncoder(png)) {
        error = "GDI+ has no PNG encoder here";
    } else if (GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Ok) {
        error = "GDI+ could not take the captured picture";
    } else {
        const GpStatus status = GdipSaveImageToFile(image, wide_path.c_str(), &png, nullptr);
        if (status != Ok)
            error = "could not write " + path + " (GDI+ status " + std::to_string(status) +
                    "); does its folder exist?";
    }
    if (image)
        GdipDisposeImage(image);
    GdiplusShutdown(token);
    return error;
}

} // namespace

bool WaitForMonitorWindow(int timeout_ms)
{
    const DWORD start = GetTickCount();
    do {
        HWND hwnd = FindMonitorWindow();
        if (hwnd && IsWindowVisible(hwnd))
            return true;
        Sleep(10);
    } while (GetTickCount() - start < static_cast<DWORD>(timeout_ms));
    return false;
}

bool MonitorWindowOpen()
{
    return FindMonitorWindow() != nullptr;
}

bool SaveMonitorScreenshot(const std::string& path, std::string& error)
{
    HWND hwnd = FindMonitorWindow();
    if (!hwnd) {
        error = "the monitor window is not open";
        return false;
    }
    RECT client;
    GetClientRect(hwnd, &client);

    // A copy of what the window shows, taken from its own device context.
    HDC window_dc = GetDC(hwnd);
    HDC memory_dc = CreateCompatibleDC(window_dc);
    HBITMAP bitmap = CreateCompatibleBitmap(window_dc, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory_dc, bitmap);
    const bool copied = BitBlt(memory_dc, 0, 0, client.right, client.bottom, window_dc, 0, 0, SRCCOPY) != 0;
    SelectObject(memory_dc, previous);
    DeleteDC(memory_dc);
    ReleaseDC(hwnd, window_dc);

    error = copied ? WritePng(bitmap, path) : "could not copy the window's picture";
    DeleteObject(bitmap);
    return error.empty();
}
