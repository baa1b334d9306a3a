#include "app.h"

#include "core/files.h"
#include "core/resources.h"
#include "core/save_dialog.h"
#include "core/fatal.h"
#include "resource_ids.h"

#include <cderr.h>

#include <initializer_list>

static constexpr int32_t kDirectorySizeHint = 255;
// OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_LONGNAMES
static constexpr DWORD kSaveFlags = 0x202806;

void BuildSaveRequest() {
    StrAssign(DefaultFileName, FileBaseName.text, FileBaseName.length);
    StrAppend(DefaultFileName, ".pdf", 4);
    SaveRequest.lpstrFilter = SaveFilter.text;
    SaveRequest.lpstrFile = DefaultFileName.text;
    SaveRequest.lpstrTitle = DialogTitle.text;
    SaveRequest.Flags = kSaveFlags;
    SaveRequest.lpstrDefExt = "pdf";
}

static void ReadCurrentDirectory() {
    StrReset(DirectoryBuffer, kDirectorySizeHint);
    BlockFill(DirectoryBuffer.text, kDirectorySizeHint, 0);
    // A directory that does not fit leaves the buffer empty: the dialog then picks its own folder.
    GetCurrentDirectoryA(kDirectorySizeHint, DirectoryBuffer.text);
    StrSyncLength(DirectoryBuffer);
    StrAssign(InitialDir, DirectoryBuffer.text, DirectoryBuffer.length);
    SaveRequest.lpstrInitialDir = InitialDir.text;
}

static void Append(StringVariable& var, const char* text) {
    StrAppend(var, text, TextLength(text));
}

// Where a failed save left files behind: the file that holds the document and the one that holds
// the old target, where the target could not be put back; else what could not be removed.
static void AppendLeftovers(StringVariable& message) {
    if (DisplacedTargetFile[0] != 0) {
        Append(message, "\r\n\r\nDas Dokument liegt in dieser Datei:\r\n");
        Append(message, LeftoverStagingFile);
        Append(message, "\r\n\r\nIhre bisherige Datei liegt jetzt hier:\r\n");
        Append(message, DisplacedTargetFile);
        return;
    }
    if (LeftoverStagingFile[0] == 0 && LeftoverBackupFile[0] == 0)
        return;
    Append(message, "\r\n\r\nDiese Zwischendateien blieben zur\xFC"
                    "ck und k\xF6nnen gel\xF6scht werden:");
    for (const char* leftover : {LeftoverStagingFile, LeftoverBackupFile}) {
        if (leftover[0] != 0) {
            Append(message, "\r\n");
            Append(message, leftover);
        }
    }
}

// Tells the user, in German, that nothing was saved and why, and names the files a failed save
// left behind; the program goes on.
static void ReportNotSaved(const char* path, const char* reason, bool saveLeftFiles = false) {
    StringVariable& message = NextTemporary();
    StrReset(message, kDefaultSizeHint);
    Append(message, "Die Datei wurde nicht gespeichert.");
    if (path != nullptr) {
        Append(message, "\r\n\r\n");
        Append(message, path);
    }
    Append(message, "\r\n\r\n");
    Append(message, reason);
    if (saveLeftFiles)
        AppendLeftovers(message);
    MessageBoxA(nullptr, message.text, ApplicationName, MB_OK | MB_ICONERROR);
}

static const char* SaveFailureReason(DWORD error) {
    if (error == ERROR_FILENAME_EXCED_RANGE)
        return "Der Pfad des Ordners ist zu lang, um die Datei sicher zu speichern. Bitte "
               "w\xE4hlen "
               "Sie einen Ordner mit k\xFCrzerem Pfad oder einen l\xE4ngeren Dateinamen.";
    return SystemErrorText(error).text;
}

static void ReportDialogFailure(DWORD error) {
    if (error == FNERR_BUFFERTOOSMALL) {
        ReportNotSaved(nullptr, "Der Pfad ist l\xE4nger als 259 Zeichen.");
        return;
    }
    char reason[96];
    wsprintfA(reason, "Der Speichern-Dialog meldet den Fehler 0x%04lX.", error);
    ReportNotSaved(nullptr, reason);
}

// The size and CRC-32 the build recorded beside the document, 32 bits little-endian each; a
// program file damaged inside the document, or without the record, never saves it.
static bool CarriedDocumentIsIntact(const StringVariable& document, uint32_t crc) {
    TextView record = ResourceBytes(DOCUMENT_CHECKSUM_RESOURCE);
    if (record.text == nullptr || record.length != 8)
        return false;
    auto* bytes = reinterpret_cast<const uint8_t*>(record.text);
    uint32_t size =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    uint32_t sum =
        bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<uint32_t>(bytes[7]) << 24;
    return size == static_cast<uint32_t>(document.length) && sum == crc;
}

static void ReportDamagedProgram() {
    MessageBoxA(nullptr,
                "Die Programmdatei ist besch\xE4"
                "digt: das Dokument darin ist nicht vollst\xE4ndig. Bitte laden Sie das Programm "
                "noch einmal herunter.",
                ApplicationName, MB_OK | MB_ICONERROR);
}

static void SaveThroughDialog() {
    ReadCurrentDirectory();
    SaveDialogPrepare(SaveRequest);
    if (!SaveDialogOpen(SaveRequest)) {
        // A cancel stays silent; a dialog that failed is reported.
        DWORD error = SaveDialogError();
        if (error != 0)
            ReportDialogFailure(error);
        return;
    }
    TextView chosen = SaveDialogChosenName(SaveRequest);
    StrAssign(ChosenFile, chosen.text, chosen.length);

    StringVariable& document = NextTemporary();
    StrReset(document, kDefaultSizeHint);
    uint32_t crc = ResourceLoadSummed(document, DOCUMENT_RESOURCE);
    if (!CarriedDocumentIsIntact(document, crc)) {
        StrReset(document, kDefaultSizeHint);
        ReportDamagedProgram();
        return;
    }
    // Never truncate the target first: a failed save must leave an existing file as it was.
    DWORD error = FileReplaceDurably(document, ChosenFile.text);
    StrReset(document, kDefaultSizeHint);
    if (error != 0)
        ReportNotSaved(ChosenFile.text, SaveFailureReason(error), true);
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
