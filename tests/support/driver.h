// Drives the real program from a test: starts it, finds its windows, waits with deadlines.
#pragma once

#include <windows.h>

#include <ostream>
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
// Starts the program in a kill-on-close job; arguments and currentDirectory (UTF-8) may be empty.
// It runs under the test's own locale: Wine takes it from the Unix environment, which a started
// program inherits whatever Windows environment it is given.
bool Launch(Program& program, const std::string& exePath, const std::string& arguments = "",
            const std::string& currentDirectory = "");
// A key's or a mouse button's input, and inputs sent through the input system as a user's are.
INPUT KeyInput(WORD key, DWORD flags);
INPUT MouseInput(DWORD flags);
void SendInputs(std::vector<INPUT> inputs);
// Releases every key and mouse button the tests press that the session holds down. Wine sends a
// release that comes after the program holding the press has ended to a destroyed window, and
// keeps the key down: the next program's first press of it would arrive as a repeat.
void ReleaseHeldKeys();
// The ANSI code page the test's locale is to give (CARRIER_CODE_PAGE, else 1252, C.UTF-8's).
UINT ExpectedCodePage();

// A text of the code page (UTF-8 unless said) as UTF-16, and UTF-16 as UTF-8.
std::wstring Utf16(const std::string& text, UINT codePage = CP_UTF8);
std::string Utf8(const wchar_t* wide);
// A Windows-1252 text (this project's literals) as UTF-16.
inline std::wstring From1252(const std::string& text) {
    return Utf16(text, 1252);
}

// The process's visible or hidden top-level windows of the class (null: any class).
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className);

// How long a test waits for the program to show, save or end.
inline constexpr DWORD kTimeoutMs = 30000;
// The process's shown dialogs and message boxes.
std::vector<HWND> ShownDialogs(DWORD pid);
// A message box of the process that offers the button, once its text exists (not the Save dialog,
// whose caption the overwrite question shares); null after the deadline.
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs = kTimeoutMs, int button = IDOK);
// The process's Save dialog, once it is ready for a name: its name field exists and it shows its
// folder. Until then the dialog is still being set up, and a name and OK given to it can be lost.
HWND WaitForSaveDialog(DWORD pid, DWORD timeoutMs = kTimeoutMs);
// Types a name into the Save dialog and presses its OK.
void EnterName(HWND dialog, const std::string& name);
// Saves over the named file through the process's Save dialog, answering "Yes" to its question (at
// the tick count put into answered, where given); whether dialog and question came and went, so
// that a next opening is not mistaken for this one.
bool SaveOver(DWORD pid, const std::string& name, DWORD* answered = nullptr);
// Whether the dialog shows a control with this id.
bool ShowsControl(HWND dialog, int id);

// A window's or a dialog item's text; as UTF-16, as the window holds it, whatever code page either
// program has.
std::string WindowText(HWND window);
std::wstring WindowTextW(HWND window);
inline std::string DialogItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}
inline std::wstring DialogItemTextW(HWND dialog, int id) {
    return WindowTextW(GetDlgItem(dialog, id));
}
std::string ClassNameOf(HWND window);
// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);
// Rectangles compared and printed whole.
inline bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}
void PrintTo(const RECT& rect, std::ostream* out);

// The carrier's form class (the run time's FormClassName; these exes link no run time).
inline constexpr char kFormClass[] = "Tarnwick8099";
// The program's texts the tests look for (Windows-1252): the Save dialog's title, how every
// report of a failed save begins, the instruction line and the quit button's text.
inline constexpr char kSaveDialogTitle[] = "Wohin m\xF6"
                                           "chten Sie Wendelkamm 28 speichern ?";
inline constexpr char kNotSaved[] = "Die Datei wurde nicht gespeichert.";
inline constexpr char kInfoText[] =
    "Sie k\xF6nnen dann Bd. 28 als PDF-Datei in ein Verzeichnis Ihrer Wahl abspeichern.";
inline constexpr char kQuitText[] = "Abbrechen / Schlie\xDF"
                                    "en";
// Ids and classes of the system's dialogs, as Wine and Windows give them.
inline constexpr char kDialogClass[] = "#32770";
// The text of a message box.
inline constexpr int kMessageBoxTextId = 0xFFFF;
// The file-name field of the Save dialog.
inline constexpr int kFileNameFieldId = 0x47C;
inline constexpr int kFileTypeBoxId = 0x470;

// Polls a condition until it holds or the time is up; pollMs 0 only yields between polls, for
// moments that pass quickly.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD pollMs = 20) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(pollMs);
    }
}

// A visible top-level window of the process and class that satisfies the condition, once one
// does; null after the deadline.
template <typename Condition>
HWND WaitForWindow(DWORD pid, const char* className, Condition condition, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(pid, className))
                if (IsWindowVisible(window) && condition(window)) {
                    found = window;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}
