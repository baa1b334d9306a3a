#include "paths.h"

static constexpr wchar_t kOwnFilePrefix[] = L"~wk";
static constexpr int32_t kPrefixLength = 3;
static constexpr int32_t kNumberDigits = 4;
static constexpr int32_t kSuffixLength = 4;
static_assert(kPrefixLength + kNumberDigits + kSuffixLength == kOwnFileNameLength);

static const char kHexDigits[] = "0123456789ABCDEF";

// Prefix, the digits (number's, or '?' without one) and suffix.
static void PutName(wchar_t* name, const uint32_t* number, const wchar_t* suffix) {
    for (int32_t i = 0; i < kPrefixLength; ++i)
        *name++ = kOwnFilePrefix[i];
    for (int32_t digit = kNumberDigits - 1; digit >= 0; --digit)
        *name++ = number != nullptr ? kHexDigits[(*number >> (4 * digit)) & 0xF] : L'?';
    for (int32_t i = 0; i <= kSuffixLength; ++i)
        *name++ = suffix[i];
}

void PutOwnFileName(wchar_t* name, uint32_t number, const wchar_t* suffix) {
    PutName(name, &number, suffix);
}

void PutOwnFilePattern(wchar_t* name, const wchar_t* suffix) {
    PutName(name, nullptr, suffix);
}

static bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F');
}

bool IsOwnFileName(const wchar_t* name, const wchar_t* suffix) {
    wchar_t pattern[kOwnFileNameLength + 1];
    PutOwnFilePattern(pattern, suffix);
    for (int32_t i = 0; i <= kOwnFileNameLength; ++i)
        if (pattern[i] == L'?' ? !IsHexDigit(name[i]) : name[i] != pattern[i])
            return false;
    return true;
}

int32_t PathFolderLength(const wchar_t* path) {
    int32_t folder = 0;
    for (int32_t i = 0; path[i] != 0; ++i)
        if (path[i] == L'\\' || path[i] == L'/' || path[i] == L':')
            folder = i + 1;
    return folder;
}
