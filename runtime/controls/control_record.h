// The control record: one per form or control, its creation arguments first, then its window,
// pictures, font, colours and event slots. Plus the record table and the creators.
#pragma once
#include <cstddef>
#include <cstdint>

#include <windows.h>

using EventHandler = void (*)();
// The one handler whose result is used: non-zero is returned as the message's result.
using MessageHandler = LRESULT (*)();

struct ControlRecord {
    // The first ten fields are CreateWindowEx's arguments, in its order; texts are Windows-1252.
    DWORD exStyle;
    const char* className;
    const char* caption;
    DWORD style;
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    HWND parent;
    int32_t id;
    HWND handle;
    // Text pointers or numeric resource ids.
    const char* iconName;
    const char* bitmapName;
    HFONT font;
    HWND autoSizeChild;
    HMENU menu;
    HBRUSH brush;
    COLORREF textColor;
    EventHandler onClick;
    EventHandler onClose;
    EventHandler onKeyDown;
    EventHandler onKeyUp;
    EventHandler onDblClick;
    EventHandler onMouseDown;
    EventHandler onMouseUp;
    EventHandler onPaint;
    EventHandler onResize;
    EventHandler onShow;
    MessageHandler onMessage;
    EventHandler onMouseMove;
};

#if defined(__i386__)
static_assert(offsetof(ControlRecord, exStyle) == 0 && offsetof(ControlRecord, className) == 4 &&
                  offsetof(ControlRecord, caption) == 8 && offsetof(ControlRecord, style) == 12 &&
                  offsetof(ControlRecord, left) == 16 && offsetof(ControlRecord, top) == 20 &&
                  offsetof(ControlRecord, width) == 24 && offsetof(ControlRecord, height) == 28 &&
                  offsetof(ControlRecord, parent) == 32 && offsetof(ControlRecord, id) == 36,
              "the first ten fields are CreateWindowEx's arguments in order, 32 bits each");
static_assert(offsetof(ControlRecord, handle) == 40 && offsetof(ControlRecord, textColor) == 68 &&
                  offsetof(ControlRecord, onClick) == 72 && sizeof(ControlRecord) == 120,
              "handle, pictures, font, brush, colour, then twelve event slots");
#endif

// A record's values before the application touches it; usable in constinit definitions.
constexpr ControlRecord NewRecord() {
    ControlRecord record{};
    record.style = WS_OVERLAPPEDWINDOW;
    record.left = 80;
    record.top = 80;
    record.width = 480;
    record.height = 320;
    return record;
}

// Records the application may create; the table has one more entry, always null.
inline constexpr int kRecordCapacity = 64;

extern ControlRecord* RecordTable[kRecordCapacity + 1];
extern ControlRecord* TargetObject;
extern ControlRecord* SourceObject;
extern int32_t LastId;
extern HWND MainFormWindow;
extern HWND CurrentFormWindow;
extern int32_t DefaultRow;

// The record at table index n, or null for an empty entry or an n outside the table.
ControlRecord* RecordAt(int64_t n);
// The first created record whose window is `handle`, or null.
ControlRecord* FindRecord(HWND handle);
// Whether the record is a window of the run time's form class.
bool IsForm(const ControlRecord& record);

// Creators: each acts on TargetObject and returns the new window.
HWND CreateFromRecord();
HWND CreateForm();
HWND CreatePlainForm();
HWND CreateControl(const char* className, DWORD style);
HWND CreateCommonControl(const char* className, DWORD style);
void DefaultParent();
void DefaultPlacement();

// Loads the record's pictures again, at the layout's scale, and hands them to its window.
void RefreshPictures();

HWND CreateButton();
HWND CreateCheckBox();
HWND CreateRadioButton();
HWND CreateGroupBox();
HWND CreateComboBox();
HWND CreateEditBox();
HWND CreateMultiLineEdit();
HWND CreateRichEdit();
HWND CreatePictureStatic();
HWND CreateLabel();
HWND CreateOwnerDrawnStatic();
HWND CreatePanel();
HWND CreateListBox();
HWND CreateSortedListBox();
HWND CreateScrollBar();
HWND CreateDatePicker();
HWND CreateProgressBar();
HWND CreateReportListView();
HWND CreateIconListView();
HWND CreateHeader();
HWND CreateTabControl();
HWND CreateToolbar();
HWND CreateTrackbar();
HWND CreateTreeView();
HWND CreateUpDown();
HWND CreateStatusBar();
HWND CreateTooltip();
