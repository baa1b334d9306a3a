#include "controls/scale.h"

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
// Windows 10 1607 and later; bound by name, since older systems have no such function.
static GetDpiForWindowFunction getDpiForWindow;
static bool getDpiForWindowSought;

UINT DpiOfWindow(HWND window) {
    if (!getDpiForWindowSought) {
        getDpiForWindowSought = true;
        FARPROC address = GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
        getDpiForWindow =
            reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(address));
    }
    UINT dpi = window != nullptr && getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
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
