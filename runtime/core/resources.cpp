#include "resources.h"

#include <windows.h>

#include "checksum.h"
#include "fatal.h"
#include "file_system.h"
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

// The image's headers, where its section table starts.
static const IMAGE_NT_HEADERS* ImageHeaders() {
    auto* image = reinterpret_cast<const char*>(ModuleInstance);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(
        image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
}

void KeepImageInMemoryBut(const char* name) {
    constexpr uintptr_t kPage = 4096;
    auto image = reinterpret_cast<uintptr_t>(ModuleInstance);
    uintptr_t end = image + ImageHeaders()->OptionalHeader.SizeOfImage;
    TextView skipped = ResourceBytes(name);
    auto from = reinterpret_cast<uintptr_t>(skipped.text);
    uintptr_t to = from + static_cast<uintptr_t>(skipped.length);
    if (skipped.text == nullptr)
        from = to = end;
    // The pages the resource shares with its neighbours are kept; where the system keeps nothing
    // (a small working set, a low limit under Wine), pages are read on demand as before.
    uintptr_t before = (from + kPage - 1) & ~(kPage - 1);
    uintptr_t after = to & ~(kPage - 1);
    VirtualLock(reinterpret_cast<void*>(image), before - image);
    if (after < end)
        VirtualLock(reinterpret_cast<void*>(after), end - after);
}

// Read in pieces of 4 MiB: each read is a call into the system, under Wine a costly one, and
// a piece is still in the processor's cache when it is summed. In pieces of 64 KiB the document's
// read took three times as long under Wine.
static constexpr DWORD kReadPiece = 4 * 1024 * 1024;

// Where bytes of the image lie in its file, from its section table; false where no section's raw
// data holds them.
static bool FileOffsetOf(TextView bytes, DWORD& offset) {
    auto* image = reinterpret_cast<const char*>(ModuleInstance);
    const IMAGE_NT_HEADERS* headers = ImageHeaders();
    auto address = static_cast<DWORD>(bytes.text - image);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
    for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section) {
        DWORD into = address - section->VirtualAddress;
        if (address >= section->VirtualAddress &&
            into + static_cast<DWORD>(bytes.length) <= section->SizeOfRawData) {
            offset = section->PointerToRawData + into;
            return true;
        }
    }
    return false;
}

DWORD ResourceReadSummed(StringVariable& dest, const char* name, uint32_t& crc) {
    crc = 0;
    TextView bytes = FoundResource(name);
    DWORD offset = 0;
    if (!FileOffsetOf(bytes, offset))
        return ERROR_INVALID_DATA;
    char* room = StrAppendRoom(dest, bytes.length);
    if (room == nullptr)
        return 0;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = SystemOpenProgramFile(file);
    for (DWORD done = 0, total = static_cast<DWORD>(bytes.length); error == 0 && done < total;) {
        DWORD piece = total - done < kReadPiece ? total - done : kReadPiece;
        error = SystemReadAt(file, offset + done, room + done, piece);
        if (error == 0)
            crc = Crc32(crc, room + done, piece);
        done += piece;
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return error;
}
