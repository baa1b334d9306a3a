#include "files.h"

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

char LeftoverStagingFile[MAX_PATH];

// The staging file: "~wk", four hex digits and ".tmp" in the target's folder. The name is short,
// so that it fits wherever a target name at least as long fits, and of a shape that the cleanup
// can tell for this program's own.
static constexpr char kStagingPrefix[] = "~wk";
static constexpr char kStagingSuffix[] = ".tmp";
static constexpr int32_t kStagingNameLength = 11;
// Names taken by other files are passed over; this many are tried before giving up.
static constexpr int kStagingAttempts = 256;
// Leftovers of a killed save younger than this may belong to a save still running.
static constexpr int64_t kLeftoverAgeTicks = 60LL * 10000000;

static uint32_t stagingCounter;

static const char kHexDigits[] = "0123456789ABCDEF";

// Where the file name starts in a path: after its last separator.
static int32_t FolderLength(const char* path) {
    int32_t folder = 0;
    for (int32_t i = 0; path[i] != 0; ++i)
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':')
            folder = i + 1;
    return folder;
}

static void PutStagingName(char* name, uint32_t number) {
    BlockCopy(kStagingPrefix, name, 3);
    for (int digit = 0; digit < 4; ++digit)
        name[3 + digit] = kHexDigits[(number >> (12 - 4 * digit)) & 0xF];
    BlockCopy(kStagingSuffix, name + 7, static_cast<int32_t>(sizeof kStagingSuffix));
}

static bool IsStagingName(const char* name) {
    if (TextLength(name) != kStagingNameLength)
        return false;
    char expected[kStagingNameLength + 1];
    PutStagingName(expected, 0);
    for (int32_t i = 0; i < kStagingNameLength; ++i) {
        bool digit = i >= 3 && i < 7;
        bool hex = (name[i] >= '0' && name[i] <= '9') || (name[i] >= 'A' && name[i] <= 'F');
        if (digit ? !hex : name[i] != expected[i])
            return false;
    }
    return true;
}

static int64_t TicksOf(const FILETIME& time) {
    return (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Removes what killed saves left in the folder: files of the staging shape, older than a minute,
// neither read-only, hidden nor system files. Nothing else is touched.
static void RemoveLeftovers(char (&path)[MAX_PATH], int32_t folder) {
    PutStagingName(path + folder, 0);
    for (int digit = 3; digit < 7; ++digit)
        path[folder + digit] = '?';
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    constexpr DWORD kNotOurs = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                               FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (IsStagingName(found.cFileName) && (found.dwFileAttributes & kNotOurs) == 0 &&
            TicksOf(now) - TicksOf(found.ftLastWriteTime) > kLeftoverAgeTicks) {
            BlockCopy(found.cFileName, path + folder, kStagingNameLength + 1);
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Creates a staging file that did not exist before (never one of the user's); its path in path.
static HANDLE CreateStagingFile(char (&path)[MAX_PATH], int32_t folder, DWORD& error) {
    for (int attempt = 0; attempt < kStagingAttempts; ++attempt) {
        PutStagingName(path + folder, stagingCounter++ & 0xFFFF);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        error = GetLastError();
        // A folder of that name answers "access denied"; anything else that exists is passed.
        bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                     GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
        if (!taken)
            return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
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

// Whether another program holds the existing target so that it cannot be replaced: asked before
// anything is written, and so that Wine's ReplaceFile, which leaves a file of its own behind when
// it fails on such a target, is not asked at all.
static DWORD TargetInUse(const char* target) {
    HANDLE file =
        CreateFileA(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return 0;
}

// The attributes a user sets that a replacement keeps; Wine's ReplaceFile drops them.
static constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_ARCHIVE |
                                         FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Puts the staging file in the target's place. An existing target is replaced the way that keeps
// what the user set on it (attributes, security, streams); a plain rename only where there is no
// target or the volume cannot replace.
static DWORD PutInPlace(const char* staging, const char* target, DWORD targetAttributes) {
    constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (targetAttributes == INVALID_FILE_ATTRIBUTES)
        return MoveFileExA(staging, target, kMove) ? 0 : GetLastError();
    if (!ReplaceFileA(target, staging, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr)) {
        DWORD error = GetLastError();
        // 1177: the target was moved away but the new file not put in: the rename finishes it.
        bool cannotReplace = error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 ||
                             error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
                             error == ERROR_CALL_NOT_IMPLEMENTED;
        if (!cannotReplace)
            return error;
        if (!MoveFileExA(staging, target, kMove))
            return GetLastError();
    }
    DWORD kept = targetAttributes & kKeptAttributes;
    if ((GetFileAttributesA(target) & kKeptAttributes) != kept)
        SetFileAttributesA(target, kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
    return 0;
}

DWORD FileReplaceDurably(const StringVariable& var, const char* target) {
    LeftoverStagingFile[0] = 0;
    int32_t folder = FolderLength(target);
    if (folder + kStagingNameLength >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    // A read-only file is not replaced: Windows refuses the rename, and so does this on every
    // platform (Wine lets it through), before anything is written.
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_ACCESS_DENIED;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        DWORD inUse = TargetInUse(target);
        if (inUse != 0)
            return inUse;
    }
    char staging[MAX_PATH];
    BlockCopy(target, staging, folder);
    RemoveLeftovers(staging, folder);
    DWORD error = 0;
    HANDLE file = CreateStagingFile(staging, folder, error);
    if (file == INVALID_HANDLE_VALUE)
        return error;
    error = WriteAndFlush(file, var);
    CloseHandle(file);
    if (error == 0)
        error = PutInPlace(staging, target, attributes);
    if (error != 0 && !DeleteFileA(staging))
        BlockCopy(staging, LeftoverStagingFile, TextLength(staging) + 1);
    return error;
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

TextView SystemErrorText(DWORD error) {
    StringVariable& text = NextTemporary();
    StrReset(text, 511);
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text.text, 512, nullptr);
    // The system's texts end in a line break, which the callers place themselves.
    while (length > 0 && (text.text[length - 1] == '\r' || text.text[length - 1] == '\n'))
        --length;
    text.text[length] = 0;
    text.position = static_cast<int32_t>(length);
    text.length = static_cast<int32_t>(length);
    return StrView(text);
}
