// A stand-in for a DLL that someone plants beside a downloaded exe, built under the names of DLLs
// that Windows or Wine load for a program: when loaded it leaves NAME.dll.loaded beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t marker[MAX_PATH + 8];
    DWORD length = GetModuleFileNameW(module, marker, MAX_PATH);
    lstrcpyW(marker + length, L".loaded");
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return TRUE;
}
