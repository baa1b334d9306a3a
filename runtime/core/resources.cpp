#include "resources.h"

#include <windows.h>

#include "fatal.h"
#include "files.h"
#include "process.h"

// The order in which types are searched: the first type holding the name wins.
static const char* const kResourceTypes[] = {
    MAKEINTRESOURCEA(1),
    MAKEINTRESOURCEA(2),
    MAKEINTRESOURCEA(3),
    MAKEINTRESOURCEA(4),
    MAKEINTRESOURCEA(5),
    MAKEINTRESOURCEA(6),
    MAKEINTRESOURCEA(7),
    MAKEINTRESOURCEA(8),
    MAKEINTRESOURCEA(9),
    MAKEINTRESOURCEA(10),
    "WAVE",
    "AVI",
};

void ResourceLoad(StringVariable& dest, const char* name) {
    HRSRC found = nullptr;
    for (const char* type : kResourceTypes) {
        found = FindResourceA(ModuleInstance, name, type);
        if (found != nullptr)
            break;
    }
    if (found == nullptr)
        FatalError(kErrorResourceNotFound, name);
    void* bytes = LockResource(LoadResource(ModuleInstance, found));
    DWORD count = SizeofResource(ModuleInstance, found);
    // A write from the resource's bytes, which are only read.
    FileTransfer(dest, bytes, static_cast<int32_t>(count), 1);
}
