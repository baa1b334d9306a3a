// The window from the keyboard: "OK" has the focus at the start and after a save, Tab and Shift+Tab
// move between the two buttons, Enter presses the focused one, Esc quits as "Abbrechen" does.
#include "app.h"

#include "window/window_proc.h"

void FocusOkButton() {
    SetFocus(OkButton.handle);
    // Windows hides focus rectangles until the first key; a keyboard user must see it at once.
    SendMessageA(MainForm.handle, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// The message loop hands Tab to the main form as a character, whichever control had it. With two
// stops, Tab and Shift+Tab both go to the other one; from neither, to "OK".
LRESULT MoveFocusOnTab() {
    if (CurrentEvent.eventMessage != WM_CHAR || CurrentEvent.eventWParam != VK_TAB)
        return 0;
    HWND ok = OkButton.handle;
    SetFocus(GetFocus() == ok ? QuitButton.handle : ok);
    return 1;
}

// Keys pressed on a button (forwarded with its id) or on the main form itself.
void PressKey() {
    WPARAM key = CurrentEvent.eventWParam;
    if (key == VK_ESCAPE) {
        QuitProgram();
    } else if (key == VK_RETURN) {
        if (CurrentEvent.eventWindow == OkButton.handle)
            SaveDocument();
        else if (CurrentEvent.eventWindow == QuitButton.handle)
            QuitProgram();
    }
}
