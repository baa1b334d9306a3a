// The message loop: forwards mouse and key input of controls to the main form, then dispatches.
#pragma once

#include <windows.h>

extern MSG MessageBuffer;

// Runs until WM_QUIT; the quit code. A call from inside the loop returns 0 at once.
int RunMessageLoop();
// Handles the message in MessageBuffer.
void DispatchQueued();
// Handles every message already waiting, then returns; does not nest.
void PumpMessages();
