// Start-up: from CreateProcess to the main window shown with its last control present, for each
// carrier given, a byte-identical copy of the first, and three floors, all started once a round in
// an order shuffled anew each round under one warm Wine session: a minimal window of our own, the
// same window with the carrier's manifest (the version-6 common controls and their visual style,
// which every program that declares them pays for), and a window that does the carrier's window
// operations and nothing else. A start right after a given program is slower than after another;
// shuffling spreads that over all of them, and each comparison is the median of the per-round
// differences with a 95 % interval, so that a row says how sure it is. The copy against the
// carrier shows the method's noise.
// No poll that sleeps: the window's last control is learnt of from the system's window events
// (creation; Wine sends no show events), and from then on a poll that only yields waits for the
// window to be visible, so times are taken to well under a millisecond. A minimal window that
// waits a known few milliseconds before it shows checks that resolution.
// Usage: startup_bench [RUNS [--seed=N] [CARRIER.exe ...]]; carrier.exe beside the bench by
// default, a seed from the clock unless given (it is printed, so that a run can be repeated).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <random>
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

// The median of the values and its 95 % interval, from the order statistics the binomial
// distribution puts around the middle (normal approximation): free of any assumed shape.
void PrintMedianWithInterval(const std::string& key, std::vector<double> values,
                             const char* format) {
    std::sort(values.begin(), values.end());
    const double n = static_cast<double>(values.size());
    const double spread = 1.96 * std::sqrt(n) / 2;
    size_t low = static_cast<size_t>(std::max(0.0, std::floor(n / 2 - spread) - 1));
    size_t high = static_cast<size_t>(std::min(n - 1, std::ceil(n / 2 + spread)));
    std::string line = "%s " + std::string(format) + " [" + format + ", " + format + "]\n";
    std::printf(line.c_str(), key.c_str(), Median(values), values[low], values[high]);
}

// Per round: a's time less b's, or a's over b's.
std::vector<double> Paired(const Start& a, const Start& b, bool ratio) {
    std::vector<double> paired;
    for (size_t round = 0; round < a.times.size(); ++round)
        paired.push_back(ratio ? a.times[round] / b.times[round] : a.times[round] - b.times[round]);
    return paired;
}

// The program's median, and against each floor the median per-round difference and ratio.
void PrintAgainstFloors(const std::string& key, const Start& program,
                        const std::vector<std::pair<const char*, const Start*>>& floors) {
    Print(key, program.times);
    for (const auto& [name, floor] : floors) {
        PrintMedianWithInterval(key + "_over_" + name + "_ms", Paired(program, *floor, false),
                                "%.1f");
        PrintMedianWithInterval(key + "_" + name + "_ratio", Paired(program, *floor, true), "%.2f");
    }
}

// The seed of --seed=N among the arguments, else one from the clock.
unsigned SeedFrom(std::vector<std::string>& arguments) {
    for (auto given = arguments.begin(); given != arguments.end(); ++given) {
        if (given->rfind("--seed=", 0) == 0) {
            unsigned seed = static_cast<unsigned>(std::strtoul(given->c_str() + 7, nullptr, 10));
            arguments.erase(given);
            return seed;
        }
    }
    return static_cast<unsigned>(GetTickCount() ^ GetCurrentProcessId());
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 30;
    std::vector<std::string> carriers(argv + std::min(argc, 2), argv + argc);
    const unsigned seed = SeedFrom(carriers);
    if (carriers.empty())
        carriers.push_back(BuiltProgramPath("carrier.exe"));
    // Beside the carrier, so that it loads as the carrier does; a copy of its own each run.
    const std::string copy = BuiltProgramPath("carrier_copy.exe");
    if (!CopyFileA(carriers[0].c_str(), copy.c_str(), FALSE))
        return 6;
    // The minimal window's one child has the id of the carrier's last control; given a number, it
    // waits that many milliseconds before it shows.
    const char* kLater = "5";
    std::vector<Start> starts;
    for (const std::string& carrier : carriers)
        starts.push_back({carrier, kFormClass, "", {}});
    starts.push_back({copy, kFormClass, "", {}});
    starts.push_back({BuiltProgramPath("minimal_window.exe"), "MinimalWindow", "", {}});
    starts.push_back({BuiltProgramPath("styled_window.exe"), "MinimalWindow", "", {}});
    starts.push_back({BuiltProgramPath("design_window.exe"), "DesignWindow", "", {}});
    starts.push_back({BuiltProgramPath("minimal_window.exe"), "MinimalWindow", kLater, {}});
    const Start& copied = starts[carriers.size()];
    const Start& minimal = starts[carriers.size() + 1];
    const Start& styled = starts[carriers.size() + 2];
    const Start& design = starts[carriers.size() + 3];
    const Start& later = starts[carriers.size() + 4];

    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr,
                                         OnWindowCreated, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr)
        return 5;
    for (const Start& start : starts)
        TimeToWindow(start.exe, start.className, kQuitButton, start.arguments);
    std::mt19937 random(seed);
    std::vector<size_t> order(starts.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    for (int run = 0; run < runs; ++run) {
        std::shuffle(order.begin(), order.end(), random);
        for (size_t k : order) {
            Start& start = starts[k];
            start.times.push_back(
                TimeToWindow(start.exe, start.className, kQuitButton, start.arguments));
        }
    }
    UnhookWinEvent(hook);
    DeleteFileA(copy.c_str());
    std::printf("startup.seed %u\n", seed);
    std::printf("startup.rounds %d\n", runs);
    const std::vector<std::pair<const char*, const Start*>> floors = {
        {"minimal", &minimal}, {"styled", &styled}, {"design", &design}};
    for (size_t i = 0; i < carriers.size(); ++i) {
        std::string key = i == 0 ? "startup.carrier" : "startup.carrier" + std::to_string(i + 1);
        PrintAgainstFloors(key, starts[i], floors);
        if (i > 0)
            std::printf("%s_path %s\n", key.c_str(), carriers[i].c_str());
    }
    PrintMedianWithInterval("startup.copy_over_carrier_ms", Paired(copied, starts[0], false),
                            "%.1f");
    Print("startup.minimal_window", minimal.times);
    Print("startup.styled_window", styled.times);
    PrintAgainstFloors("startup.design_window", design, {{"styled", &styled}});
    PrintMedianWithInterval("startup.resolution_check_ms", Paired(later, minimal, false), "%.1f");
    return 0;
}
