#include "wide_text.h"

#include <windows.h>

static constexpr UINT kWindows1252 = 1252;

int32_t WideTextLength(const wchar_t* text) {
    int32_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

// One more NUL byte after the one every append stores: the text then ends in a UTF-16 NUL.
static void EndWide(StringVariable& var) {
    char* room = StrAppendRoom(var, 2);
    room[0] = 0;
    room[1] = 0;
    var.position -= 2;
    var.length -= 2;
}

void StrAppendWide(StringVariable& var, const wchar_t* text, int32_t count) {
    StrAppend(var, text, count * 2);
    EndWide(var);
}

void StrAssignWide(StringVariable& var, const wchar_t* text, int32_t count) {
    var.position = 0;
    var.length = 0;
    StrAppendWide(var, text, count);
}

void StrAppend1252AsWide(StringVariable& var, const char* text, int32_t count) {
    // A single-byte code page: one UTF-16 unit a byte.
    if (count > 0) {
        char* room = StrAppendRoom(var, count * 2);
        MultiByteToWideChar(kWindows1252, 0, text, count, reinterpret_cast<wchar_t*>(room), count);
    }
    EndWide(var);
}

const wchar_t* WideFrom1252(const char* text) {
    StringVariable& wide = NextTemporary();
    int32_t length = TextLength(text);
    StrReset(wide, length * 2 + 1);
    StrAppend1252AsWide(wide, text, length);
    return WideText(wide);
}

TextView StrAssign1252FromWide(StringVariable& var, const wchar_t* text, int32_t count) {
    StrReset(var, count);
    // A surrogate pair gives one byte: the text can only get shorter.
    int written = count > 0 ? WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, text, count,
                                                  var.text, count, "?", nullptr)
                            : 0;
    var.position = written;
    var.length = written;
    var.text[written] = 0;
    return StrView(var);
}
