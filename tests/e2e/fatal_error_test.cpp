// The real program's fatal-error exit, seen as a user sees it: a box, then the exit code.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/driver.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

// Each start-up failure shows its text in a box before any window, waits for the user and exits
// with its code.
TEST(FatalErrorBox, ShowsItsTextBeforeAnyWindowAndExitsWithItsCode) {
    struct Case {
        const char* exe;
        const char* arguments;
        const char* message;
        DWORD exitCode;
    };
    const Case cases[] = {
        {"carrier_missing_library.exe", "", "Library not found  nosuchlib28.dll", 1},
        {"carrier_missing_function.exe", "", "Function not found NoSuchFunction28", 2},
        // No block even for the message itself: the text still shows, no recursion.
        {"carrier_no_memory.exe", "", "Insufficient memory", 3},
        {"save_flow_host.exe", "load nosuchres", "Resource not found nosuchres", 5},
    };
    for (const Case& expected : cases) {
        SCOPED_TRACE(expected.message);
        Program program;
        ASSERT_TRUE(Launch(program, BuiltProgramPath(expected.exe), expected.arguments));
        HWND box = WaitForMessageBox(program.pid, kWindowTimeoutMs);
        ASSERT_NE(box, nullptr) << "no message box appeared";
        EXPECT_EQ(DialogItemText(box, kMessageBoxTextId), expected.message);
        EXPECT_EQ(WindowText(box), "Wendelkamm28");
        EXPECT_FALSE(ShowsControl(box, IDCANCEL)) << "OK is the only button";
        EXPECT_FALSE(ShowsControl(box, IDNO));
        for (HWND window : TopLevelWindows(program.pid, nullptr))
            EXPECT_TRUE(window == box || !IsWindowVisible(window))
                << "a window of class " << ClassNameOf(window) << " is shown beside the box";
        EXPECT_EQ(program.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE))
            << "it waits for the user";
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(program.WaitForExit(kExitTimeoutMs), expected.exitCode);
    }
}

// A program linked as the carrier is: the loader seeds its stack guard before the entry, anew at
// each start, and a function whose canary was overwritten ends the process with the fast-fail code
// at once: no handler, no box.
TEST(StackGuard, IsSeededAtEachStartAndASmashedCanaryEndsTheProcessAtOnce) {
    const auto defaultCookie = static_cast<DWORD>(sizeof(void*) == 4 ? 0xBB40E64Eu : 0x2DDFA232u);
    DWORD cookies[3];
    for (DWORD& cookie : cookies) {
        Program probe;
        ASSERT_TRUE(Launch(probe, BuiltProgramPath("stack_probe.exe"), "cookie"));
        cookie = probe.WaitForExit(kExitTimeoutMs);
        EXPECT_NE(cookie, static_cast<DWORD>(STILL_ACTIVE));
        EXPECT_NE(cookie, defaultCookie) << "the guard kept Microsoft's default value";
    }
    // Wine seeds from the tick count and the process id, which two starts can share by chance.
    EXPECT_FALSE(cookies[0] == cookies[1] && cookies[1] == cookies[2])
        << "three starts had the same guard";

    Program smashed;
    ASSERT_TRUE(Launch(smashed, BuiltProgramPath("stack_probe.exe"), "smash"));
    DWORD code = smashed.WaitForExit(kExitTimeoutMs);
    // qemu's user-mode emulator raises the fast fail's int 0x29 as an illegal instruction, which
    // Wine then reports as such; on a processor it is the stack-overrun code.
    bool emulated = std::getenv("CARRIER_I386_EMULATED") != nullptr;
    EXPECT_TRUE(code == static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN) ||
                (emulated && code == static_cast<DWORD>(STATUS_ILLEGAL_INSTRUCTION)))
        << std::hex << "exit code 0x" << code;
}

} // namespace
