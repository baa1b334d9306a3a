// The private window class of every form, and the default font of every new window.
#pragma once

#include <windows.h>

extern const char FormClassName[];
extern HFONT DefaultFont;
extern HICON ApplicationIcon;

// Registers the form class and creates the default font; once, before any window.
void RegisterFormClass();
// The default font at the layout's scale.
HFONT CreateDefaultFont();
