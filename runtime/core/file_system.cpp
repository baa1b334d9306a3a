#include "file_system.h"

static DWORD ErrorUnless(BOOL done) {
    return done ? 0 : GetLastError();
}

DWORD SystemReplaceFile(const char* target, const char* replacement, const char* backup) {
    return ErrorUnless(ReplaceFileA(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                    nullptr, nullptr));
}

DWORD SystemMoveFile(const char* from, const char* to) {
    return ErrorUnless(MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

DWORD SystemDeleteFile(const char* path) {
    return ErrorUnless(DeleteFileA(path));
}

DWORD SystemOpenToDelete(const char* path) {
    return OpenToDeleteOnSystem(path);
}

void SystemPause(DWORD milliseconds) {
    Sleep(milliseconds);
}
