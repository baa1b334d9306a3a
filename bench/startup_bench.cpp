// Start-up: from CreateProcess to the main window shown with its last control present, for each
// carrier given and for a minimal window of our own, interleaved round by round, under one warm
// Wine session. No poll that sleeps: the window's last control is learnt of from the system's
// window events (creation; Wine sends no show events), and from then on a poll that only yields
// waits for the window to be visible, so times are taken to well under a millisecond. A second
// minimal window that waits a known few milliseconds before it shows checks that resolution.
// Usage: startup_bench [RUNS [CARRIER.exe ...]]; carrier.exe beside the bench by default.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "measure.h"
#include "support/driver.h"
#include "support/running_carrier.h"

namespace {

// The window a start waits for: a top-level window of the class in the process started, once its
// last control exists.
struct Awaited {
    DWORD pid;
    const char* className;
    int lastId;
    HWND window;
} awaited;

void CALLBACK OnWindowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (awaited.window != nullptr || object != OBJID_WINDOW || window == nullptr)
        return;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HWND top = pid == awaited.pid ? GetAncestor(window, GA_ROOT) : nullptr;
    if (top != nullptr && ClassNameOf(top) == awaited.className &&
        GetDlgItem(top, awaited.lastId) != nullptr)
        awaited.window = top;
}

// Milliseconds until the window is shown with its last control; exits where it never is.
double TimeToWindow(const std::string& exe, const char* className, int lastId,
                    const std::string& arguments = "") {
    awaited = {0, className, lastId, nullptr};
    double start = NowMs();
    Program program;
    if (!Launch(program, exe, arguments))
        std::exit(3);
    awaited.pid = program.pid;
    // Events of the process that came before its id was known wait in the queue and are taken now.
    double deadline = start + 30000;
    while (awaited.window == nullptr && NowMs() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    while (awaited.window != nullptr && !IsWindowVisible(awaited.window) && NowMs() < deadline)
        SwitchToThread();
    double elapsed = NowMs() - start;
    if (awaited.window == nullptr || !IsWindowVisible(awaited.window))
        std::exit(4);
    PostMessageA(awaited.window, WM_CLOSE, 0, 0);
    program.WaitForExit(10000);
    return elapsed;
}

void Print(const std::string& key, const std::vector<double>& times) {
    std::printf("%s_ms %.1f\n", key.c_str(), Median(times));
    std::printf("%s_min_ms %.1f\n", key.c_str(), *std::min_element(times.begin(), times.end()));
    std::printf("%s_max_ms %.1f\n", key.c_str(), *std::max_element(times.begin(), times.end()));
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 30;
    std::vector<std::string> carriers;
    for (int i = 2; i < argc; ++i)
        carriers.push_back(argv[i]);
    if (carriers.empty())
        carriers.push_back(BuiltProgramPath("carrier.exe"));
    const std::string minimal = BuiltProgramPath("minimal_window.exe");
    // The minimal window's one child has the id of the carrier's last control; given a number, it
    // waits that many milliseconds before it shows.
    const char* kLater = "5";
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr,
                                         OnWindowCreated, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr)
        return 5;
    for (const std::string& carrier : carriers)
        TimeToWindow(carrier, kFormClass, kQuitButton);
    TimeToWindow(minimal, "MinimalWindow", kQuitButton);

    std::vector<std::vector<double>> carrierTimes(carriers.size());
    std::vector<double> minimalTimes, laterTimes, differences;
    for (int run = 0; run < runs; ++run) {
        for (size_t i = 0; i < carriers.size(); ++i)
            carrierTimes[i].push_back(TimeToWindow(carriers[i], kFormClass, kQuitButton));
        minimalTimes.push_back(TimeToWindow(minimal, "MinimalWindow", kQuitButton));
        laterTimes.push_back(TimeToWindow(minimal, "MinimalWindow", kQuitButton, kLater));
        differences.push_back(laterTimes.back() - minimalTimes.back());
    }
    UnhookWinEvent(hook);
    for (size_t i = 0; i < carriers.size(); ++i) {
        std::string key = i == 0 ? "startup.carrier" : "startup.carrier" + std::to_string(i + 1);
        Print(key, carrierTimes[i]);
        std::printf("%s_ratio %.2f\n", key.c_str(), Median(carrierTimes[i]) / Median(minimalTimes));
        if (i > 0)
            std::printf("%s_path %s\n", key.c_str(), carriers[i].c_str());
    }
    Print("startup.minimal_window", minimalTimes);
    std::printf("startup.resolution_check_ms %.1f (a start %s ms later)\n", Median(differences),
                kLater);
    return 0;
}
