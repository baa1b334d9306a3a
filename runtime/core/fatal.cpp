#include "fatal.h"

#include <windows.h>

#include "strings.h"
#include "wide_text.h"
#include "volume.h"

const char ApplicationName[] = CARRIER_APPLICATION_NAME;

static constexpr int kErrorTextLength = 19;
static constexpr int kErrorCount = 6;

// Each text is exactly 19 characters; the trailing blanks separate it from the extra text.
static const char kErrorTexts[kErrorCount][kErrorTextLength + 1] = {
    "Library not found  ", "Function not found ", "Insufficient memory",
    "Array index error  ", "Resource not found ", "Variant type error ",
};

// Used when no block can be had for the message, or when building it failed and re-entered here.
static char fallbackMessage[kErrorTextLength + MAX_PATH + 1];
static bool fatalInProgress;

static const char* FallbackMessage(int index, const char* extra, int32_t extraLength) {
    BlockCopy(kErrorTexts[index], fallbackMessage, kErrorTextLength);
    int32_t room = static_cast<int32_t>(sizeof fallbackMessage) - kErrorTextLength - 1;
    int32_t kept = extraLength < room ? extraLength : room;
    BlockCopy(extra, fallbackMessage + kErrorTextLength, kept);
    fallbackMessage[kErrorTextLength + kept] = 0;
    return fallbackMessage;
}

static const char* BuildMessage(int index, const char* extra) {
    int32_t extraLength = extra != nullptr ? TextLength(extra) : 0;
    if (fatalInProgress)
        return FallbackMessage(index, extra, extraLength);
    fatalInProgress = true;
    StringVariable& message = NextTemporary();
    // Sized for the whole message up front, so the appends below never need to grow.
    int64_t hint = static_cast<int64_t>(kErrorTextLength) + extraLength;
    if (hint < kDefaultSizeHint)
        hint = kDefaultSizeHint;
    if (hint > INT32_MAX - 32 || !StrTryReset(message, static_cast<int32_t>(hint)))
        return FallbackMessage(index, extra, extraLength);
    StrAppend(message, kErrorTexts[index], kErrorTextLength);
    StrAppend(message, extra, extraLength);
    return message.text;
}

// The box's texts as UTF-16, converted from Windows-1252 into a static buffer: no block is needed,
// and the system's code page never reads them.
static wchar_t wideMessage[sizeof fallbackMessage];
static wchar_t wideCaption[sizeof ApplicationName];

static const wchar_t* Widened(const char* text, wchar_t* wide, int32_t chars) {
    int32_t length = TextLength(text);
    int32_t kept = length < chars - 1 ? length : chars - 1;
    MultiByteToWideChar(1252, 0, text, kept, wide, kept);
    wide[kept] = 0;
    return wide;
}

void FatalError(int index, const char* extra) {
    if (index < 0 || index >= kErrorCount)
        index = kErrorArrayIndex;
    MessageBoxW(nullptr,
                Widened(BuildMessage(index, extra), wideMessage,
                        static_cast<int32_t>(sizeof wideMessage / sizeof(wchar_t))),
                Widened(ApplicationName, wideCaption, sizeof ApplicationName), MB_OK);
    ExitProcess(static_cast<UINT>(index + 1));
}
