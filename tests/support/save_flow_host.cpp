// Runs the program's start-up (without the window) and then its save flow, for tests to drive.
//   save_flow_host saves N   - runs SaveDocument N times; exit 0, or 10 + n when save n kept a
//                              document-sized block, 8 when the saves after the first leaked
//                              file handles, 9 when they did not give their memory back, 7
//                              when a save left another current directory
//   save_flow_host load NAME - ResourceLoad of NAME
//   save_flow_host broken    - one save with a record the dialog refuses (a dialog failure)
#include <windows.h>

#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "app.h"
#include "core/process.h"
#include "core/resources.h"
#include "core/save_dialog.h"

// The memory the process committed for itself, as its own address space shows it. The system's
// private-bytes counter is not used: under a user-mode emulator it is the emulator's, which grows
// in 2 MiB steps as it translates code that the second save runs for the first time.
static SIZE_T CommittedPrivateBytes() {
    SIZE_T committed = 0;
    MEMORY_BASIC_INFORMATION region;
    for (char* address = nullptr; VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            committed += region.RegionSize;
    }
    return committed;
}

// The file handles the process holds, found by asking each handle value (Wine's handle count of
// a process is always 0). Other kinds are not counted: Wine's Save dialog keeps one more registry
// key open after each call.
static DWORD CountOpenFileHandles() {
    constexpr uintptr_t kLastHandleValue = 1 << 12;
    DWORD open = 0;
    DWORD flags = 0;
    for (uintptr_t value = 4; value < kLastHandleValue; value += 4) {
        auto handle = reinterpret_cast<HANDLE>(value);
        if (GetHandleInformation(handle, &flags) && GetFileType(handle) != FILE_TYPE_UNKNOWN)
            ++open;
    }
    return open;
}

// Small texts may stay in the ring; the document's block must not.
static bool HoldsADocumentSizedTemporary() {
    for (const StringVariable& temporary : TemporaryRing)
        if (temporary.capacity >= (1 << 20))
            return true;
    return false;
}

// What Windows' dialog does where its flags lack OFN_NOCHANGEDIR, and Wine's does not: the folder
// of the chosen file becomes the current directory.
static void ChangeDirectoryAsWindowsDoes() {
    if (SaveRequest.Flags & OFN_NOCHANGEDIR)
        return;
    wchar_t folder[MAX_PATH];
    lstrcpynW(folder, SaveRequest.lpstrFile, MAX_PATH);
    *wcsrchr(folder, L'\\') = 0;
    SetCurrentDirectoryW(folder);
}

static bool InFolder(const wchar_t* expected) {
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    return lstrcmpiW(current, expected) == 0;
}

int main(int argc, char** argv) {
    ModuleInstance = GetModuleHandleA(nullptr);
    BuildApplicationTexts();
    BindSystemFunctions();
    BuildSaveRequest();
    if (argc == 3 && strcmp(argv[1], "load") == 0) {
        StringVariable& target = NextTemporary();
        StrReset(target, kDefaultSizeHint);
        ResourceLoad(target, argv[2]);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "broken") == 0) {
        SaveRequest.lStructSize = 1;
        SaveDocument();
        return 0;
    }
    int saves = argc == 3 && strcmp(argv[1], "saves") == 0 ? atoi(argv[2]) : 1;
    // The first save loads the dialog's libraries; the ones after it must leave no trace.
    DWORD handlesAfterFirst = 0;
    SIZE_T privateAfterFirst = 0;
    wchar_t start[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, start);
    for (int save = 1; save <= saves; ++save) {
        SaveDocument();
        if (ChosenFile.length > 0)
            ChangeDirectoryAsWindowsDoes();
        if (!InFolder(start))
            return 7;
        if (HoldsADocumentSizedTemporary())
            return 10 + save;
        DWORD handles = CountOpenFileHandles();
        SIZE_T committed = CommittedPrivateBytes();
        if (save == 1) {
            handlesAfterFirst = handles;
            privateAfterFirst = committed;
        } else if (handles > handlesAfterFirst) {
            return 8;
        } else if (committed > privateAfterFirst + (2u << 20)) {
            return 9;
        }
    }
    return 0;
}
