#include "save_dialog.h"

#include "binding.h"

static constexpr OPENFILENAMEW InitialSaveRequest() {
    OPENFILENAMEW request{};
    request.lStructSize = kSaveRequestSize;
    request.nMaxFile = kSaveFileNameChars;
    return request;
}

// Static initial values: the entry point runs no constructors.
constinit OPENFILENAMEW SaveRequest = InitialSaveRequest();

static StringVariable fileNameBuffer;

static BOOL(WINAPI* boundGetSaveFileName)(OPENFILENAMEW*);
static DWORD(WINAPI* boundCommDlgExtendedError)();

static void BindCommonDialogs() {
    if (boundGetSaveFileName != nullptr)
        return;
    BindLibrary(kCommonDialogSlot, "comdlg32.dll");
    BindInto(boundGetSaveFileName, kCommonDialogSlot, "GetSaveFileNameW");
    BindInto(boundCommDlgExtendedError, kCommonDialogSlot, "CommDlgExtendedError");
}

BOOL SaveDialogOpen(OPENFILENAMEW& record) {
    BindCommonDialogs();
    return boundGetSaveFileName(&record);
}

DWORD SaveDialogError() {
    BindCommonDialogs();
    return boundCommDlgExtendedError();
}

void SaveDialogPrepare(OPENFILENAMEW& record) {
    auto bytes = static_cast<int32_t>(record.nMaxFile * sizeof(wchar_t));
    StrReset(fileNameBuffer, bytes);
    BlockFill(fileNameBuffer.text, bytes, 0);
    const wchar_t* old = record.lpstrFile;
    record.lpstrFile = WideBuffer(fileNameBuffer);
    if (old == nullptr || old == record.lpstrFile)
        return;
    // Leave room for the NUL: a longer initial name is cut to fit the buffer.
    int32_t length = WideTextLength(old);
    int32_t room = static_cast<int32_t>(record.nMaxFile) - 1;
    BlockCopy(old, record.lpstrFile,
              static_cast<int32_t>((length < room ? length : room) * sizeof(wchar_t)));
}

WideView SaveDialogChosenName(const OPENFILENAMEW& record) {
    constexpr DWORD kMultipleNames = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
    if ((record.Flags & kMultipleNames) == kMultipleNames)
        return {record.lpstrFile, static_cast<int32_t>(record.nMaxFile)};
    return {record.lpstrFile, WideTextLength(record.lpstrFile)};
}
