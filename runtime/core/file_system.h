// The seam between the save and the file operations that Windows can fail in ways Wine does not:
// brief holds by indexers, sync clients and scanners, and every documented outcome of ReplaceFile.
// The program links the system's operations; a test links scripted ones. Each gives the system's
// error code, 0 on success. Paths are UTF-16, as the Save dialog gave them.
#pragma once
#include <windows.h>

// ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS).
DWORD SystemReplaceFile(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup);
// MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
DWORD SystemMoveFile(const wchar_t* from, const wchar_t* to);
DWORD SystemDeleteFile(const wchar_t* path);
// Opens the file for DELETE with full sharing and closes it again: whether it can be replaced.
DWORD SystemOpenToDelete(const wchar_t* path);
// What SystemOpenToDelete does on the system, for a scripted seam that passes a call through.
inline DWORD OpenToDeleteOnSystem(const wchar_t* path) {
    HANDLE file = CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return 0;
}
void SystemPause(DWORD milliseconds);
// GetFileAttributesW: the error code, with INVALID_FILE_ATTRIBUTES in attributes, where it fails.
DWORD SystemFileAttributes(const wchar_t* path, DWORD& attributes);
// The file-system flags (FILE_NAMED_STREAMS, ...) of the volume that holds the open file; 0 where
// the volume cannot be asked.
DWORD SystemVolumeFlags(HANDLE file);
// Reads up to capacity bytes of a named stream ("file:name") into the buffer.
DWORD SystemReadStream(const wchar_t* path, void* buffer, DWORD capacity, DWORD& read);
// Creates or replaces a named stream with the bytes; one that could not be written whole is
// removed again.
DWORD SystemWriteStream(const wchar_t* path, const void* bytes, DWORD count);
// The program's own file (the running exe) opened for reading; its medium may have gone away.
DWORD SystemOpenProgramFile(HANDLE& file);
// Reads count bytes at the offset of an open file; ERROR_HANDLE_EOF where fewer are there.
DWORD SystemReadAt(HANDLE file, DWORD offset, void* buffer, DWORD count);
// What SystemReadAt does on the system, for a scripted seam that passes a call through.
inline DWORD ReadAtOnSystem(HANDLE file, DWORD offset, void* buffer, DWORD count) {
    OVERLAPPED at = {};
    at.Offset = offset;
    DWORD read = 0;
    if (!ReadFile(file, buffer, count, &read, &at))
        return GetLastError();
    return read != count ? ERROR_HANDLE_EOF : 0;
}
