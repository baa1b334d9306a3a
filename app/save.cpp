#include "app.h"

#include "core/files.h"
#include "core/resources.h"
#include "core/save_dialog.h"
#include "core/wide_text.h"
#include "core/fatal.h"
#include "resource_ids.h"

#include <cderr.h>

#include <initializer_list>

// In UTF-16 units.
static constexpr int32_t kDirectoryChars = 255;
// OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_LONGNAMES,
// and OFN_NOCHANGEDIR: Windows' dialog would otherwise make the chosen folder the current
// directory, which holds it open until the program ends (a stick saved to could not be removed
// safely, the folder not be renamed).
static constexpr DWORD kSaveFlags = 0x202806 | OFN_NOCHANGEDIR;

// The dialog's own copies of the texts, converted once from Windows-1252.
static StringVariable dialogFilter;
static StringVariable dialogTitle;
static StringVariable proposedName;

static wchar_t* Widened(StringVariable& wide, const StringVariable& text) {
    StrReset(wide, text.length * 2 + 1);
    StrAppend1252AsWide(wide, text.text, text.length);
    return WideBuffer(wide);
}

void BuildSaveRequest() {
    StrAssign(DefaultFileName, FileBaseName.text, FileBaseName.length);
    StrAppend(DefaultFileName, ".pdf", 4);
    // The filter's NULs are converted with it; its own UTF-16 NUL then ends the list.
    SaveRequest.lpstrFilter = Widened(dialogFilter, SaveFilter);
    SaveRequest.lpstrFile = Widened(proposedName, DefaultFileName);
    SaveRequest.lpstrTitle = Widened(dialogTitle, DialogTitle);
    SaveRequest.Flags = kSaveFlags;
    SaveRequest.lpstrDefExt = L"pdf";
}

static void ReadCurrentDirectory() {
    StrReset(DirectoryBuffer, kDirectoryChars * 2);
    BlockFill(DirectoryBuffer.text, kDirectoryChars * 2, 0);
    // A directory that does not fit leaves the buffer empty: the dialog then picks its own folder.
    GetCurrentDirectoryW(kDirectoryChars, WideBuffer(DirectoryBuffer));
    const wchar_t* directory = WideText(DirectoryBuffer);
    StrAssignWide(InitialDir, directory, WideTextLength(directory));
}

// The folder of the path last chosen, without its last separator; a drive's root keeps it ("C:\").
static void TakeChosenFolder() {
    const wchar_t* chosen = WideText(ChosenFile);
    int32_t folder = PathFolderLength(chosen);
    bool driveRoot = folder == 3 && chosen[1] == L':';
    if (folder > 0 && chosen[folder - 1] != L':' && !driveRoot)
        --folder;
    StrAssignWide(InitialDir, chosen, folder);
}

// The first dialog opens in the current directory, every later one where the user chose last.
static void PointDialogAtFolder() {
    if (ChosenFile.length == 0)
        ReadCurrentDirectory();
    else
        TakeChosenFolder();
    SaveRequest.lpstrInitialDir = WideText(InitialDir);
}

// Reports are UTF-16: the program's Windows-1252 texts converted, paths and the system's text
// as they are.
static void AppendText(StringVariable& message, const char* text) {
    StrAppend1252AsWide(message, text, TextLength(text));
}

static void AppendPath(StringVariable& message, const wchar_t* path) {
    StrAppendWide(message, path, WideTextLength(path));
}

// Where a failed save left files behind: the file that holds the document and the one that holds
// the old target, where the target could not be put back; else what could not be removed.
static void AppendLeftovers(StringVariable& message, const ReplaceOutcome& outcome) {
    if (outcome.displacedTarget[0] != 0) {
        AppendText(message, "\r\n\r\nDas Dokument liegt in dieser Datei:\r\n");
        AppendPath(message, outcome.leftoverStaging);
        AppendText(message, "\r\n\r\nIhre bisherige Datei liegt jetzt hier:\r\n");
        AppendPath(message, outcome.displacedTarget);
        return;
    }
    if (outcome.leftoverStaging[0] == 0 && outcome.leftoverBackup[0] == 0)
        return;
    AppendText(message, "\r\n\r\nDiese Zwischendateien blieben zur\xFC"
                        "ck und k\xF6nnen gel\xF6scht werden:");
    for (const wchar_t* leftover : {outcome.leftoverStaging, outcome.leftoverBackup}) {
        if (leftover[0] != 0) {
            AppendText(message, "\r\n");
            AppendPath(message, leftover);
        }
    }
}

// A report begins by saying, in German, that nothing was saved, and names the path if there is
// one; the reason follows.
static StringVariable& BeginReport(const wchar_t* path) {
    StringVariable& message = NextTemporary();
    StrReset(message, kDefaultSizeHint);
    AppendText(message, "Die Datei wurde nicht gespeichert.");
    if (path != nullptr) {
        AppendText(message, "\r\n\r\n");
        AppendPath(message, path);
    }
    AppendText(message, "\r\n\r\n");
    return message;
}

static void ShowError(const wchar_t* text) {
    MessageBoxW(nullptr, text, WideFrom1252(ApplicationName), MB_OK | MB_ICONERROR);
}

// Tells the user why the chosen file was not saved and names the files the save left behind; the
// program goes on.
static void ReportNotSaved(const ReplaceOutcome& outcome) {
    StringVariable& message = BeginReport(WideText(ChosenFile));
    if (outcome.error == ERROR_FILENAME_EXCED_RANGE) {
        AppendText(message, "Der Pfad des Ordners ist zu lang, um die Datei sicher zu speichern. "
                            "Bitte w\xE4hlen Sie einen Ordner mit k\xFCrzerem Pfad oder einen "
                            "l\xE4ngeren Dateinamen.");
    } else {
        WideView reason = SystemErrorText(outcome.error);
        StrAppendWide(message, reason.text, reason.length);
    }
    AppendLeftovers(message, outcome);
    ShowError(WideText(message));
}

// "0x" and at least four hex digits, as the dialog's error codes are written.
static void AppendErrorCode(StringVariable& message, DWORD error) {
    int digits = 4;
    while (digits < 8 && (error >> (4 * digits)) != 0)
        ++digits;
    char code[2 + 8 + 1] = {'0', 'x'};
    for (int i = 0; i < digits; ++i)
        code[2 + i] = "0123456789ABCDEF"[(error >> (4 * (digits - 1 - i))) & 0xF];
    AppendText(message, code);
}

static void ReportDialogFailure(DWORD error) {
    StringVariable& message = BeginReport(nullptr);
    if (error == FNERR_BUFFERTOOSMALL) {
        AppendText(message, "Der Pfad ist l\xE4nger als 259 Zeichen.");
    } else {
        AppendText(message, "Der Speichern-Dialog meldet den Fehler ");
        AppendErrorCode(message, error);
        AppendText(message, ".");
    }
    ShowError(WideText(message));
}

// The size and CRC-32 the build recorded beside the document, 32 bits little-endian each, read from
// the program's own file as the document is; a program file damaged inside the document, or
// without the record, never saves it. The error code where the file cannot be read.
static DWORD CheckCarriedDocument(const StringVariable& document, uint32_t crc, bool& intact) {
    intact = false;
    if (ResourceBytes(DOCUMENT_CHECKSUM_RESOURCE).length != 8)
        return 0;
    StringVariable& record = NextTemporary();
    StrReset(record, kDefaultSizeHint);
    uint32_t ignored = 0;
    DWORD error = ResourceReadSummed(record, DOCUMENT_CHECKSUM_RESOURCE, ignored);
    if (error != 0)
        return error;
    auto* bytes = reinterpret_cast<const uint8_t*>(record.text);
    uint32_t size =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    uint32_t sum =
        bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<uint32_t>(bytes[7]) << 24;
    intact = size == static_cast<uint32_t>(document.length) && sum == crc;
    return 0;
}

static void ReportDamagedProgram() {
    ShowError(WideFrom1252("Die Programmdatei ist besch\xE4"
                           "digt: das Dokument darin ist nicht vollst\xE4ndig. Bitte laden Sie "
                           "das Programm noch einmal herunter."));
}

// The program's own file could not be read: run from a stick that was pulled, a share that was
// dropped, a connection that went away.
static void ReportProgramUnreadable(DWORD error) {
    StringVariable& message = BeginReport(WideText(ChosenFile));
    AppendText(message,
               "Die Programmdatei kann nicht mehr gelesen werden: ihr Datentr\xE4ger wurde "
               "entfernt oder die Verbindung zu ihm ist unterbrochen. Bitte kopieren Sie "
               "das Programm auf diesen Computer und starten Sie es dort erneut.\r\n\r\n");
    WideView reason = SystemErrorText(error);
    StrAppendWide(message, reason.text, reason.length);
    ShowError(WideText(message));
}

// While the document is read and written the window answers no message, from a slow medium for
// many seconds: the wait cursor says the program is working, and what the user clicked or typed
// meanwhile is dropped, so that nothing done while waiting starts a second save.
static HCURSOR BeginBusy() {
    return SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

static void EndBusy(HCURSOR previous) {
    MSG dropped;
    while (PeekMessageA(&dropped, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
           PeekMessageA(&dropped, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    SetCursor(previous);
}

// Reads the carried document from the program's own file and writes it to the chosen path; a
// failure is reported and leaves nothing behind.
static void SaveChosenFile() {
    StringVariable& document = NextTemporary();
    StrReset(document, kDefaultSizeHint);
    HCURSOR previous = BeginBusy();
    uint32_t crc = 0;
    bool intact = false;
    DWORD readError = ResourceReadSummed(document, DOCUMENT_RESOURCE, crc);
    if (readError == 0)
        readError = CheckCarriedDocument(document, crc, intact);
    // Never truncate the target first: a failed save must leave an existing file as it was.
    ReplaceOutcome saved = {};
    if (readError == 0 && intact)
        saved = FileReplaceDurably(document, WideText(ChosenFile));
    StrReset(document, kDefaultSizeHint);
    EndBusy(previous);
    if (readError != 0)
        ReportProgramUnreadable(readError);
    else if (!intact)
        ReportDamagedProgram();
    else if (saved.error != 0)
        ReportNotSaved(saved);
}

static void SaveThroughDialog() {
    PointDialogAtFolder();
    SaveDialogPrepare(SaveRequest);
    if (!SaveDialogOpen(SaveRequest)) {
        // A cancel stays silent; a dialog that failed is reported.
        DWORD error = SaveDialogError();
        if (error != 0)
            ReportDialogFailure(error);
        return;
    }
    WideView chosen = SaveDialogChosenName(SaveRequest);
    StrAssignWide(ChosenFile, chosen.text, chosen.length);
    SaveChosenFile();
}

// While a save runs, its windows (the dialog, its question, a failure box) are the thread's only
// dialog-class windows.
static void BringSaveWindowToFront() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
            SetForegroundWindow(GetLastActivePopup(window));
            return;
        }
    }
}

// The dialog has no owner, so the main window stays usable while it is open: a second press of
// "OK" brings the open dialog to the front instead of opening another on the same buffers. While
// the dialog runs its own loop, only a click or Space reaches "OK"; Enter does not.
static bool saveRunning;

void SaveDocument() {
    if (saveRunning) {
        BringSaveWindowToFront();
        return;
    }
    saveRunning = true;
    SaveThroughDialog();
    saveRunning = false;
    FocusOkButton();
}
