// The display's scale. Every geometry in a record is in the design's pixels at 96 DPI (100 %); the
// property operations show it at the scale of the monitor the main window is on, and read it back
// in design pixels, so the layout code keeps its numbers.
#pragma once
#include <cstdint>

#include <windows.h>

inline constexpr UINT kDesignDpi = 96;

// The DPI the records are shown at: the system's before the main form exists, then its monitor's.
extern UINT LayoutDpi;

// Design pixels as display pixels, and back (both rounded to the nearest pixel).
int32_t ToDisplay(int32_t designPixels);
int32_t ToDesign(int32_t displayPixels);
// Display pixels as the design pixels that fit into them, never more.
int32_t ToDesignWithin(int32_t displayPixels);

// The DPI of the monitor a window is on; for no window, the system's.
UINT DpiOfWindow(HWND window);
// The picture at the layout's scale; the picture given is freed if a new one is made. Whole
// multiples of 100 % repeat pixels and stay sharp, other scales average them.
HBITMAP ScaledToLayout(HBITMAP picture);
// A font from the description with its height at the layout's scale.
HFONT CreateFontAtScale(const LOGFONTA& description);
