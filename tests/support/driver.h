// Drives the real program from a test: starts it, finds its windows, waits with deadlines.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A started program; it dies with its job when this goes out of scope.
struct Program {
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    DWORD pid = 0;

    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    // Exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD WaitForExit(DWORD timeoutMs) const;
};

// A program built next to the test exe.
std::string BuiltProgramPath(const char* exeName);
// Starts the program in a kill-on-close job; arguments and currentDirectory may be empty.
bool Launch(Program& program, const std::string& exePath, const std::string& arguments = "",
            const std::string& currentDirectory = "");

// The process's visible or hidden top-level windows of the class (null: any class).
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className);

// A message box of the process, once its text and OK button exist; null after the deadline.
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs);
// Whether the dialog shows a control with this id.
bool ShowsControl(HWND dialog, int id);

std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int id);
std::string ClassNameOf(HWND window);

// Polls a condition until it holds or the time is up.
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}
