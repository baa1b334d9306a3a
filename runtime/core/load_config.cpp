// The program's load configuration, as Microsoft's linker emits it from `_load_config_used`: the
// post-link step points the image's load-configuration directory at it where the linker did not.
// - DependentLoadFlags LOAD_LIBRARY_SEARCH_SYSTEM32: from Windows 10 1607 on, the loader resolves
//   the exe's imports from System32 only, never from the folder it was downloaded to.
// - SecurityCookie names the stack guard, which the loader seeds before the entry runs.
// Spelled here rather than taken from <winnt.h>, whose name for DependentLoadFlags differs from
// one MinGW-w64 version to the next.
#include "stack_guard.h"

#include <windows.h>

#include <cstddef>

// IMAGE_LOAD_CONFIG_DIRECTORY32 up to SecurityCookie, the size every Windows accepts for an i386
// image (the image has no SEH handlers to list: it is linked NO_SEH); IMAGE_LOAD_CONFIG_DIRECTORY64
// up to SEHandlerCount. Fields not named below are zero.
struct LoadConfiguration {
    DWORD size = 0;
    DWORD timeDateStamp = 0;
    WORD majorVersion = 0;
    WORD minorVersion = 0;
    DWORD globalFlagsClear = 0;
    DWORD globalFlagsSet = 0;
    DWORD criticalSectionDefaultTimeout = 0;
    ULONG_PTR deCommitFreeBlockThreshold = 0;
    ULONG_PTR deCommitTotalFreeThreshold = 0;
    ULONG_PTR lockPrefixTable = 0;
    ULONG_PTR maximumAllocationSize = 0;
    ULONG_PTR virtualMemoryThreshold = 0;
#ifdef _WIN64
    ULONG_PTR processAffinityMask = 0;
    DWORD processHeapFlags = 0;
#else
    DWORD processHeapFlags = 0;
    ULONG_PTR processAffinityMask = 0;
#endif
    WORD csdVersion = 0;
    WORD dependentLoadFlags = 0;
    ULONG_PTR editList = 0;
    uintptr_t* securityCookie = nullptr;
#ifdef _WIN64
    ULONG_PTR seHandlerTable = 0;
    ULONG_PTR seHandlerCount = 0;
#endif
};

#ifdef _WIN64
static_assert(sizeof(LoadConfiguration) == 0x70);
static_assert(offsetof(LoadConfiguration, dependentLoadFlags) == 0x4E);
static_assert(offsetof(LoadConfiguration, securityCookie) == 0x58);
#else
static_assert(sizeof(LoadConfiguration) == 0x40);
static_assert(offsetof(LoadConfiguration, dependentLoadFlags) == 0x36);
static_assert(offsetof(LoadConfiguration, securityCookie) == 0x3C);
#endif

extern "C" const LoadConfiguration _load_config_used = {
    .size = sizeof(LoadConfiguration),
    .dependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32,
    .securityCookie = &__stack_chk_guard,
};
