// The file-operation seam with answers a test scripts, for what only real Windows does: each
// operation gives its next scripted error code, and once they are used up (or for a scripted 0)
// the system does the operation. A scripted 1177 of the replace does what Microsoft documents for
// it: the old target is moved to the backup's name and the replacement keeps its own; any other
// answer of the replace does so where it carries kAfterMovingTheTarget. Named streams are only
// ever scripted.
#pragma once
#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

inline constexpr DWORD kAfterMovingTheTarget = 0x80000000;

enum ScriptedOperation {
    kScriptReplace,
    kScriptMove,
    kScriptDelete,
    kScriptOpenToDelete,
    kScriptAttributes,
    kScriptWriteStream,
    kScriptedOperations
};

// A named stream the save wrote: never on the disk, where Wine would make a file of the name.
struct WrittenStream {
    std::wstring path;
    std::string bytes;
    // Whether the target had not yet been replaced or renamed when it was written.
    bool beforeThePlace;
};

struct FileSystemScript {
    std::deque<DWORD> answers[kScriptedOperations];
    // What the save waited in all, and how often each operation was asked.
    DWORD pausedMs;
    int calls[kScriptedOperations];
    // Volumes report named streams (Wine's never do); the program's own file carries this mark.
    bool namedStreams;
    std::optional<std::string> ownMark;
    // Reads of the program's own file fail with this error from the read that reaches this byte
    // on, counted over every byte read since the reset, as a medium that has gone away does.
    std::optional<DWORD> programReadFailsAt;
    DWORD programReadError;
    DWORD programBytesRead;
    std::vector<WrittenStream> streams;
};

extern FileSystemScript Script;

void ResetScript();
// The operation answers error the given number of times.
void ScriptAnswer(ScriptedOperation operation, DWORD error, int times = 1);
