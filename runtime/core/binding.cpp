#include "binding.h"

#include "fatal.h"

static constexpr int kLibrarySlots = 4;

// Libraries are never freed: bound addresses stay valid until the process ends.
static HMODULE libraryHandles[kLibrarySlots];

void BindLibrary(int slot, const char* name) {
    HMODULE library = (slot >= 0 && slot < kLibrarySlots) ? LoadLibraryA(name) : nullptr;
    if (library == nullptr)
        FatalError(kErrorLibraryNotFound, name);
    libraryHandles[slot] = library;
}

FARPROC BindFunction(int slot, const char* name) {
    HMODULE library = (slot >= 0 && slot < kLibrarySlots) ? libraryHandles[slot] : nullptr;
    FARPROC address = library != nullptr ? GetProcAddress(library, name) : nullptr;
    if (address == nullptr)
        FatalError(kErrorFunctionNotFound, name);
    return address;
}
