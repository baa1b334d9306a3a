// Start-up: from CreateProcess to the main window shown with its last control present, for the
// carrier and for a minimal window of our own, alternating, under one warm Wine session.
// Usage: startup_bench [RUNS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "measure.h"
#include "support/driver.h"
#include "support/running_carrier.h"

namespace {

// Milliseconds until a visible top-level window of the class has a child with the id.
double TimeToWindow(const char* exe, const char* className, int lastId) {
    double start = NowMs();
    Program program;
    if (!Launch(program, BuiltProgramPath(exe)))
        std::exit(3);
    HWND shown = WaitForWindow(
        program.pid, className,
        [lastId](HWND window) { return GetDlgItem(window, lastId) != nullptr; }, 30000);
    double elapsed = NowMs() - start;
    if (shown == nullptr)
        std::exit(4);
    PostMessageA(shown, WM_CLOSE, 0, 0);
    program.WaitForExit(10000);
    return elapsed;
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    // The minimal window's one child has the id of the carrier's last control.
    TimeToWindow("carrier.exe", kFormClass, kQuitButton);
    TimeToWindow("minimal_window.exe", "MinimalWindow", kQuitButton);
    std::vector<double> carrier, minimal;
    for (int run = 0; run < runs; ++run) {
        carrier.push_back(TimeToWindow("carrier.exe", kFormClass, kQuitButton));
        minimal.push_back(TimeToWindow("minimal_window.exe", "MinimalWindow", kQuitButton));
    }
    double carrierMs = Median(carrier), minimalMs = Median(minimal);
    std::printf("startup.carrier_ms %.1f\n", carrierMs);
    std::printf("startup.minimal_window_ms %.1f\n", minimalMs);
    std::printf("startup.ratio %.2f\n", carrierMs / minimalMs);
    return 0;
}
