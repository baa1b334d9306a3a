// Run-time binding of system functions by name.
#pragma once

#include <windows.h>

// Library slots: the application's bound functions take slot 0; the run time's own, later ones.
inline constexpr int kCommonDialogSlot = 1;
inline constexpr int kCommonControlsSlot = 2;

// Loads a system library from System32 by its full path, so that no folder searched before
// System32 (on Windows 7 without KB2533623, the exe's own) can supply it; null where it cannot be
// loaded.
HMODULE LoadSystemLibrary(const char* name);
// The address of a function that not every Windows has, or null. The binding seam: the program
// links the system's lookup, a test its own that withholds functions.
FARPROC FindSystemFunction(const char* library, const char* name);
// The same as a typed function pointer, null where this Windows has none.
template <typename Function> Function FindSystemFunctionAs(const char* library, const char* name) {
    // Through void(*)(), the one function type that converts without a warning.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(FindSystemFunction(library, name)));
}

// Loads `name` into the library slot, from System32 (the common controls from the manifest's
// assembly); a library that cannot be loaded is a fatal error. A slot already filled stays as
// it is.
void BindLibrary(int slot, const char* name);
// The address of `name` in the slot's library; a missing function is a fatal error.
FARPROC BindFunction(int slot, const char* name);

// Binds `name` from the slot's library into a typed function pointer.
template <typename Function> void BindInto(Function& cell, int slot, const char* name) {
    // Through void(*)(), the one function type that converts without a warning.
    cell = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(BindFunction(slot, name)));
}
