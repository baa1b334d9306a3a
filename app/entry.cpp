// The process entry: no C run-time start-up, the program's own sequence only.
#include "app.h"
#include "core/process.h"

extern "C" void WINAPI ProgramEntry() {
    ModuleInstance = GetModuleHandleA(nullptr);
    // Round to nearest, all exceptions masked.
    __asm__ volatile("fninit");
    StdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    StdInput = GetStdHandle(STD_INPUT_HANDLE);
    StdError = GetStdHandle(STD_ERROR_HANDLE);
    ExitProcess(static_cast<UINT>(RunMain()));
}
