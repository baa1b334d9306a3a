// Property operations: writes act on TargetObject, reads on SourceObject, and keep the record
// and its window in step.
#pragma once
#include <cstdint>

#include <windows.h>

#include "controls/control_record.h"
#include "core/strings.h"

// A font description, the font made from it (on first use) and whether it changed since.
struct FontRecord {
    LOGFONTA logFont;
    HFONT fontHandle;
    int32_t changed;
};
#if defined(__i386__)
static_assert(sizeof(FontRecord) == sizeof(LOGFONTA) + 8, "LOGFONTA, then handle and flag");
#endif

// A font record's values before the application sets its face, height and weight.
constexpr FontRecord NewFontRecord() {
    FontRecord font{};
    font.logFont.lfWeight = FW_NORMAL;
    font.logFont.lfCharSet = DEFAULT_CHARSET;
    return font;
}

// Font record fields: each assignment marks the record changed.
void SetFontFace(FontRecord& font, const char* face);
void SetFontHeight(FontRecord& font, LONG height);
void SetFontWeight(FontRecord& font, LONG weight);

void MoveControl();
void SetLeft(int32_t value);
void SetTop(int32_t value);
void SetWidth(int32_t value);
void SetHeight(int32_t value);
void ReadGeometry();
int32_t GetLeft();
int32_t GetTop();
int32_t GetWidth();
int32_t GetHeight();
int32_t ReadClientWidth();
void CenterOnScreen();
void ShowControl();
void SetVisible(int32_t flag);
void Repaint();
void SetCaption(const char* text);
TextView ReadCaption();
TextView ReadItemText(UINT lengthMessage, WPARAM index);
TextView ReadListViewItemText(int32_t item, int32_t subitem);
DWORD GetStyle();
void SetStyle(DWORD style);
void SetStyleFlag(int bit, int32_t flag);
void SetFrameFlag(int32_t flag);
void SetBackColor(COLORREF colour);
void SetControlTextColor(COLORREF colour);
void ApplyFont(FontRecord& font);
// Shows every control at the layout's scale after it changed: their geometry, pictures and fonts,
// the fonts and pictures of the old scale freed. The forms are left to the caller.
void ApplyScale();
void SetParentWindow(HWND parent);
HWND GetHandle();

HBITMAP LoadPictureBitmap(const char* name);
HICON LoadPictureIcon(const char* name);

// Bit operators on numbers: operands round to the nearest 32-bit integer (half to even).
double NumAnd(double a, double b);
double NumOr(double a, double b);
double NumXor(double a, double b);
// Logical: 1 for 0, else 0.
double NumNot(double a);
