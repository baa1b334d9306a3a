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

static constexpr char kStagingSuffix[] = ".partial";

// The file a save writes before it takes the target's place: the target's name with a suffix,
// so that a save that was killed half-way leaves a name the user can read, and the next save
// to the same target reuses and removes it.
static bool StagingNameFor(const char* target, char (&staging)[MAX_PATH]) {
    int32_t length = TextLength(target);
    int32_t suffix = static_cast<int32_t>(sizeof kStagingSuffix);
    if (length + suffix > MAX_PATH)
        return false;
    BlockCopy(target, staging, length);
    BlockCopy(kStagingSuffix, staging + length, suffix);
    return true;
}

static DWORD FlushFile(const char* name) {
    HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = FlushFileBuffers(file) ? 0 : GetLastError();
    CloseHandle(file);
    return error;
}

DWORD FileReplaceDurably(const StringVariable& var, const char* target) {
    char staging[MAX_PATH];
    if (!StagingNameFor(target, staging))
        return ERROR_FILENAME_EXCED_RANGE;
    // A read-only file is not replaced: Windows refuses the rename, and so does this on every
    // platform (Wine lets it through), before anything is written.
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_ACCESS_DENIED;
    DWORD error = 0;
    uint32_t written = FileWriteAll(var, staging);
    if (written != static_cast<uint32_t>(var.length))
        error = LastFileError != 0 ? LastFileError : ERROR_DISK_FULL;
    if (error == 0)
        error = FlushFile(staging);
    if (error == 0 &&
        !MoveFileExA(staging, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != 0)
        DeleteFileA(staging);
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
    // A text block the variable held before would otherwise be lost.
    if (var.block != nullptr)
        BlockRelease(var.block);
    HANDLE file = CreateFileA(name, access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
    DWORD size = GetFileSize(file, nullptr);
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
    var.position = static_cast<int32_t>(offset & 0xFFFFFFFF);
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
        FileSeek(var, 0);
        DWORD written = 0;
        WriteFile(FileHandle(var), var.text, static_cast<DWORD>(var.length), &written, nullptr);
        // A copy that shrank must not leave the old tail behind.
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
