#include "support/driver.h"

#include <cstdlib>
#include <utility>

Program::~Program() {
    if (job != nullptr)
        CloseHandle(job);
    if (process != nullptr)
        CloseHandle(process);
}

DWORD Program::WaitForExit(DWORD timeoutMs) const {
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

std::string BuiltProgramPath(const char* exeName) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + exeName;
}

std::wstring Utf16(const std::string& text, UINT codePage) {
    std::wstring wide(text.size(), L'\0');
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                     wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length : 0);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(length > 0 ? length : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

bool Launch(Program& program, const std::string& exePath, const std::string& arguments,
            const std::string& currentDirectory) {
    program.job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(program.job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring commandLine = Utf16("\"" + exePath + "\" " + arguments);
    std::wstring folder = Utf16(currentDirectory);
    if (!CreateProcessW(Utf16(exePath).c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, folder.empty() ? nullptr : folder.c_str(),
                        &startup, &info))
        return false;
    AssignProcessToJobObject(program.job, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    program.process = info.hProcess;
    program.pid = info.dwProcessId;
    return true;
}

INPUT KeyInput(WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

INPUT MouseInput(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

void SendInputs(std::vector<INPUT> inputs) {
    if (!inputs.empty())
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ReleaseHeldKeys() {
    std::vector<INPUT> releases;
    for (WORD key : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_TAB, VK_SHIFT})
        if (GetAsyncKeyState(key) & 0x8000)
            releases.push_back(KeyInput(key, KEYEVENTF_KEYUP));
    const std::pair<int, DWORD> buttons[] = {{VK_LBUTTON, MOUSEEVENTF_LEFTUP},
                                             {VK_RBUTTON, MOUSEEVENTF_RIGHTUP},
                                             {VK_MBUTTON, MOUSEEVENTF_MIDDLEUP}};
    for (const auto& [button, up] : buttons)
        if (GetAsyncKeyState(button) & 0x8000)
            releases.push_back(MouseInput(up));
    SendInputs(releases);
}

UINT ExpectedCodePage() {
    char value[16] = {};
    return GetEnvironmentVariableA("CARRIER_CODE_PAGE", value, sizeof value) > 0
               ? static_cast<UINT>(atoi(value))
               : 1252;
}

namespace {
struct WindowSearch {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid &&
        (search->className == nullptr || ClassNameOf(window) == search->className))
        search->found.push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className) {
    WindowSearch search{pid, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ShownDialogs(DWORD pid) {
    std::vector<HWND> shown;
    for (HWND window : TopLevelWindows(pid, kDialogClass))
        if (IsWindowVisible(window))
            shown.push_back(window);
    return shown;
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs, int button) {
    return WaitForWindow(
        pid, kDialogClass,
        [button](HWND window) {
            return GetDlgItem(window, kFileNameFieldId) == nullptr &&
                   ShowsControl(window, button) && GetDlgItem(window, kMessageBoxTextId) != nullptr;
        },
        timeoutMs);
}

HWND WaitForSaveDialog(DWORD pid, DWORD timeoutMs) {
    return WaitForWindow(
        pid, kDialogClass,
        [](HWND window) {
            return WindowTextW(window) == From1252(kSaveDialogTitle) &&
                   GetDlgItem(window, kFileNameFieldId) != nullptr &&
                   FindWindowExA(window, nullptr, "SHELLDLL_DefView", nullptr) != nullptr;
        },
        timeoutMs);
}

void EnterName(HWND dialog, const std::string& name) {
    SetDlgItemTextA(dialog, kFileNameFieldId, name.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

bool SaveOver(DWORD pid, const std::string& name, DWORD* answered) {
    HWND dialog = WaitForSaveDialog(pid);
    if (dialog == nullptr)
        return false;
    EnterName(dialog, name);
    HWND question = WaitForMessageBox(pid, kTimeoutMs, IDYES);
    if (question == nullptr)
        return false;
    if (answered != nullptr)
        *answered = GetTickCount();
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    return WaitUntil([&] { return !IsWindow(dialog) && !IsWindow(question); }, kTimeoutMs);
}

bool ShowsControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && IsWindowVisible(control);
}

// WM_GETTEXT, not GetWindowText, which answers nothing for another process's controls.
std::string WindowText(HWND window) {
    char text[1024] = {};
    LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text, length > 0 ? length : 0);
}

std::wstring WindowTextW(HWND window) {
    wchar_t text[1024] = {};
    LRESULT length = SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return std::wstring(text, length > 0 ? length : 0);
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

RECT RectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void PrintTo(const RECT& rect, std::ostream* out) {
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
         << "}";
}
