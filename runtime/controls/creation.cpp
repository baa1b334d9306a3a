#include "controls/control_record.h"

#include <commctrl.h>

#include "controls/properties.h"
#include "core/binding.h"
#include "core/fatal.h"
#include "core/process.h"
#include "core/wide_text.h"
#include "controls/scale.h"
#include "window/form_class.h"

ControlRecord* RecordTable[kRecordCapacity + 1];
ControlRecord* TargetObject;
ControlRecord* SourceObject;
int32_t LastId = -1;
HWND MainFormWindow;
HWND CurrentFormWindow;
int32_t DefaultRow;

// The common-controls library is bound at run time, after the entry has limited the library search
// to System32, so that the import table names only known system DLLs and nothing is taken from the
// folder the carrier was downloaded to. The manifest's activation context gives version 6. The
// entry loads it early; its functions are bound at their first use.
static void(WINAPI* boundInitCommonControls)();
static BOOL(WINAPI* boundInitCommonControlsEx)(const INITCOMMONCONTROLSEX*);
static HWND(WINAPI* boundCreateStatusWindow)(LONG, LPCSTR, HWND, UINT);

static void BindCommonControls() {
    if (boundInitCommonControls != nullptr)
        return;
    BindLibrary(kCommonControlsSlot, "comctl32.dll");
    BindInto(boundInitCommonControls, kCommonControlsSlot, "InitCommonControls");
    BindInto(boundInitCommonControlsEx, kCommonControlsSlot, "InitCommonControlsEx");
    BindInto(boundCreateStatusWindow, kCommonControlsSlot, "CreateStatusWindowA");
}

static void InitializeCommonControls() {
    BindCommonControls();
    boundInitCommonControls();
}

static constexpr int32_t kDefaultRowStart = -20;
static constexpr int32_t kDefaultRowStep = 30;

ControlRecord* RecordAt(int64_t n) {
    if (n < 0 || n >= kRecordCapacity)
        return nullptr;
    return RecordTable[n];
}

ControlRecord* FindRecord(HWND handle) {
    for (ControlRecord* const* entry = RecordTable; *entry != nullptr; ++entry)
        if ((*entry)->handle == handle)
            return *entry;
    return nullptr;
}

// Enters the record under the next id; a full table leaves it out (and its id as it was),
// so nothing is ever written past the table's end.
static void TakeNextId(ControlRecord& record) {
    if (LastId + 1 >= kRecordCapacity)
        return;
    ++LastId;
    record.id = LastId;
    RecordTable[LastId] = &record;
}

static void GiveDefaultFont(ControlRecord& record) {
    record.font = DefaultFont;
    SendMessageA(record.handle, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont), 0);
}

HWND CreateFromRecord() {
    ControlRecord& record = *TargetObject;
    if (record.id == 0 && RecordAt(0) != &record)
        TakeNextId(record);
    if (record.className == nullptr)
        record.className = FormClassName;
    // Forms (WS_EX_CONTROLPARENT) pass no menu; controls pass their id.
    HMENU menu = (record.exStyle & WS_EX_CONTROLPARENT)
                     ? nullptr
                     : reinterpret_cast<HMENU>(static_cast<intptr_t>(record.id));
    // Created as a UTF-16 window, so that its text never passes through the system's code page.
    const wchar_t* caption = record.caption != nullptr ? WideFrom1252(record.caption) : nullptr;
    record.handle =
        CreateWindowExW(record.exStyle, WideFrom1252(record.className), caption, record.style,
                        ToDisplay(record.left), ToDisplay(record.top), ToDisplay(record.width),
                        ToDisplay(record.height), record.parent, menu, ModuleInstance, nullptr);
    GiveDefaultFont(record);
    return record.handle;
}

static HWND CreateFormWindow() {
    ControlRecord& record = *TargetObject;
    record.exStyle = MainFormWindow == nullptr ? WS_EX_CONTROLPARENT
                                               : WS_EX_CONTROLPARENT | WS_EX_NOPARENTNOTIFY;
    record.parent = MainFormWindow;
    HWND form = CreateFromRecord();
    CurrentFormWindow = form;
    if (MainFormWindow == nullptr) {
        MainFormWindow = form;
        // Its monitor's scale from now on: the layout that follows is shown at it.
        LayoutDpi = DpiOfWindow(form);
    }
    return form;
}

HWND CreateForm() {
    DefaultRow = kDefaultRowStart;
    TargetObject->caption = ApplicationName;
    return CreateFormWindow();
}

HWND CreatePlainForm() {
    TargetObject->style = WS_OVERLAPPED;
    return CreateFormWindow();
}

void DefaultParent() {
    if (TargetObject->parent == nullptr)
        TargetObject->parent = CurrentFormWindow;
}

void DefaultPlacement() {
    ControlRecord& record = *TargetObject;
    record.left = 10;
    DefaultRow += kDefaultRowStep;
    record.top = DefaultRow;
    record.height = 20;
    record.width = 90;
}

HWND CreateControl(const char* className, DWORD style) {
    TargetObject->className = className;
    TargetObject->style = style;
    DefaultParent();
    return CreateFromRecord();
}

HWND CreateCommonControl(const char* className, DWORD style) {
    TargetObject->className = className;
    TargetObject->style = style;
    InitializeCommonControls();
    DefaultParent();
    return CreateFromRecord();
}

// Buttons and picture statics: the picture style bits, then the image handed to the window.
struct PictureStyles {
    DWORD iconBits;
    DWORD bitmapBits;
    // Bits cleared before the icon or bitmap bits are set.
    DWORD clearForIcon;
    DWORD clearForBitmap;
    UINT setImageMessage;
};

static constexpr PictureStyles kButtonPictures = {BS_ICON, BS_BITMAP, BS_BITMAP, BS_ICON,
                                                  BM_SETIMAGE};
static constexpr DWORD kPictureStatic = WS_CHILD | WS_VISIBLE | SS_NOTIFY;
// The whole style is replaced: bits set earlier are lost.
static constexpr PictureStyles kStaticPictures = {
    kPictureStatic | SS_ICON, kPictureStatic | SS_BITMAP, ~0u, ~0u, STM_SETIMAGE};

static void ApplyPictures(const PictureStyles& styles) {
    ControlRecord& record = *TargetObject;
    HANDLE image = nullptr;
    WPARAM imageType = IMAGE_ICON;
    if (record.iconName != nullptr) {
        record.style = (record.style & ~styles.clearForIcon) | styles.iconBits;
        SetWindowLongA(record.handle, GWL_STYLE, static_cast<LONG>(record.style));
        image = LoadPictureIcon(record.iconName);
        imageType = IMAGE_ICON;
    }
    // With both names set, the bitmap is the one shown.
    if (record.bitmapName != nullptr) {
        record.style = (record.style & ~styles.clearForBitmap) | styles.bitmapBits;
        SetWindowLongA(record.handle, GWL_STYLE, static_cast<LONG>(record.style));
        image = ScaledToLayout(LoadPictureBitmap(record.bitmapName));
        imageType = IMAGE_BITMAP;
    }
    if (image == nullptr)
        return;
    auto replaced = reinterpret_cast<HGDIOBJ>(SendMessageA(
        record.handle, styles.setImageMessage, imageType, reinterpret_cast<LPARAM>(image)));
    // A bitmap of the program's own that no window shows any more; icons are the system's.
    if (replaced != nullptr && replaced != image && GetObjectType(replaced) == OBJ_BITMAP)
        DeleteObject(replaced);
}

void RefreshPictures() {
    ControlRecord& record = *TargetObject;
    if (record.iconName == nullptr && record.bitmapName == nullptr)
        return;
    bool button = record.className != nullptr && lstrcmpiA(record.className, "BUTTON") == 0;
    ApplyPictures(button ? kButtonPictures : kStaticPictures);
}

HWND CreateButton() {
    ControlRecord& record = *TargetObject;
    record.className = "BUTTON";
    if (record.handle == nullptr) {
        record.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
        DefaultParent();
        DefaultPlacement();
        CreateFromRecord();
    }
    ApplyPictures(kButtonPictures);
    return record.handle;
}

HWND CreatePictureStatic() {
    ControlRecord& record = *TargetObject;
    record.className = "STATIC";
    if (record.handle == nullptr) {
        record.style = kPictureStatic;
        DefaultParent();
        CreateFromRecord();
    }
    ApplyPictures(kStaticPictures);
    return record.handle;
}

HWND CreateCheckBox() {
    DefaultPlacement();
    return CreateControl("BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX);
}

HWND CreateRadioButton() {
    DefaultPlacement();
    return CreateControl("BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON);
}

HWND CreateGroupBox() {
    return CreateControl("BUTTON",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | BS_LEFT | BS_GROUPBOX);
}

HWND CreateComboBox() {
    return CreateControl("COMBOBOX", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP |
                                         CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS | 0x1000);
}

HWND CreateEditBox() {
    TargetObject->exStyle = WS_EX_CLIENTEDGE;
    DefaultPlacement();
    return CreateControl("EDIT",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_NOHIDESEL);
}

static constexpr DWORD kMultiLineEditStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL |
                                             WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
                                             ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN | 0x4000;

static HWND CreateMultiLine(const char* className) {
    ControlRecord& record = *TargetObject;
    record.className = className;
    record.exStyle = WS_EX_CLIENTEDGE;
    record.style = kMultiLineEditStyle;
    DefaultParent();
    return CreateFromRecord();
}

HWND CreateMultiLineEdit() {
    return CreateMultiLine("EDIT");
}

HWND CreateRichEdit() {
    // Not kept or tested: without the library the window creation fails, unreported.
    LoadSystemLibrary("riched20.dll");
    return CreateMultiLine("RichEdit20a");
}

HWND CreateLabel() {
    DefaultPlacement();
    return CreateControl("STATIC", WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_CENTERIMAGE);
}

HWND CreateOwnerDrawnStatic() {
    return CreateControl("STATIC", WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_OWNERDRAW);
}

HWND CreatePanel() {
    return CreateControl("STATIC",
                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_DLGFRAME | SS_NOTIFY);
}

static constexpr DWORD kListBoxStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP |
                                       LBS_NOTIFY | LBS_HASSTRINGS | LBS_USETABSTOPS |
                                       LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;

HWND CreateListBox() {
    return CreateControl("LISTBOX", kListBoxStyle);
}

HWND CreateSortedListBox() {
    return CreateControl("LISTBOX", kListBoxStyle | LBS_SORT);
}

HWND CreateScrollBar() {
    return CreateControl("SCROLLBAR", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ);
}

HWND CreateDatePicker() {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_DATE_CLASSES};
    BindCommonControls();
    boundInitCommonControlsEx(&classes);
    return CreateControl("SysDateTimePick32",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_LONGDATEFORMAT);
}

HWND CreateProgressBar() {
    TargetObject->textColor = 0x6B2108;
    return CreateCommonControl("msctls_progress32", WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH);
}

HWND CreateReportListView() {
    return CreateCommonControl("SysListView32",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_EDITLABELS);
}

HWND CreateIconListView() {
    return CreateCommonControl("SysListView32",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_EDITLABELS);
}

HWND CreateHeader() {
    return CreateCommonControl("SysHeader32", WS_CHILD | WS_VISIBLE | WS_TABSTOP | HDS_BUTTONS);
}

HWND CreateTabControl() {
    return CreateCommonControl("SysTabControl32", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS |
                                                      WS_CLIPCHILDREN | WS_TABSTOP |
                                                      TCS_FOCUSONBUTTONDOWN);
}

HWND CreateToolbar() {
    TargetObject->left = 0;
    TargetObject->top = 0;
    TargetObject->height = 40;
    return CreateCommonControl("ToolbarWindow32", WS_CHILD | WS_VISIBLE | WS_TABSTOP);
}

HWND CreateTrackbar() {
    return CreateCommonControl("msctls_trackbar32",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_FIXEDLENGTH);
}

HWND CreateTreeView() {
    TargetObject->exStyle = WS_EX_CLIENTEDGE;
    return CreateCommonControl("SysTreeView32",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_LINESATROOT);
}

HWND CreateUpDown() {
    return CreateCommonControl("msctls_updown32", WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                                                      UDS_SETBUDDYINT | UDS_ALIGNRIGHT |
                                                      UDS_AUTOBUDDY | UDS_ARROWKEYS);
}

HWND CreateStatusBar() {
    ControlRecord& record = *TargetObject;
    InitializeCommonControls();
    // Only recorded: the dispatcher reads it, the call below does not.
    record.className = "STATUSCLASSNAME";
    record.style = WS_CHILD | WS_VISIBLE;
    DefaultParent();
    // A fresh id on every call, even for a record that has one.
    TakeNextId(record);
    record.handle = boundCreateStatusWindow(static_cast<LONG>(record.style), nullptr,
                                            CurrentFormWindow, static_cast<UINT>(record.id));
    GiveDefaultFont(record);
    return record.handle;
}

HWND CreateTooltip() {
    InitializeCommonControls();
    return CreateWindowExA(0, "tooltips_class32", nullptr, TTS_ALWAYSTIP | TTS_NOANIMATE,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, ModuleInstance, nullptr);
}
