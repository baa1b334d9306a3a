// The file-operation seam with answers a test scripts, for what only real Windows does: each
// operation gives its next scripted error code, and once they are used up (or for a scripted 0)
// the system does the operation. A scripted 1177 of the replace does what Microsoft documents for
// it: the old target is moved to the backup's name and the replacement keeps its own; any other
// answer of the replace does so where it carries kAfterMovingTheTarget.
#pragma once
#include <windows.h>

#include <deque>

inline constexpr DWORD kAfterMovingTheTarget = 0x80000000;

enum ScriptedOperation { kScriptReplace, kScriptMove, kScriptDelete, kScriptOpenToDelete };

struct FileSystemScript {
    std::deque<DWORD> answers[4];
    // What the save waited in all, and how often each operation was asked.
    DWORD pausedMs;
    int calls[4];
};

extern FileSystemScript Script;

void ResetScript();
// The operation answers error the given number of times.
void ScriptAnswer(ScriptedOperation operation, DWORD error, int times = 1);
