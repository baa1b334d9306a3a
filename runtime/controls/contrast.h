// Contrast themes. The records keep the design's colours; while the user has a contrast theme on,
// the windows show the system's instead (backgrounds COLOR_WINDOW, texts COLOR_WINDOWTEXT, buttons
// as the system draws them), so a user with low vision reads the window in the theme's colours.
#pragma once
#include <windows.h>

#include "controls/control_record.h"

// Whether Windows reports a contrast theme on. The program links the system's answer
// (SPI_GETHIGHCONTRAST); a test links its own, since Wine cannot switch a theme on.
bool SystemContrastThemeOn();

// Colours the DC of a control that asks its parent for colours (WM_CTLCOLOR*) as its record
// shows them; the brush to answer with, or null for the system's own colouring.
HBRUSH ColorControl(const ControlRecord& record, UINT message, HDC dc);
// The class background a form shows for its record's brush.
HBRUSH ShownFormBackground(HBRUSH recordBrush);
// The theme or the system's palette changed: every window shows the colours that now apply.
void FollowContrastTheme();
