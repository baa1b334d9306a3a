#include "support/running_carrier.h"

RunningCarrier::RunningCarrier(const std::string& folder, const std::string& exePath) {
    ReleaseHeldKeys();
    if (!Launch(program, exePath.empty() ? BuiltProgramPath("carrier.exe") : exePath, "", folder))
        return;
    // A window created visible is shown before its children exist: wait for the last one.
    main = WaitForWindow(
        program.pid, kFormClass,
        [](HWND window) { return GetDlgItem(window, kQuitButton) != nullptr; }, kCarrierTimeoutMs);
}

HWND RunningCarrier::Control(int id) const {
    // The close glyph sits inside the title strip.
    return id == kCloseBox ? GetDlgItem(GetDlgItem(main, kTitleBar), id) : GetDlgItem(main, id);
}

RECT RunningCarrier::Rect() const {
    RECT rect = {};
    GetWindowRect(main, &rect);
    return rect;
}

HWND RunningCarrier::WaitForSaveDialog() const {
    return WaitForWindow(
        program.pid, kDialogClass, [](HWND window) { return SaveDialogReady(window); },
        kCarrierTimeoutMs);
}

HWND RunningCarrier::OpenSaveDialog() const {
    PostMessageA(Control(kOkButton), BM_CLICK, 0, 0);
    return WaitForSaveDialog();
}
