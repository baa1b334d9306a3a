// Start-up: from CreateProcess to the main window shown with its last control present, for each
// carrier given and for two floors, interleaved round by round under one warm Wine session: a
// minimal window of our own, and the same window with the carrier's manifest (the version-6
// common controls and their visual style, which every program that declares them pays for).
// No poll that sleeps: the window's last control is learnt of from the system's window events
// (creation; Wine sends no show events), and from then on a poll that only yields waits for the
// window to be visible, so times are taken to well under a millisecond. A minimal window that
// waits a known few milliseconds before it shows checks that resolution.
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

// A program to start, the window class it shows, its arguments, and its times.
struct Start {
    std::string exe;
    const char* className;
    std::string arguments;
    std::vector<double> times;
};

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
    // The minimal window's one child has the id of the carrier's last control; given a number, it
    // waits that many milliseconds before it shows.
    const char* kLater = "5";
    std::vector<Start> starts;
    for (const std::string& carrier : carriers)
        starts.push_back({carrier, kFormClass, "", {}});
    const size_t minimal = starts.size();
    starts.push_back({BuiltProgramPath("minimal_window.exe"), "MinimalWindow", "", {}});
    const size_t styled = starts.size();
    starts.push_back({BuiltProgramPath("styled_window.exe"), "MinimalWindow", "", {}});
    const size_t later = starts.size();
    starts.push_back({BuiltProgramPath("minimal_window.exe"), "MinimalWindow", kLater, {}});

    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr,
                                         OnWindowCreated, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr)
        return 5;
    for (const Start& start : starts)
        TimeToWindow(start.exe, start.className, kQuitButton, start.arguments);
    // Each round begins one program further on: a start right after a given one is a little
    // slower, and rotating spreads that over all of them instead of charging it to one.
    std::vector<double> differences;
    for (int run = 0; run < runs; ++run) {
        for (size_t k = 0; k < starts.size(); ++k) {
            Start& start = starts[(run + k) % starts.size()];
            start.times.push_back(
                TimeToWindow(start.exe, start.className, kQuitButton, start.arguments));
        }
        differences.push_back(starts[later].times.back() - starts[minimal].times.back());
    }
    UnhookWinEvent(hook);
    const std::vector<double>& minimalTimes = starts[minimal].times;
    const std::vector<double>& styledTimes = starts[styled].times;
    for (size_t i = 0; i < carriers.size(); ++i) {
        std::string key = i == 0 ? "startup.carrier" : "startup.carrier" + std::to_string(i + 1);
        const std::vector<double>& times = starts[i].times;
        Print(key, times);
        std::printf("%s_ratio %.2f\n", key.c_str(), Median(times) / Median(minimalTimes));
        std::printf("%s_styled_ratio %.2f\n", key.c_str(), Median(times) / Median(styledTimes));
        if (i > 0)
            std::printf("%s_path %s\n", key.c_str(), carriers[i].c_str());
    }
    Print("startup.minimal_window", minimalTimes);
    Print("startup.styled_window", styledTimes);
    std::printf("startup.resolution_check_ms %.1f (a start %s ms later)\n", Median(differences),
                kLater);
    return 0;
}
