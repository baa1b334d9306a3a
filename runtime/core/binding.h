// Run-time binding of system functions by name.
#pragma once

#include <windows.h>

// Library slots: the application's bound functions take slot 0; the run time's own, later ones.
inline constexpr int kCommonDialogSlot = 1;
inline constexpr int kCommonControlsSlot = 2;

// Loads `name` into the library slot; a library that cannot be loaded is a fatal error.
void BindLibrary(int slot, const char* name);
// The address of `name` in the slot's library; a missing function is a fatal error.
FARPROC BindFunction(int slot, const char* name);

// Binds `name` from the slot's library into a typed function pointer.
template <typename Function> void BindInto(Function& cell, int slot, const char* name) {
    // Through void(*)(), the one function type that converts without a warning.
    cell = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(BindFunction(slot, name)));
}
