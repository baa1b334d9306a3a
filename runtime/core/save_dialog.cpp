#include "save_dialog.h"

#include "binding.h"

static constexpr OPENFILENAMEA InitialSaveRequest() {
    OPENFILENAMEA request{};
    request.lStructSize = kSaveRequestSize;
    request.nMaxFile = kSaveFileNameBytes;
    return request;
}

// Static initial values: the entry point runs no constructors.
constinit OPENFILENAMEA SaveRequest = InitialSaveRequest();

static StringVariable fileNameBuffer;

static BOOL(WINAPI* boundGetSaveFileName)(OPENFILENAMEA*);
static DWORD(WINAPI* boundCommDlgExtendedError)();

static void BindCommonDialogs() {
    if (boundGetSaveFileName != nullptr)
        return;
    BindLibrary(kCommonDialogSlot, "comdlg32.dll");
    BindInto(boundGetSaveFileName, kCommonDialogSlot, "GetSaveFileNameA");
    BindInto(boundCommDlgExtendedError, kCommonDialogSlot, "CommDlgExtendedError");
}

BOOL SaveDialogOpen(OPENFILENAMEA& record) {
    BindCommonDialogs();
    return boundGetSaveFileName(&record);
}

DWORD SaveDialogError() {
    BindCommonDialogs();
    return boundCommDlgExtendedError();
}

void SaveDialogPrepare(OPENFILENAMEA& record) {
    StrReset(fileNameBuffer, static_cast<int32_t>(record.nMaxFile));
    BlockFill(fileNameBuffer.text, static_cast<int32_t>(record.nMaxFile), 0);
    const char* old = record.lpstrFile;
    record.lpstrFile = fileNameBuffer.text;
    if (old == nullptr || old == fileNameBuffer.text)
        return;
    // Leave room for the NUL: a longer initial name is cut to fit the buffer.
    int32_t length = TextLength(old);
    int32_t room = static_cast<int32_t>(record.nMaxFile) - 1;
    BlockCopy(old, fileNameBuffer.text, length < room ? length : room);
}

TextView SaveDialogChosenName(const OPENFILENAMEA& record) {
    constexpr DWORD kMultipleNames = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
    if ((record.Flags & kMultipleNames) == kMultipleNames)
        return {record.lpstrFile, static_cast<int32_t>(record.nMaxFile)};
    return {record.lpstrFile, TextLength(record.lpstrFile)};
}
