#include "binding.h"

#include "fatal.h"

static constexpr int kLibrarySlots = 4;

// Libraries are never freed: bound addresses stay valid until the process ends.
static HMODULE libraryHandles[kLibrarySlots];

HMODULE LoadSystemLibrary(const char* name) {
    // Room for the longest of the program's own library names.
    constexpr UINT kNameRoom = 60;
    char path[MAX_PATH + 1 + kNameRoom + 1];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    path[length++] = '\\';
    for (UINT i = 0; i < kNameRoom && name[i] != 0; ++i)
        path[length++] = name[i];
    path[length] = 0;
    // The libraries it needs in turn are sought from System32 first, never the exe's folder.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void BindLibrary(int slot, const char* name) {
    // A slot keeps the library it was first given: the entry loads the common controls early,
    // and their first use binds them again without a second load.
    if (slot >= 0 && slot < kLibrarySlots && libraryHandles[slot] != nullptr)
        return;
    HMODULE library = nullptr;
    // By its full path the loader would take System32's old common controls, not the version 6
    // that the manifest's activation context redirects the name to (from WinSxS, never the exe's
    // folder).
    if (slot == kCommonControlsSlot)
        library = LoadLibraryA(name);
    else if (slot >= 0 && slot < kLibrarySlots)
        library = LoadSystemLibrary(name);
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
