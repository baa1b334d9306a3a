// The guard that stack-protected functions check before they return (GCC's -fstack-protector), and
// what a failed check does. There is no C run time to seed the guard: the load configuration names
// it (load_config.cpp), and Windows' loader, like Wine's, replaces Microsoft's default value with
// a random one before the entry runs.
#include "stack_guard.h"

#include <windows.h>

extern "C" {

uintptr_t __stack_chk_guard = kDefaultStackCookie;

// A smashed stack is not to be trusted, so no handler may run: Windows 8 and later end the process
// in the kernel (__fastfail); on older ones, as Microsoft's run time does, the process ends with
// the same code.
[[noreturn]] void __stack_chk_fail() {
    if (IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE))
        __asm__ volatile("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE) : "memory");
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}
}
