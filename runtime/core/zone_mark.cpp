#include "zone_mark.h"

#include "binding.h"
#include "file_system.h"
#include "wide_text.h"
#include "zone_text.h"

#include <initializer_list>

static constexpr wchar_t kMarkStream[] = L":Zone.Identifier";
static constexpr int32_t kMarkStreamLength = 16;
// The program's own file is looked at up to this path length; one longer is taken as unmarked.
static constexpr DWORD kOwnPathChars = 1024;
// A path, "\\?\UNC" before it and the stream's name after it.
static constexpr int32_t kStreamPathChars = kOwnPathChars + 8 + kMarkStreamLength;

static StringVariable markText;

static void PutWide(wchar_t* to, const wchar_t* from, int32_t count) {
    BlockCopy(from, to, count * static_cast<int32_t>(sizeof(wchar_t)));
}

// "file:Zone.Identifier". A file whose path reaches MAX_PATH with the stream's name added (a
// staging file in the deepest folder the dialog accepts) is named in the form that has no such
// limit.
static void PutStreamPath(wchar_t* streamPath, const wchar_t* file) {
    int32_t length = WideTextLength(file);
    int32_t at = 0;
    bool prefixed = file[0] == L'\\' && file[1] == L'\\' && (file[2] == L'?' || file[2] == L'.');
    if (length + kMarkStreamLength >= MAX_PATH && !prefixed) {
        bool unc = file[0] == L'\\' && file[1] == L'\\';
        const wchar_t* prefix = unc ? L"\\\\?\\UNC" : L"\\\\?\\";
        at = WideTextLength(prefix);
        PutWide(streamPath, prefix, at);
        // "\\server\share" becomes "\\?\UNC\server\share".
        if (unc) {
            ++file;
            --length;
        }
    }
    PutWide(streamPath + at, file, length);
    PutWide(streamPath + at + length, kMarkStream, kMarkStreamLength + 1);
}

using RegGetValueFunction = LSTATUS(WINAPI*)(HKEY, LPCSTR, LPCSTR, DWORD, LPDWORD, PVOID, LPDWORD);

// "Do not preserve zone information in file attachments", for the user or the machine.
static bool PolicyKeepsNoZones() {
    auto regGetValue = FindSystemFunctionAs<RegGetValueFunction>("advapi32.dll", "RegGetValueA");
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (regGetValue != nullptr &&
            regGetValue(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Attachments",
                        "SaveZoneInformation", RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS &&
            value == 1)
            return true;
    }
    return false;
}

// The first bytes of the mark of the program's own file, where its volume has named streams
// (elsewhere, as under Wine, a stream's name would open a file of that literal name); false where
// it has none.
static bool ReadOwnMark(const wchar_t* ownPath, char* bytes, DWORD& read) {
    HANDLE own = CreateFileW(ownPath, FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (own == INVALID_HANDLE_VALUE)
        return false;
    DWORD flags = SystemVolumeFlags(own);
    CloseHandle(own);
    if ((flags & FILE_NAMED_STREAMS) == 0)
        return false;
    wchar_t streamPath[kStreamPathChars];
    PutStreamPath(streamPath, ownPath);
    return SystemReadStream(streamPath, bytes, kZoneMarkMostBytes + 1, read) == 0;
}

void MarkLikeTheCarrier(const wchar_t* file) {
    wchar_t ownPath[kOwnPathChars];
    DWORD ownLength = GetModuleFileNameW(nullptr, ownPath, kOwnPathChars);
    if (ownLength == 0 || ownLength >= kOwnPathChars || PolicyKeepsNoZones())
        return;
    char bytes[kZoneMarkMostBytes + 1];
    DWORD read = 0;
    if (!ReadOwnMark(ownPath, bytes, read))
        return;
    bool cut = read > static_cast<DWORD>(kZoneMarkMostBytes);
    ZoneMark mark =
        ParseZoneMark(bytes, cut ? kZoneMarkMostBytes : static_cast<int32_t>(read), cut);
    if (mark.zone < kZoneInternet)
        return;
    char referrer[kOwnPathChars * 3];
    int referrerLength = WideCharToMultiByte(CP_UTF8, 0, ownPath, static_cast<int>(ownLength),
                                             referrer, sizeof referrer, nullptr, nullptr);
    StrReset(markText, kDefaultSizeHint);
    StrAppendZoneMark(markText, mark.zone, {referrer, referrerLength}, mark.hostUrl);
    wchar_t streamPath[kStreamPathChars];
    PutStreamPath(streamPath, file);
    SystemWriteStream(streamPath, markText.text, static_cast<DWORD>(markText.length));
}
