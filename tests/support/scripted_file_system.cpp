#include "support/scripted_file_system.h"

#include "core/file_system.h"

#include <cstring>

FileSystemScript Script;

void ResetScript() {
    Script = {};
}

void ScriptAnswer(ScriptedOperation operation, DWORD error, int times) {
    for (int i = 0; i < times; ++i)
        Script.answers[operation].push_back(error);
}

static DWORD NextAnswer(ScriptedOperation operation) {
    ++Script.calls[operation];
    std::deque<DWORD>& answers = Script.answers[operation];
    if (answers.empty())
        return 0;
    DWORD answer = answers.front();
    answers.pop_front();
    return answer;
}

static DWORD ErrorUnless(BOOL done) {
    return done ? 0 : GetLastError();
}

DWORD SystemReplaceFile(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup) {
    DWORD answer = NextAnswer(kScriptReplace);
    if (answer == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 || (answer & kAfterMovingTheTarget))
        MoveFileExW(target, backup, MOVEFILE_REPLACE_EXISTING);
    answer &= ~kAfterMovingTheTarget;
    if (answer != 0)
        return answer;
    return ErrorUnless(ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                    nullptr, nullptr));
}

DWORD SystemMoveFile(const wchar_t* from, const wchar_t* to) {
    DWORD answer = NextAnswer(kScriptMove);
    return answer != 0 ? answer : ErrorUnless(MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING));
}

DWORD SystemDeleteFile(const wchar_t* path) {
    DWORD answer = NextAnswer(kScriptDelete);
    return answer != 0 ? answer : ErrorUnless(DeleteFileW(path));
}

DWORD SystemOpenToDelete(const wchar_t* path) {
    DWORD answer = NextAnswer(kScriptOpenToDelete);
    return answer != 0 ? answer : OpenToDeleteOnSystem(path);
}

void SystemPause(DWORD milliseconds) {
    Script.pausedMs += milliseconds;
}

DWORD SystemFileAttributes(const wchar_t* path, DWORD& attributes) {
    attributes = INVALID_FILE_ATTRIBUTES;
    DWORD answer = NextAnswer(kScriptAttributes);
    if (answer != 0)
        return answer;
    attributes = GetFileAttributesW(path);
    return ErrorUnless(attributes != INVALID_FILE_ATTRIBUTES);
}

DWORD SystemVolumeFlags(HANDLE file) {
    DWORD flags = 0;
    GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0);
    return Script.namedStreams ? flags | FILE_NAMED_STREAMS : flags;
}

DWORD SystemReadStream(const wchar_t*, void* buffer, DWORD capacity, DWORD& read) {
    read = 0;
    if (!Script.ownMark)
        return ERROR_FILE_NOT_FOUND;
    const std::string& mark = *Script.ownMark;
    read = static_cast<DWORD>(mark.size() < capacity ? mark.size() : capacity);
    memcpy(buffer, mark.data(), read);
    return 0;
}

DWORD SystemWriteStream(const wchar_t* path, const void* bytes, DWORD count) {
    DWORD answer = NextAnswer(kScriptWriteStream);
    if (answer != 0)
        return answer;
    bool before = Script.calls[kScriptReplace] == 0 && Script.calls[kScriptMove] == 0;
    Script.streams.push_back({path, std::string(static_cast<const char*>(bytes), count), before});
    return 0;
}

DWORD SystemOpenProgramFile(HANDLE& file) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
    return file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
}

DWORD SystemReadAt(HANDLE file, DWORD offset, void* buffer, DWORD count) {
    if (Script.programReadFailsAt && *Script.programReadFailsAt < Script.programBytesRead + count)
        return Script.programReadError;
    Script.programBytesRead += count;
    return ReadAtOnSystem(file, offset, buffer, count);
}
