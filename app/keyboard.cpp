// The window from the keyboard: "OK" has the focus at the start and after a save, Tab and Shift+Tab
// move between the two buttons, Enter presses the focused one, Esc quits as "Abbrechen" does, and
// the focused button keeps the focus when the window is left and activated again.
#include "app.h"

#include "window/window_proc.h"

void FocusOkButton() {
    SetFocus(OkButton.handle);
    // Windows hides focus rectangles until the first key; a keyboard user must see it at once.
    SendMessageA(MainForm.handle, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// "OK" acts on Enter's release, as a button acts on Space's: the dialog it opens takes the focus,
// so the auto-repeats of a held Enter would otherwise reach the dialog and its questions, each as
// a press of their default button, and save the document where the user chose nothing.
static HWND enterPressedOn;

static void ShowPushed(HWND button, BOOL pushed) {
    SendMessageA(button, BM_SETSTATE, pushed, 0);
}

// A press whose release is not coming to "OK" (the window left, the key let go elsewhere) acts
// on nothing.
static void ForgetEnterPress() {
    if (enterPressedOn != nullptr)
        ShowPushed(enterPressedOn, FALSE);
    enterPressedOn = nullptr;
}

// The button that had the focus when the window was last left.
static HWND focusedButton;

// The message loop hands Tab to the main form as a character, whichever control had it. With two
// stops, Tab and Shift+Tab both go to the other one; from neither, to "OK".
static LRESULT MoveFocusOnTab() {
    HWND ok = OkButton.handle;
    SetFocus(GetFocus() == ok ? QuitButton.handle : ok);
    return 1;
}

// Left, the window remembers its focused button; activated again, it gives it the focus back
// instead of the default's focus on the form itself, where no key would reach a button.
static LRESULT KeepFocusAcrossActivation() {
    if (LOWORD(CurrentEvent.eventWParam) == WA_INACTIVE) {
        ForgetEnterPress();
        HWND focus = GetFocus();
        if (focus == OkButton.handle || focus == QuitButton.handle)
            focusedButton = focus;
        return 0;
    }
    SetFocus(focusedButton != nullptr ? focusedButton : OkButton.handle);
    return 1;
}

LRESULT KeyboardFocusMessage() {
    if (CurrentEvent.eventMessage == WM_CHAR && CurrentEvent.eventWParam == VK_TAB)
        return MoveFocusOnTab();
    if (CurrentEvent.eventMessage == WM_ACTIVATE)
        return KeepFocusAcrossActivation();
    return 0;
}

// Keys pressed on a button (forwarded with its id) or on the main form itself. Only the first
// key-down counts: the auto-repeats of a key held after it closed the Save dialog would otherwise
// reach "OK" and end the program or open the dialog again.
void PressKey() {
    constexpr LPARAM kRepeatedKey = 1 << 30;
    if (CurrentEvent.eventLParam & kRepeatedKey)
        return;
    WPARAM key = CurrentEvent.eventWParam;
    HWND window = CurrentEvent.eventWindow;
    if (key == VK_ESCAPE) {
        QuitProgram();
    } else if (key == VK_RETURN && window == QuitButton.handle) {
        QuitProgram();
    } else if (key == VK_RETURN && window == OkButton.handle) {
        enterPressedOn = window;
        ShowPushed(window, TRUE);
    }
}

void ReleaseKey() {
    if (CurrentEvent.eventWParam != VK_RETURN || enterPressedOn == nullptr)
        return;
    bool pressedHere = enterPressedOn == CurrentEvent.eventWindow;
    ForgetEnterPress();
    if (pressedHere)
        SaveDocument();
}
