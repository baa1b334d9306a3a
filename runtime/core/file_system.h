// The seam between the save and the file operations that Windows can fail in ways Wine does not:
// brief holds by indexers, sync clients and scanners, and every documented outcome of ReplaceFile.
// The program links the system's operations; a test links scripted ones. Each gives the system's
// error code, 0 on success.
#pragma once
#include <windows.h>

// ReplaceFileA(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS).
DWORD SystemReplaceFile(const char* target, const char* replacement, const char* backup);
// MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
DWORD SystemMoveFile(const char* from, const char* to);
DWORD SystemDeleteFile(const char* path);
// Opens the file for DELETE with full sharing and closes it again: whether it can be replaced.
DWORD SystemOpenToDelete(const char* path);
// What SystemOpenToDelete does on the system, for a scripted seam that passes a call through.
inline DWORD OpenToDeleteOnSystem(const char* path) {
    HANDLE file = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return 0;
}
void SystemPause(DWORD milliseconds);
