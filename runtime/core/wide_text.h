// UTF-16 texts for the system's W functions. The program's own texts are Windows-1252 bytes and
// are converted with that code page named, never through the system's ANSI code page, which on a
// Russian or Chinese system would garble them; a path stays UTF-16 from the Save dialog to the
// file.
#pragma once
#include <cstdint>

#include "strings.h"

// A string variable may hold UTF-16: `length` counts its bytes, and two NUL bytes follow them.
inline const wchar_t* WideText(const StringVariable& var) {
    return reinterpret_cast<const wchar_t*>(var.text);
}
inline wchar_t* WideBuffer(StringVariable& var) {
    return reinterpret_cast<wchar_t*>(var.text);
}

// A UTF-16 result: the units and their count.
struct WideView {
    const wchar_t* text;
    int32_t length;
};

int32_t WideTextLength(const wchar_t* text);
// Appends count UTF-16 units; StrAssignWide empties the variable first.
void StrAppendWide(StringVariable& var, const wchar_t* text, int32_t count);
void StrAssignWide(StringVariable& var, const wchar_t* text, int32_t count);
// Appends count Windows-1252 bytes as UTF-16.
void StrAppend1252AsWide(StringVariable& var, const char* text, int32_t count);
// A NUL-terminated Windows-1252 text as UTF-16, in the next temporary.
const wchar_t* WideFrom1252(const char* text);
// UTF-16 as Windows-1252 bytes in var (reset first); a character that 1252 lacks becomes '?',
// never a look-alike.
TextView StrAssign1252FromWide(StringVariable& var, const wchar_t* text, int32_t count);
