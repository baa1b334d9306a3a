#include "files.h"

#include "file_system.h"
#include "wide_text.h"
#include "zone_mark.h"

DWORD LastFileError;

static constexpr char kLineEnd[2] = {'\r', '\n'};

static HANDLE FileHandle(const StringVariable& var) {
    return static_cast<HANDLE>(var.file);
}

uint32_t FileWriteAll(const StringVariable& var, const char* name) {
    LastFileError = 0;
    HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        LastFileError = GetLastError();
        return 0;
    }
    DWORD written = 0;
    if (!WriteFile(file, var.text, static_cast<DWORD>(var.length), &written, nullptr))
        LastFileError = GetLastError();
    CloseHandle(file);
    return written;
}

// Names taken by other files are passed over; this many are tried before giving up.
static constexpr int kStagingAttempts = 256;
// Leftovers of a killed save younger than this may belong to a save still running.
static constexpr int64_t kLeftoverAgeTicks = 60LL * 10000000;
// Waits between tries of an operation on a file that another program holds: 40 ms, doubling,
// 2.52 s in all.
static constexpr DWORD kFirstHoldWaitMs = 40;
static constexpr DWORD kLastHoldWaitMs = 1280;

static uint32_t stagingCounter;

using Path = wchar_t[MAX_PATH];

static void CopyPath(const wchar_t* from, wchar_t* to, int32_t chars) {
    BlockCopy(from, to, chars * static_cast<int32_t>(sizeof(wchar_t)));
}

static int64_t TicksOf(const FILETIME& time) {
    return (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Removes the staging files that killed saves left in the folder: of the staging shape, older than
// a minute, neither read-only, hidden nor system files. A staging file only ever holds a copy of
// the carried document. Backups are never removed here: one left by a killed save may be the only
// copy of the user's file.
static void RemoveLeftovers(Path& path, int32_t folder) {
    PutOwnFilePattern(path + folder, kStagingSuffix);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    constexpr DWORD kNotOurs = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                               FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (IsOwnFileName(found.cFileName, kStagingSuffix) &&
            (found.dwFileAttributes & kNotOurs) == 0 &&
            TicksOf(now) - TicksOf(found.ftLastWriteTime) > kLeftoverAgeTicks) {
            CopyPath(found.cFileName, path + folder, kOwnFileNameLength + 1);
            DeleteFileW(path);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

static bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Only "not found" says that no file is there: one that cannot be asked (held, denied on a share)
// may be the user's.
static bool Exists(const wchar_t* path) {
    DWORD attributes;
    return !IsMissing(SystemFileAttributes(path, attributes));
}

// Creates a staging file that did not exist before (never one of the user's); its path in path.
static HANDLE CreateStagingFile(Path& path, int32_t folder, DWORD& error) {
    for (int attempt = 0; attempt < kStagingAttempts; ++attempt) {
        PutOwnFileName(path + folder, stagingCounter++ & 0xFFFF, kStagingSuffix);
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        error = GetLastError();
        // A folder of that name answers "access denied"; anything else that exists is passed.
        bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || Exists(path);
        if (!taken)
            return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

// A name of the staging shape that no file has, for the backup: Microsoft does not say whether
// ReplaceFile overwrites an existing backup, so none is made beforehand and none is passed.
static bool PickFreeOwnName(Path& path, int32_t folder, const wchar_t* suffix) {
    for (int attempt = 0; attempt < kStagingAttempts; ++attempt) {
        PutOwnFileName(path + folder, stagingCounter++ & 0xFFFF, suffix);
        DWORD attributes;
        if (SystemFileAttributes(path, attributes) == ERROR_FILE_NOT_FOUND)
            return true;
    }
    return false;
}

// Writes all bytes in one call and flushes them on the same handle.
static DWORD WriteAndFlush(HANDLE file, const StringVariable& var) {
    DWORD written = 0;
    if (!WriteFile(file, var.text, static_cast<DWORD>(var.length), &written, nullptr))
        return GetLastError();
    if (written != static_cast<DWORD>(var.length))
        return ERROR_DISK_FULL;
    return FlushFileBuffers(file) ? 0 : GetLastError();
}

// What another program's brief hold on a file answers (an indexer, a sync client, a scanner that
// opened it right after it changed); 1175 and 1176 are ReplaceFile's words for a hold on either
// file, after which, with a backup name, both files keep their names and the call can be repeated.
static bool MayBeABriefHold(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
           error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

// Runs the operation again while it fails as under a brief hold, waiting longer each time; the
// last error once the waits are used up.
template <typename Operation> static DWORD RetryWhileHeld(Operation operation) {
    DWORD error = operation();
    for (DWORD wait = kFirstHoldWaitMs; MayBeABriefHold(error) && wait <= kLastHoldWaitMs;
         wait *= 2) {
        SystemPause(wait);
        error = operation();
    }
    return error;
}

static DWORD MoveWhileHeld(const wchar_t* from, const wchar_t* to) {
    return RetryWhileHeld([=] { return SystemMoveFile(from, to); });
}

static DWORD DeleteWhileHeld(const wchar_t* path) {
    return RetryWhileHeld([=] { return SystemDeleteFile(path); });
}

static void Remember(Path& slot, const wchar_t* path) {
    CopyPath(path, slot, WideTextLength(path) + 1);
}

// The attributes a user sets that a replacement keeps; Wine's ReplaceFile drops them.
static constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_ARCHIVE |
                                         FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

static void KeepAttributes(const wchar_t* target, DWORD targetAttributes) {
    DWORD kept = targetAttributes & kKeptAttributes;
    if ((GetFileAttributesW(target) & kKeptAttributes) != kept)
        SetFileAttributesW(target, kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
}

static bool VolumeCannotReplace(DWORD error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_CALL_NOT_IMPLEMENTED;
}

// Replaces an existing target the way that keeps what the user set on it (attributes, security,
// streams), through a backup of the program's own so that every outcome leaves the old file or
// the document under a known name. A plain rename where the volume cannot replace, and where the
// replace moved the old target away without putting the staging file in its place (1177: the old
// file is then under the backup's name). Where that rename fails, the old file goes back; where
// that fails too, both files stay and are named: the staging file holds the document, the backup
// what the user had.
static DWORD ReplaceThroughBackup(const wchar_t* staging, const wchar_t* target,
                                  const wchar_t* backup, ReplaceOutcome& outcome) {
    DWORD error = RetryWhileHeld([=] { return SystemReplaceFile(target, staging, backup); });
    if (VolumeCannotReplace(error) || (error != 0 && !Exists(target)))
        error = MoveWhileHeld(staging, target);
    if (error != 0 && !Exists(target) && Exists(backup) && MoveWhileHeld(backup, target) != 0) {
        Remember(outcome.leftoverStaging, staging);
        Remember(outcome.displacedTarget, backup);
    }
    // The backup is removed only while the target exists: never the only copy of the user's file.
    // One that stays after a save that failed is named; after a success it is the old version.
    if (outcome.displacedTarget[0] == 0 && Exists(target) && Exists(backup) &&
        DeleteWhileHeld(backup) != 0 && error != 0)
        Remember(outcome.leftoverBackup, backup);
    return error;
}

// Puts the staging file in the target's place: renamed where there is no target, else replaced.
static DWORD PutInPlace(const wchar_t* staging, const wchar_t* target, int32_t folder,
                        DWORD targetAttributes, ReplaceOutcome& outcome) {
    if (targetAttributes == INVALID_FILE_ATTRIBUTES)
        return MoveWhileHeld(staging, target);
    Path backup;
    CopyPath(target, backup, folder);
    if (!PickFreeOwnName(backup, folder, kBackupSuffix))
        return ERROR_FILE_EXISTS;
    DWORD error = ReplaceThroughBackup(staging, target, backup, outcome);
    if (error == 0)
        KeepAttributes(target, targetAttributes);
    return error;
}

static DWORD ReplaceDurably(const StringVariable& var, const wchar_t* target,
                            ReplaceOutcome& outcome) {
    int32_t folder = PathFolderLength(target);
    if (folder + kOwnFileNameLength >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    // A target that cannot be asked is neither taken for missing (a rename would then go over
    // the user's file) nor for there: the save stops before anything is written.
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    DWORD unknown = RetryWhileHeld([&] { return SystemFileAttributes(target, attributes); });
    if (unknown != 0 && !IsMissing(unknown))
        return unknown;
    // A read-only file is not replaced: Windows refuses the rename, and so does this on every
    // platform (Wine lets it through), before anything is written. It is no brief hold: no retry.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_ACCESS_DENIED;
    // Another program that holds the target so that it cannot be replaced is waited out for a
    // moment; a longer hold is refused before anything is written (and Wine's ReplaceFile, which
    // leaves a file of its own behind when it fails on such a target, is not asked at all).
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        DWORD inUse = RetryWhileHeld([=] { return SystemOpenToDelete(target); });
        if (inUse != 0)
            return inUse;
    }
    Path staging;
    CopyPath(target, staging, folder);
    RemoveLeftovers(staging, folder);
    DWORD error = 0;
    HANDLE file = CreateStagingFile(staging, folder, error);
    if (file == INVALID_HANDLE_VALUE)
        return error;
    error = WriteAndFlush(file, var);
    bool namedStreams = error == 0 && (SystemVolumeFlags(file) & FILE_NAMED_STREAMS) != 0;
    CloseHandle(file);
    // Before the replace: ReplaceFile keeps the old file's streams that the new one lacks.
    if (namedStreams)
        MarkLikeTheCarrier(staging);
    if (error == 0)
        error = PutInPlace(staging, target, folder, attributes, outcome);
    if (error != 0 && outcome.leftoverStaging[0] == 0 && Exists(staging) &&
        DeleteWhileHeld(staging) != 0)
        Remember(outcome.leftoverStaging, staging);
    return error;
}

ReplaceOutcome FileReplaceDurably(const StringVariable& var, const wchar_t* target) {
    ReplaceOutcome outcome = {};
    outcome.error = ReplaceDurably(var, target, outcome);
    return outcome;
}

static int32_t WriteToText(StringVariable& var, const void* buffer, int32_t count) {
    if (static_cast<int64_t>(var.position) + count < var.length) {
        BlockCopy(buffer, var.text + var.position, count);
        var.position += count;
    } else {
        StrAppend(var, buffer, count);
    }
    return count;
}

static int32_t ReadFromText(StringVariable& var, void* buffer, int32_t count) {
    // Never past the text: a short read gives what is there.
    int32_t available = var.length - var.position;
    int32_t taken = count < available ? count : (available > 0 ? available : 0);
    BlockCopy(var.text + var.position, buffer, taken);
    var.position += taken;
    return taken;
}

int32_t FileTransfer(StringVariable& var, void* buffer, int32_t count, int32_t direction) {
    if (count <= 0)
        return 0;
    if (var.block != nullptr)
        return direction != 0 ? WriteToText(var, buffer, count) : ReadFromText(var, buffer, count);
    DWORD moved = 0;
    if (direction != 0) {
        WriteFile(FileHandle(var), buffer, static_cast<DWORD>(count), &moved, nullptr);
        var.position += static_cast<int32_t>(moved);
        if (var.position > var.length) {
            var.length = var.position;
            var.capacity = var.position;
        }
    } else {
        ReadFile(FileHandle(var), buffer, static_cast<DWORD>(count), &moved, nullptr);
        var.position += static_cast<int32_t>(moved);
    }
    return static_cast<int32_t>(moved);
}

void FileOpen(StringVariable& var, const char* name, int32_t mode) {
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_ALWAYS;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (mode == kFileModeRead) {
        access = GENERIC_READ;
    } else if (mode == kFileModeWrite) {
        access = GENERIC_WRITE;
    } else if (mode == kFileModeCreate) {
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
        flags |= FILE_FLAG_RANDOM_ACCESS;
    }
    // A text block or a file the variable held before would otherwise be lost.
    if (var.block != nullptr)
        BlockRelease(var.block);
    if (var.file != nullptr)
        CloseHandle(FileHandle(var));
    HANDLE file = CreateFileA(name, access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
    DWORD size = 0;
    LastFileError = 0;
    if (file == INVALID_HANDLE_VALUE) {
        // A failed open is an empty variable without a file, not a file of length -1.
        LastFileError = GetLastError();
        file = nullptr;
    } else {
        size = GetFileSize(file, nullptr);
    }
    var.file = file;
    var.length = static_cast<int32_t>(size);
    var.capacity = static_cast<int32_t>(size);
    var.mode = mode;
    var.position = 0;
    var.block = nullptr;
    var.text = nullptr;
}

TextView FileLoad(StringVariable& var) {
    if (var.block == nullptr) {
        int32_t size = var.length;
        void* file = var.file;
        StrReset(var, size);
        DWORD read = 0;
        ReadFile(static_cast<HANDLE>(file), var.text, static_cast<DWORD>(size > 0 ? size : 0),
                 &read, nullptr);
        var.file = file;
        var.position = 0;
        var.length = static_cast<int32_t>(read);
        var.capacity = static_cast<int32_t>(read);
        var.text[read] = 0;
    }
    return StrView(var);
}

int64_t FileTell(const StringVariable& var) {
    LONG high = 0;
    DWORD low = SetFilePointer(FileHandle(var), 0, &high, FILE_CURRENT);
    return (static_cast<int64_t>(high) << 32) | low;
}

void FileSeek(StringVariable& var, int64_t offset) {
    // Never before the start; a text's position never past its text.
    if (offset < 0)
        offset = 0;
    if (var.block != nullptr && offset > var.length)
        offset = var.length;
    var.position = static_cast<int32_t>(offset < INT32_MAX ? offset : INT32_MAX);
    LONG high = static_cast<LONG>(offset >> 32);
    SetFilePointer(FileHandle(var), static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
}

int64_t FileSize(StringVariable& var) {
    DWORD high = 0;
    DWORD low = GetFileSize(FileHandle(var), &high);
    var.length = static_cast<int32_t>(low);
    var.capacity = static_cast<int32_t>(high);
    return (static_cast<int64_t>(high) << 32) | low;
}

int32_t FileAtEnd(StringVariable& var) {
    return FileTell(var) >= FileSize(var) ? 1 : 0;
}

void FileWriteLine(StringVariable& var, const char* text, int32_t count) {
    FileTransfer(var, const_cast<char*>(text), count, 1);
    FileTransfer(var, const_cast<char*>(kLineEnd), 2, 1);
}

void FileReadAll(StringVariable& var, const char* name) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE || size > INT32_MAX - 32)
        size = 0;
    StrReset(var, static_cast<int32_t>(size));
    DWORD read = 0;
    if (size > 0)
        ReadFile(file, var.text, size, &read, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    var.file = nullptr;
    var.position = 0;
    var.length = static_cast<int32_t>(read);
    var.capacity = static_cast<int32_t>(read);
    var.text[read] = 0;
}

int32_t FileClose(StringVariable& var) {
    if (var.file == nullptr)
        return 0;
    if (var.block != nullptr && var.mode != kFileModeRead) {
        SetFilePointer(FileHandle(var), 0, nullptr, FILE_BEGIN);
        DWORD written = 0;
        // A copy that shrank must not leave the old tail behind; a write that failed or fell short
        // must not cut the file either.
        if (WriteFile(FileHandle(var), var.text, static_cast<DWORD>(var.length), &written,
                      nullptr) &&
            written == static_cast<DWORD>(var.length))
            SetEndOfFile(FileHandle(var));
    }
    if (var.block != nullptr)
        BlockRelease(var.block);
    CloseHandle(FileHandle(var));
    var = StringVariable{};
    return 0;
}

WideView SystemErrorText(DWORD error) {
    constexpr DWORD kChars = 512;
    StringVariable& text = NextTemporary();
    StrReset(text, kChars * sizeof(wchar_t));
    wchar_t* buffer = WideBuffer(text);
    // In the user's own language and script, whatever the ANSI code page.
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, buffer, kChars, nullptr);
    // The system's texts end in a line break, which the callers place themselves.
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n'))
        --length;
    buffer[length] = 0;
    return {buffer, static_cast<int32_t>(length)};
}
