#include "support/driver.h"

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

bool Launch(Program& program, const std::string& exePath, const std::string& arguments,
            const std::string& currentDirectory) {
    program.job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(program.job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + exePath + "\" " + arguments;
    if (!CreateProcessA(
            exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
            currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info))
        return false;
    AssignProcessToJobObject(program.job, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    program.process = info.hProcess;
    program.pid = info.dwProcessId;
    return true;
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

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
    return WaitForWindow(
        pid, kDialogClass,
        [](HWND window) {
            return ShowsControl(window, IDOK) && GetDlgItem(window, kMessageBoxTextId) != nullptr;
        },
        timeoutMs);
}

bool ShowsControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && IsWindowVisible(control);
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string DialogItemText(HWND dialog, int id) {
    char text[1024] = {};
    UINT length = GetDlgItemTextA(dialog, id, text, sizeof text);
    return std::string(text, length);
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}
