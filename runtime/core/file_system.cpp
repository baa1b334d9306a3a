#include "file_system.h"

static DWORD ErrorUnless(BOOL done) {
    return done ? 0 : GetLastError();
}

DWORD SystemReplaceFile(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup) {
    return ErrorUnless(ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                    nullptr, nullptr));
}

DWORD SystemMoveFile(const wchar_t* from, const wchar_t* to) {
    return ErrorUnless(MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

DWORD SystemDeleteFile(const wchar_t* path) {
    return ErrorUnless(DeleteFileW(path));
}

DWORD SystemOpenToDelete(const wchar_t* path) {
    return OpenToDeleteOnSystem(path);
}

void SystemPause(DWORD milliseconds) {
    Sleep(milliseconds);
}
