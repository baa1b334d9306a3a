// Moving and closing the caption-less main window.
#include "app.h"

// Lets the system move the window as if its caption had been pressed; returns when the
// move loop ends.
void DragWindow() {
    BoundReleaseCapture();
    SendMessageA(MainForm.handle, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void QuitProgram() {
    DestroyWindow(MainForm.handle);
    ExitProcess(0);
}
