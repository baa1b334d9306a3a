// The stack guard and its load-time seed.
#pragma once

#include <cstdint>

// Microsoft's default security cookie: the value the loader looks for and replaces. On x86_64 the
// loader keeps the top 16 bits clear.
#if UINTPTR_MAX == 0xFFFFFFFFu
inline constexpr uintptr_t kDefaultStackCookie = 0xBB40E64Eu;
#else
inline constexpr uintptr_t kDefaultStackCookie = 0x00002B992DDFA232u;
#endif

extern "C" uintptr_t __stack_chk_guard;
