// Files: whole-file writes, and file variables (a string variable standing for an open file).
#pragma once
#include <cstdint>

#include <windows.h>

#include "paths.h"
#include "strings.h"
#include "wide_text.h"

inline constexpr int32_t kFileModeRead = 0;
inline constexpr int32_t kFileModeWrite = 1;
inline constexpr int32_t kFileModeCreate = 0xFFFF;

// The system's error code of the last failed step of FileWriteAll (0 when it succeeded).
extern DWORD LastFileError;

// Creates or truncates the file and writes all `length` bytes in one call; the bytes written.
uint32_t FileWriteAll(const StringVariable& var, const char* name);

// What FileReplaceDurably did: the system's error code (0 when the document took the target's
// place) and, after a failure, the files it could not clear away, each "" where there is none.
struct ReplaceOutcome {
    DWORD error;
    // The staging file that could not be removed. Where displacedTarget is set too, the target is
    // gone: the staging file holds the document and displacedTarget the old target.
    wchar_t leftoverStaging[MAX_PATH];
    wchar_t displacedTarget[MAX_PATH];
    // With the target in place: its backup that could not be removed.
    wchar_t leftoverBackup[MAX_PATH];
};

// Writes the bytes to a new file of its own in the target's folder, flushes it, then puts it in
// the target's place, keeping what the user set on an existing target. Brief holds of another
// program on the files are waited out for about 2.5 s. A failure leaves the target as it was and
// no new file, or names the files in the outcome. A folder whose path leaves no room for the
// staging file gives ERROR_FILENAME_EXCED_RANGE before anything is written. The path is UTF-16
// throughout, so that a folder named in any script is the one written to.
ReplaceOutcome FileReplaceDurably(const StringVariable& var, const wchar_t* target);

// Moves count bytes between the buffer and the variable's text or file (direction 0 reads).
int32_t FileTransfer(StringVariable& var, void* buffer, int32_t count, int32_t direction);

void FileOpen(StringVariable& var, const char* name, int32_t mode);
TextView FileLoad(StringVariable& var);
int64_t FileTell(const StringVariable& var);
void FileSeek(StringVariable& var, int64_t offset);
int64_t FileSize(StringVariable& var);
int32_t FileAtEnd(StringVariable& var);
void FileWriteLine(StringVariable& var, const char* text, int32_t count);
void FileReadAll(StringVariable& var, const char* name);
int32_t FileClose(StringVariable& var);

// The system's text for an error code, in the user's language, in a temporary.
WideView SystemErrorText(DWORD error);
