#include "resources.h"

#include <windows.h>

#include "checksum.h"
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

TextView ResourceBytes(const char* name) {
    HRSRC found = nullptr;
    for (const char* type : kResourceTypes) {
        found = FindResourceA(ModuleInstance, name, type);
        if (found != nullptr)
            break;
    }
    if (found == nullptr)
        return {nullptr, 0};
    auto* bytes = static_cast<const char*>(LockResource(LoadResource(ModuleInstance, found)));
    return {bytes, static_cast<int32_t>(SizeofResource(ModuleInstance, found))};
}

static TextView FoundResource(const char* name) {
    TextView bytes = ResourceBytes(name);
    if (bytes.text == nullptr)
        FatalError(kErrorResourceNotFound, name);
    return bytes;
}

void ResourceLoad(StringVariable& dest, const char* name) {
    TextView bytes = FoundResource(name);
    // A write from the resource's bytes, which are only read.
    FileTransfer(dest, const_cast<char*>(bytes.text), bytes.length, 1);
}

uint32_t ResourceLoadSummed(StringVariable& dest, const char* name) {
    TextView bytes = FoundResource(name);
    char* room = StrAppendRoom(dest, bytes.length);
    return room != nullptr ? CopyWithCrc32(room, bytes.text, static_cast<uint32_t>(bytes.length), 0)
                           : 0;
}
