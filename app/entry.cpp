// The process entry: no C run-time start-up, the program's own sequence only.
#include "app.h"
#include "core/binding.h"
#include "core/process.h"
#include "core/resources.h"
#include "resource_ids.h"

// Libraries loaded by name come from System32 only, never from the folder the carrier was
// downloaded to. SetDefaultDllDirectories exists from Windows 8 (and 7 with KB2533623); without
// it, the current directory at least leaves the search, and the run time loads its own libraries
// by their full System32 path.
static void LimitLibrarySearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto setDefaultDllDirectories = FindSystemFunctionAs<SetDefaultDllDirectoriesFunction>(
        "kernel32.dll", "SetDefaultDllDirectories");
    if (setDefaultDllDirectories == nullptr ||
        !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryA("");
}

// Runs before anything else and never returns, so it checks no stack guard of its own.
extern "C" __attribute__((no_stack_protector)) void WINAPI ProgramEntry() {
    // A corrupted heap ends the process instead of being used further. Windows turns this on by
    // itself only for images of subsystem version 6.0 or later, and raising the i686 image's 4.0
    // would change the frame that Windows gives its window.
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    LimitLibrarySearch();
    // No system error boxes for missing media or files: the program reports its own failures.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ModuleInstance = GetModuleHandleA(nullptr);
    // Run from a stick or a share, the program must still be able to say that its medium is gone.
    KeepImageInMemoryBut(DOCUMENT_RESOURCE);
    // Round to nearest, all exceptions masked.
    __asm__ volatile("fninit");
    StdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    StdInput = GetStdHandle(STD_INPUT_HANDLE);
    StdError = GetStdHandle(STD_ERROR_HANDLE);
    // Loaded here, where the import table used to load them, not at the first control: under Wine
    // the common controls and their visual style set up before the display driver starts about
    // 3 ms sooner.
    BindLibrary(kCommonControlsSlot, "comctl32.dll");
    ExitProcess(static_cast<UINT>(RunMain()));
}
