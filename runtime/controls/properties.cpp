#include "controls/properties.h"

#include <cmath>

#include <commctrl.h>

#include "core/process.h"
#include "core/wide_text.h"
#include "controls/contrast.h"
#include "controls/scale.h"
#include "window/form_class.h"

static RECT scratchRect;
static LVITEMA scratchItem;

static constexpr int32_t kListViewTextSize = 4096;
static constexpr uintptr_t kFirstOwnBitmapId = 0x8000;
static constexpr uintptr_t kFirstOwnIconId = 0x7F58;

void SetFontFace(FontRecord& font, const char* face) {
    // At most 31 characters and a NUL, so no font call reads past the field.
    int32_t length = TextLength(face);
    int32_t kept = length < LF_FACESIZE - 1 ? length : LF_FACESIZE - 1;
    BlockCopy(face, font.logFont.lfFaceName, kept);
    font.logFont.lfFaceName[kept] = 0;
    font.changed = 1;
}

void SetFontHeight(FontRecord& font, LONG height) {
    font.logFont.lfHeight = height;
    font.changed = 1;
}

void SetFontWeight(FontRecord& font, LONG weight) {
    font.logFont.lfWeight = weight;
    font.changed = 1;
}

void MoveControl() {
    const ControlRecord& record = *TargetObject;
    MoveWindow(record.handle, ToDisplay(record.left), ToDisplay(record.top),
               ToDisplay(record.width), ToDisplay(record.height), TRUE);
}

void SetLeft(int32_t value) {
    TargetObject->left = value;
    MoveControl();
}

void SetTop(int32_t value) {
    TargetObject->top = value;
    MoveControl();
}

void SetWidth(int32_t value) {
    TargetObject->width = value;
    MoveControl();
}

void SetHeight(int32_t value) {
    TargetObject->height = value;
    MoveControl();
}

void ReadGeometry() {
    ControlRecord& record = *SourceObject;
    // Without a window the rectangle keeps the previous result.
    GetWindowRect(record.handle, &scratchRect);
    record.width = ToDesign(scratchRect.right - scratchRect.left);
    record.height = ToDesign(scratchRect.bottom - scratchRect.top);
    POINT corner = {scratchRect.left, scratchRect.top};
    if ((record.style & WS_CHILD) && record.parent != nullptr)
        ScreenToClient(record.parent, &corner);
    record.left = ToDesign(corner.x);
    record.top = ToDesign(corner.y);
}

int32_t GetLeft() {
    ReadGeometry();
    return SourceObject->left;
}

int32_t GetTop() {
    ReadGeometry();
    return SourceObject->top;
}

int32_t GetWidth() {
    ReadGeometry();
    return SourceObject->width;
}

int32_t GetHeight() {
    ReadGeometry();
    return SourceObject->height;
}

int32_t ReadClientWidth() {
    GetClientRect(SourceObject->handle, &scratchRect);
    return ToDesign(scratchRect.right);
}

// The whole screen, not the work area; a record larger than the screen is cut to it. The screen
// in design pixels that fit into it, so that a window cut to it is never larger than the screen.
void CenterOnScreen() {
    ControlRecord& record = *TargetObject;
    int32_t cx = ToDesignWithin(GetSystemMetrics(SM_CXSCREEN));
    if (cx < record.width)
        record.width = cx;
    record.left = (cx - record.width) / 2;
    int32_t cy = ToDesignWithin(GetSystemMetrics(SM_CYSCREEN));
    if (cy < record.height)
        record.height = cy;
    record.top = (cy - record.height) / 2;
}

void ShowControl() {
    ShowWindow(TargetObject->handle, SW_SHOWNORMAL);
    UpdateWindow(TargetObject->handle);
}

void SetVisible(int32_t flag) {
    ShowWindow(TargetObject->handle, flag != 0 ? SW_SHOWNORMAL : SW_HIDE);
}

void Repaint() {
    InvalidateRect(TargetObject->handle, nullptr, TRUE);
}

void SetCaption(const char* text) {
    TargetObject->caption = text;
    if (TargetObject->handle != nullptr)
        SetWindowTextW(TargetObject->handle, WideFrom1252(text));
}

// The window's text as Windows-1252, whatever the system's code page.
TextView ReadCaption() {
    HWND handle = SourceObject->handle;
    if (handle == nullptr)
        return {EmptyText, 0};
    int32_t n = GetWindowTextLengthW(handle);
    StringVariable& wide = NextTemporary();
    StrReset(wide, n * 2 + 1);
    int32_t copied = n > 0 ? GetWindowTextW(handle, WideBuffer(wide), n + 1) : 0;
    return StrAssign1252FromWide(NextTemporary(), WideText(wide), copied > 0 ? copied : 0);
}

// For message pairs whose filling message is one less than the length message.
TextView ReadItemText(UINT lengthMessage, WPARAM index) {
    HWND handle = SourceObject->handle;
    LRESULT n = SendMessageA(handle, lengthMessage, index, 0);
    if (n == 0)
        return {EmptyText, 0};
    StringVariable& text = NextTemporary();
    StrReset(text, n > 0 && n < INT32_MAX - 32 ? static_cast<int32_t>(n) : 0);
    // An index without an item leaves the buffer empty.
    if (n > 0)
        SendMessageA(handle, lengthMessage - 1, index, reinterpret_cast<LPARAM>(text.text));
    return StrSyncLength(text);
}

TextView ReadListViewItemText(int32_t item, int32_t subitem) {
    scratchItem.state = 0;
    scratchItem.stateMask = 0;
    scratchItem.pszText = nullptr;
    scratchItem.cchTextMax = 0;
    scratchItem.iImage = 0;
    scratchItem.lParam = 0;
    scratchItem.mask = LVIF_TEXT;
    scratchItem.iItem = item;
    scratchItem.iSubItem = subitem;
    StringVariable& text = NextTemporary();
    StrReset(text, kListViewTextSize);
    scratchItem.pszText = text.text;
    scratchItem.cchTextMax = kListViewTextSize;
    SendMessageA(SourceObject->handle, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&scratchItem));
    return StrSyncLength(text);
}

DWORD GetStyle() {
    SourceObject->style = static_cast<DWORD>(GetWindowLongA(SourceObject->handle, GWL_STYLE));
    return SourceObject->style;
}

void SetStyle(DWORD style) {
    SetWindowLongA(TargetObject->handle, GWL_STYLE, static_cast<LONG>(style));
    TargetObject->style = style;
}

// Works on the record's copy: bits the system set since the last GetStyle are overwritten.
void SetStyleFlag(int bit, int32_t flag) {
    DWORD mask = 1u << (bit & 31);
    DWORD style = TargetObject->style;
    SetStyle(flag != 0 ? style | mask : style & ~mask);
}

void SetFrameFlag(int32_t flag) {
    DWORD style = TargetObject->style;
    if (flag != 0)
        style = (style | WS_THICKFRAME) & ~static_cast<DWORD>(WS_MAXIMIZE);
    else
        style = (style | WS_MAXIMIZE) & ~static_cast<DWORD>(WS_THICKFRAME);
    SetStyle(style);
}

bool IsForm(const ControlRecord& record) {
    return record.className == FormClassName ||
           (record.className != nullptr && lstrcmpA(record.className, FormClassName) == 0);
}

void SetBackColor(COLORREF colour) {
    ControlRecord& record = *TargetObject;
    DeleteObject(record.brush);
    record.brush = CreateSolidBrush(colour & 0x00FFFFFF);
    // Every window of the form class shares this background.
    if (IsForm(record))
        SetClassLongPtrA(record.handle, GCLP_HBRBACKGROUND,
                         reinterpret_cast<LONG_PTR>(ShownFormBackground(record.brush)));
}

void SetControlTextColor(COLORREF colour) {
    TargetObject->textColor = colour;
}

// The font records applied so far, whose fonts are made again for a new scale.
static constexpr int kAppliedFontsCapacity = 16;
static FontRecord* appliedFonts[kAppliedFontsCapacity];
static int appliedFontCount;

static void RememberApplied(FontRecord& font) {
    for (int i = 0; i < appliedFontCount; ++i)
        if (appliedFonts[i] == &font)
            return;
    if (appliedFontCount < kAppliedFontsCapacity)
        appliedFonts[appliedFontCount++] = &font;
}

void ApplyFont(FontRecord& font) {
    // The font made before is not deleted: controls given it earlier keep using it.
    if (font.fontHandle == nullptr || font.changed != 0) {
        font.changed = 0;
        font.fontHandle = CreateFontAtScale(font.logFont);
    }
    RememberApplied(font);
    TargetObject->font = font.fontHandle;
    SendMessageA(TargetObject->handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.fontHandle), 1);
}

// Every control that shows the font old is given made, and old is freed.
static void ReplaceFont(HFONT old, HFONT made) {
    for (ControlRecord* const* entry = RecordTable; *entry != nullptr; ++entry) {
        if ((*entry)->font == old) {
            (*entry)->font = made;
            SendMessageA((*entry)->handle, WM_SETFONT, reinterpret_cast<WPARAM>(made), 1);
        }
    }
    DeleteObject(old);
}

void ApplyScale() {
    ControlRecord* target = TargetObject;
    for (ControlRecord* const* entry = RecordTable; *entry != nullptr; ++entry) {
        if (((*entry)->style & WS_CHILD) == 0)
            continue;
        TargetObject = *entry;
        RefreshPictures();
        MoveControl();
    }
    TargetObject = target;
    for (int i = 0; i < appliedFontCount; ++i) {
        FontRecord& font = *appliedFonts[i];
        HFONT old = font.fontHandle;
        font.fontHandle = CreateFontAtScale(font.logFont);
        ReplaceFont(old, font.fontHandle);
    }
    HFONT old = DefaultFont;
    DefaultFont = CreateDefaultFont();
    ReplaceFont(old, DefaultFont);
}

void SetParentWindow(HWND parent) {
    TargetObject->parent = parent;
    SetParent(TargetObject->handle, parent);
}

HWND GetHandle() {
    return SourceObject->handle;
}

HBITMAP LoadPictureBitmap(const char* name) {
    HINSTANCE instance =
        reinterpret_cast<uintptr_t>(name) < kFirstOwnBitmapId ? nullptr : ModuleInstance;
    return LoadBitmapA(instance, name);
}

HICON LoadPictureIcon(const char* name) {
    HINSTANCE instance =
        reinterpret_cast<uintptr_t>(name) < kFirstOwnIconId ? nullptr : ModuleInstance;
    return LoadIconA(instance, name);
}

// Nearest integer, half to even; outside the signed 32-bit range 0x80000000.
static int32_t ToInteger(double value) {
    double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return INT32_MIN;
    return static_cast<int32_t>(rounded);
}

double NumAnd(double a, double b) {
    return ToInteger(a) & ToInteger(b);
}
double NumOr(double a, double b) {
    return ToInteger(a) | ToInteger(b);
}
double NumXor(double a, double b) {
    return ToInteger(a) ^ ToInteger(b);
}
double NumNot(double a) {
    return ToInteger(a) == 0 ? 1 : 0;
}
