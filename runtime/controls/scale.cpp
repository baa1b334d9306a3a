#include "controls/scale.h"

#include "core/binding.h"

UINT LayoutDpi = kDesignDpi;

int32_t ToDisplay(int32_t designPixels) {
    return MulDiv(designPixels, static_cast<int>(LayoutDpi), kDesignDpi);
}

int32_t ToDesign(int32_t displayPixels) {
    return MulDiv(displayPixels, kDesignDpi, static_cast<int>(LayoutDpi));
}

// Screen sizes: far from overflowing 32 bits when multiplied by 96.
int32_t ToDesignWithin(int32_t displayPixels) {
    return displayPixels * static_cast<int32_t>(kDesignDpi) / static_cast<int32_t>(LayoutDpi);
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
static constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

// GetDpiForWindow from Windows 10 1607; before it the monitor's scale from GetDpiForMonitor
// (Windows 8.1, which already moves a per-monitor aware window between scales); before that
// (Windows 7) the system's scale, the only one there is.
UINT DpiOfWindow(HWND window) {
    UINT dpi = 0;
    UINT dpiX;
    if (window != nullptr) {
        if (auto forWindow =
                FindSystemFunctionAs<GetDpiForWindowFunction>("user32.dll", "GetDpiForWindow"))
            dpi = forWindow(window);
        else if (auto forMonitor = FindSystemFunctionAs<GetDpiForMonitorFunction>(
                     "shcore.dll", "GetDpiForMonitor"))
            if (forMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi,
                           &dpiX, &dpi) != S_OK)
                dpi = 0;
    }
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
    }
    return dpi != 0 ? dpi : kDesignDpi;
}

HBITMAP ScaledToLayout(HBITMAP picture) {
    BITMAP size = {};
    if (LayoutDpi == kDesignDpi || GetObjectW(picture, sizeof size, &size) == 0)
        return picture;
    int width = ToDisplay(size.bmWidth);
    int height = ToDisplay(size.bmHeight);
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ fromBefore = SelectObject(from, picture);
    HGDIOBJ toBefore = SelectObject(to, scaled);
    SetStretchBltMode(to, LayoutDpi % kDesignDpi == 0 ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(from, fromBefore);
    SelectObject(to, toBefore);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    return scaled;
}

HFONT CreateFontAtScale(const LOGFONTA& description) {
    LOGFONTA scaled = description;
    scaled.lfHeight = ToDisplay(description.lfHeight);
    return CreateFontIndirectA(&scaled);
}
