#include "support/running_carrier.h"

RunningCarrier::RunningCarrier(const std::string& folder) {
    if (!Launch(program, BuiltProgramPath("carrier.exe"), "", folder))
        return;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(program.pid, "Tarnwick8099"))
                if (IsWindowVisible(window) && GetDlgItem(window, kQuitButton) != nullptr)
                    main = window;
            return main != nullptr;
        },
        kCarrierTimeoutMs);
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
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(program.pid, "#32770"))
                if (IsWindowVisible(window) && GetDlgItem(window, 0x47C) != nullptr)
                    dialog = window;
            return dialog != nullptr;
        },
        kCarrierTimeoutMs);
    return dialog;
}
