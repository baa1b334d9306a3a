// A program linked and loaded as the carrier is, for its stack guard. "smash" overruns a buffer of
// a protected function, which must end the process with the fast-fail code before it returns;
// otherwise it ends with the low 32 bits of the guard the loader seeded as its exit code.
#include <windows.h>

#include "core/stack_guard.h"
#include "core/text.h"

__attribute__((noinline)) static void OverrunBuffer(int count) {
    char buffer[16];
    for (int i = 0; i < count; ++i)
        reinterpret_cast<volatile char*>(buffer)[i] = 'x';
}

extern "C" void WINAPI ProgramEntry() {
    const char* line = GetCommandLineA();
    if (TextFind("smash", 5, line, TextLength(line), 1) != 0) {
        // A length the compiler cannot know, past the buffer and its canary.
        OverrunBuffer(48 + TextLength(line) % 16);
        ExitProcess(1);
    }
    ExitProcess(static_cast<UINT>(__stack_chk_guard));
}
