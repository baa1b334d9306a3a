#include "support/running_carrier.h"

#include <cstdio>

// Why the window never came, for the test's output: a start that fails in the suite on a busy
// machine must say whether the carrier ended, and how, or runs without showing its window.
static void ReportMissingWindow(const Program& program, DWORD startedAt) {
    DWORD elapsed = GetTickCount() - startedAt;
    DWORD code = program.WaitForExit(0);
    if (code != STILL_ACTIVE) {
        std::fprintf(stderr, "the carrier ended with exit code 0x%lX %lu ms after its start\n",
                     static_cast<unsigned long>(code), static_cast<unsigned long>(elapsed));
        return;
    }
    std::fprintf(stderr, "the carrier runs without its window %lu ms after its start; its windows:",
                 static_cast<unsigned long>(elapsed));
    for (HWND window : TopLevelWindows(program.pid, nullptr))
        std::fprintf(stderr, " %s%s", ClassNameOf(window).c_str(),
                     IsWindowVisible(window) ? "" : " (hidden)");
    std::fprintf(stderr, "\n");
}

RunningCarrier::RunningCarrier(const std::string& folder, const std::string& exePath) {
    ReleaseHeldKeys();
    DWORD startedAt = GetTickCount();
    if (!Launch(program, exePath.empty() ? BuiltProgramPath("carrier.exe") : exePath, "", folder)) {
        std::fprintf(stderr, "the carrier could not be started: error %lu\n",
                     static_cast<unsigned long>(GetLastError()));
        return;
    }
    // A window created visible is shown before its children exist: wait for the last one, or
    // for the end of a carrier that will never show it.
    WaitUntil(
        [&] {
            main = WaitForWindow(
                program.pid, kFormClass,
                [](HWND window) { return GetDlgItem(window, kQuitButton) != nullptr; }, 0);
            return main != nullptr || program.WaitForExit(0) != STILL_ACTIVE;
        },
        kTimeoutMs);
    if (main == nullptr)
        ReportMissingWindow(program, startedAt);
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

HWND RunningCarrier::OpenSaveDialog() const {
    PostMessageA(Control(kOkButton), BM_CLICK, 0, 0);
    return WaitForSaveDialog();
}

DWORD RunningCarrier::Quit() const {
    PostMessageA(Control(kQuitButton), BM_CLICK, 0, 0);
    return program.WaitForExit(kTimeoutMs);
}
