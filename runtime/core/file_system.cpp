#include "file_system.h"

// The longest path Windows gives a program's own file.
static constexpr DWORD kProgramPathChars = 32768;
static wchar_t programPath[kProgramPathChars];

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

DWORD SystemFileAttributes(const wchar_t* path, DWORD& attributes) {
    attributes = GetFileAttributesW(path);
    return ErrorUnless(attributes != INVALID_FILE_ATTRIBUTES);
}

DWORD SystemVolumeFlags(HANDLE file) {
    DWORD flags = 0;
    if (!GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return 0;
    return flags;
}

DWORD SystemReadStream(const wchar_t* path, void* buffer, DWORD capacity, DWORD& read) {
    read = 0;
    HANDLE stream =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (stream == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = ErrorUnless(ReadFile(stream, buffer, capacity, &read, nullptr));
    CloseHandle(stream);
    return error;
}

DWORD SystemWriteStream(const wchar_t* path, const void* bytes, DWORD count) {
    HANDLE stream =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (stream == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD written = 0;
    DWORD error = ErrorUnless(WriteFile(stream, bytes, count, &written, nullptr));
    if (error == 0 && written != count)
        error = ERROR_DISK_FULL;
    CloseHandle(stream);
    if (error != 0)
        DeleteFileW(path);
    return error;
}

DWORD SystemOpenProgramFile(HANDLE& file) {
    file = INVALID_HANDLE_VALUE;
    DWORD length = GetModuleFileNameW(nullptr, programPath, kProgramPathChars);
    if (length == 0)
        return GetLastError();
    if (length >= kProgramPathChars)
        return ERROR_FILENAME_EXCED_RANGE;
    file = CreateFileW(programPath, GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
}

DWORD SystemReadAt(HANDLE file, DWORD offset, void* buffer, DWORD count) {
    return ReadAtOnSystem(file, offset, buffer, count);
}
