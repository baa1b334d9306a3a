// Control records on real windows: ids, owners, placement, pictures, geometry, colours, fonts.
#include <gtest/gtest.h>

#define OEMRESOURCE
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "controls/control_record.h"
#include "controls/properties.h"
#include "support/control_state.h"
#include "support/driver.h"
#include "window/form_class.h"
#include "window/window_proc.h"

namespace {

class Controls : public testing::Test {
  protected:
    void SetUp() override { ResetControlState(); }
    void TearDown() override { ResetControlState(); }

    HWND Create(ControlRecord& record, HWND (*creator)()) {
        TargetObject = &record;
        return creator();
    }

    ControlRecord form = NewRecord();
    ControlRecord second = NewRecord();
    ControlRecord a = NewRecord();
    ControlRecord b = NewRecord();
    ControlRecord c = NewRecord();
};

DWORD WindowStyle(HWND window) {
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

std::string Text(TextView view) {
    return std::string(view.text, view.length);
}

TEST_F(Controls, FirstFormIsMainAndLaterFormsAreOwnedByIt) {
    HWND main = Create(form, CreateForm);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(form.id, 0);
    EXPECT_EQ(RecordTable[0], &form);
    EXPECT_EQ(MainFormWindow, main);
    EXPECT_EQ(CurrentFormWindow, main);
    EXPECT_EQ(form.exStyle, 0x00010000u);
    EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
    EXPECT_EQ(WindowText(main), "Wendelkamm28");
    EXPECT_EQ(form.className, FormClassName);
    EXPECT_STREQ(FormClassName, kFormClass) << "the end-to-end tests find the window by it";

    HWND other = Create(second, CreateForm);
    EXPECT_EQ(second.id, 1);
    EXPECT_EQ(second.exStyle, 0x00010004u);
    EXPECT_EQ(GetWindow(other, GW_OWNER), main);
    EXPECT_EQ(CurrentFormWindow, other);
    EXPECT_EQ(MainFormWindow, main);
    EXPECT_EQ(RecordTable[2], nullptr);
}

TEST_F(Controls, DefaultPlacementAndFontMakeAColumnThatANewFormRestarts) {
    Create(form, CreateForm);
    for (ControlRecord* label : {&a, &b, &c})
        Create(*label, CreateLabel);
    int32_t expectedTop = 10;
    for (ControlRecord* label : {&a, &b, &c}) {
        EXPECT_EQ(label->left, 10);
        EXPECT_EQ(label->top, expectedTop);
        EXPECT_EQ(label->width, 90);
        EXPECT_EQ(label->height, 20);
        EXPECT_EQ(GetParent(label->handle), form.handle) << "the current form is the parent";
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(label->handle, WM_GETFONT, 0, 0)),
                  DefaultFont);
        EXPECT_EQ(label->font, DefaultFont);
        expectedTop += 30;
    }
    Create(second, CreateForm);
    ControlRecord fresh = NewRecord();
    Create(fresh, CreateLabel);
    EXPECT_EQ(fresh.top, 10);
    EXPECT_EQ(GetParent(fresh.handle), second.handle);
}

TEST_F(Controls, FormsPassNoMenuAndControlsTheirIdAndTheParentGiven) {
    Create(form, CreateForm);
    Create(a, CreateButton);
    EXPECT_EQ(GetMenu(form.handle), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(a.handle, GWLP_ID), a.id);
    EXPECT_EQ(a.id, 1);
    b.parent = a.handle;
    Create(b, CreateButton);
    EXPECT_EQ(GetParent(b.handle), a.handle) << "a parent set beforehand is kept";
    Create(c, CreateButton);
    TargetObject = &c;
    SetParentWindow(a.handle);
    EXPECT_EQ(c.parent, a.handle);
    EXPECT_EQ(GetParent(c.handle), a.handle);
    SourceObject = &c;
    EXPECT_EQ(GetHandle(), c.handle);
}

TEST_F(Controls, ButtonBitmapWinsOverALaterIcon) {
    Create(form, CreateForm);
    a.bitmapName = MAKEINTRESOURCEA(OBM_CLOSE);
    Create(a, CreateButton);
    EXPECT_TRUE(a.style & BS_BITMAP);
    EXPECT_TRUE(WindowStyle(a.handle) & BS_BITMAP);
    EXPECT_NE(SendMessageA(a.handle, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);

    HWND before = a.handle;
    a.iconName = MAKEINTRESOURCEA(32512);
    Create(a, CreateButton);
    EXPECT_EQ(a.handle, before) << "an existing button is not created again";
    EXPECT_TRUE(WindowStyle(a.handle) & BS_BITMAP);
    EXPECT_FALSE(WindowStyle(a.handle) & BS_ICON);
    EXPECT_NE(SendMessageA(a.handle, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

TEST_F(Controls, PictureStaticStyleIsReplacedWhole) {
    Create(form, CreateForm);
    Create(a, CreatePictureStatic);
    EXPECT_EQ(a.style, 0x50000100u);
    TargetObject = &a;
    SetStyle(a.style | SS_CENTERIMAGE | SS_SUNKEN);
    a.bitmapName = MAKEINTRESOURCEA(OBM_CLOSE);
    Create(a, CreatePictureStatic);
    EXPECT_EQ(a.style, 0x5000010Eu);
    EXPECT_EQ(WindowStyle(a.handle), 0x5000010Eu);
    EXPECT_NE(SendMessageA(a.handle, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

    b.iconName = MAKEINTRESOURCEA(32512);
    Create(b, CreatePictureStatic);
    EXPECT_EQ(b.style, 0x50000103u);
    EXPECT_NE(SendMessageA(b.handle, STM_GETIMAGE, IMAGE_ICON, 0), 0);
}

TEST_F(Controls, FindRecordKnowsOnlyCreatedWindowsWhichNeverPassTheTable) {
    EXPECT_EQ(FindRecord(GetDesktopWindow()), nullptr);
    Create(form, CreateForm);
    Create(a, CreateLabel);
    EXPECT_EQ(FindRecord(a.handle), &a);
    EXPECT_EQ(FindRecord(form.handle), &form);
    EXPECT_EQ(FindRecord(nullptr), nullptr) << "a defined, uncreated record is not in the table";
    EXPECT_EQ(RecordAt(-1), nullptr);
    EXPECT_EQ(RecordAt(kRecordCapacity + 3), nullptr);
    // Status bars take a new id each time, but never one past the table.
    for (int i = 0; i < kRecordCapacity + 5; ++i)
        Create(b, CreateStatusBar);
    EXPECT_NE(b.handle, nullptr);
    EXPECT_EQ(b.className, std::string("STATUSCLASSNAME"));
    EXPECT_EQ(RecordTable[kRecordCapacity], nullptr) << "the final entry stays null";
    EXPECT_EQ(LastId, kRecordCapacity - 1);
    EXPECT_EQ(b.id, kRecordCapacity - 1);
}

// Each kind: its class, the style the record holds and the style bits the window got.
struct Kind {
    const char* name;
    HWND (*creator)();
    const char* className;
    DWORD style;
    DWORD exStyle;
};

TEST_F(Controls, EveryKindHasItsClassAndStyles) {
    const Kind kinds[] = {
        {"button", CreateButton, "Button", 0x50010000, 0},
        {"check box", CreateCheckBox, "Button", 0x50010003, 0},
        {"radio button", CreateRadioButton, "Button", 0x50010009, 0},
        {"group box", CreateGroupBox, "Button", 0x50014107, 0},
        {"combo box", CreateComboBox, "ComboBox", 0x50211303, 0},
        {"edit box", CreateEditBox, "Edit", 0x50010180, WS_EX_CLIENTEDGE},
        {"multi-line edit", CreateMultiLineEdit, "Edit", 0x503151C4, WS_EX_CLIENTEDGE},
        {"rich edit", CreateRichEdit, "RichEdit20A", 0x503151C4, WS_EX_CLIENTEDGE},
        {"picture static", CreatePictureStatic, "Static", 0x50000100, 0},
        {"label", CreateLabel, "Static", 0x50000300, 0},
        {"owner-drawn static", CreateOwnerDrawnStatic, "Static", 0x5000010D, 0},
        {"panel", CreatePanel, "Static", 0x52400100, 0},
        {"list box", CreateListBox, "ListBox", 0x50A105C1, 0},
        {"sorted list box", CreateSortedListBox, "ListBox", 0x50A105C3, 0},
        {"scroll bar", CreateScrollBar, "ScrollBar", 0x50010000, 0},
        {"date picker", CreateDatePicker, "SysDateTimePick32", 0x50010004, 0},
        {"progress bar", CreateProgressBar, "msctls_progress32", 0x50800001, 0},
        {"report list view", CreateReportListView, "SysListView32", 0x50010201, 0},
        {"icon list view", CreateIconListView, "SysListView32", 0x50010200, 0},
        {"header", CreateHeader, "SysHeader32", 0x50010002, 0},
        {"tab control", CreateTabControl, "SysTabControl32", 0x56011000, 0},
        {"toolbar", CreateToolbar, "ToolbarWindow32", 0x50010000, 0},
        {"trackbar", CreateTrackbar, "msctls_trackbar32", 0x50010040, 0},
        {"tree view", CreateTreeView, "SysTreeView32", 0x50010004, WS_EX_CLIENTEDGE},
        {"up-down", CreateUpDown, "msctls_updown32", 0x50010036, 0},
        {"status bar", CreateStatusBar, "msctls_statusbar32", 0x50000000, 0},
    };
    Create(form, CreateForm);
    std::vector<ControlRecord> records(std::size(kinds), NewRecord());
    for (size_t i = 0; i < std::size(kinds); ++i) {
        const Kind& kind = kinds[i];
        ControlRecord& record = records[i];
        HWND window = Create(record, kind.creator);
        ASSERT_NE(window, nullptr) << kind.name;
        EXPECT_STRCASEEQ(ClassNameOf(window).c_str(), kind.className) << kind.name;
        EXPECT_EQ(record.style, kind.style) << kind.name;
        // Lists, combo and edit boxes show their scroll bars only when there is something to
        // scroll.
        DWORD asked = kind.style & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL);
        EXPECT_EQ(WindowStyle(window) & asked, asked) << kind.name;
        EXPECT_EQ(record.exStyle, kind.exStyle) << kind.name;
        EXPECT_EQ(FindRecord(window), &record) << kind.name;
    }
    EXPECT_EQ(records[16].textColor, 0x6B2108u) << "the progress bar's own colour";
    EXPECT_EQ(records[21].height, 40) << "the toolbar's height";

    HWND tooltip = CreateTooltip();
    EXPECT_EQ(ClassNameOf(tooltip), "tooltips_class32");
    EXPECT_EQ(FindRecord(tooltip), nullptr) << "a tooltip has no record";
    DestroyWindow(tooltip);
}

TEST_F(Controls, GeometrySettersMoveTheWindowEachTime) {
    static std::vector<SIZE> sizes;
    sizes.clear();
    form.onMessage = [] {
        if (CurrentEvent.eventMessage == WM_WINDOWPOSCHANGED) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(CurrentEvent.eventLParam);
            if (!(pos->flags & SWP_NOSIZE))
                sizes.push_back({pos->cx, pos->cy});
        }
        return LRESULT{0};
    };
    Create(form, CreateForm);
    sizes.clear();
    TargetObject = &form;
    SetWidth(1024);
    SetHeight(650);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].cx, 1024);
    EXPECT_EQ(sizes[0].cy, 320);
    EXPECT_EQ(sizes[1].cx, 1024);
    EXPECT_EQ(sizes[1].cy, 650);
}

TEST_F(Controls, CenterOnScreenUsesTheWholeScreenAndNarrowsLargeRecords) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280) << "the tests run on a 1280 x 1024 screen";
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    form.width = 1024;
    form.height = 650;
    TargetObject = &form;
    CenterOnScreen();
    EXPECT_EQ(form.left, 128);
    EXPECT_EQ(form.top, 187);
    second.width = 1500;
    second.height = 2000;
    TargetObject = &second;
    CenterOnScreen();
    EXPECT_EQ(second.width, 1280);
    EXPECT_EQ(second.left, 0);
    EXPECT_EQ(second.height, 1024);
    EXPECT_EQ(second.top, 0);
}

TEST_F(Controls, ReadGeometryGivesParentClientCoordinatesForControls) {
    Create(form, CreateForm);
    Create(a, CreateLabel);
    TargetObject = &a;
    SetTop(3);
    TargetObject = &form;
    SetLeft(300);
    SetTop(200);
    a.top = 999;
    SourceObject = &a;
    EXPECT_EQ(GetTop(), 3);
    EXPECT_EQ(GetLeft(), 10);
    EXPECT_EQ(GetWidth(), 90);
    SourceObject = &form;
    EXPECT_EQ(GetLeft(), 300) << "a form's position is in screen coordinates";
    EXPECT_EQ(GetTop(), 200);
    RECT client;
    GetClientRect(form.handle, &client);
    EXPECT_EQ(ReadClientWidth(), client.right);
    EXPECT_LT(ReadClientWidth(), form.width);
}

TEST_F(Controls, TextReadsAnswerEmptyWhereThereIsNothing) {
    SourceObject = &a;
    TextView none = ReadCaption();
    EXPECT_EQ(none.text, EmptyText) << "no window: no system call, the empty text";
    EXPECT_EQ(none.length, 0);

    Create(form, CreateForm);
    Create(a, CreateLabel);
    SourceObject = &a;
    EXPECT_EQ(ReadCaption().length, 0);
    TargetObject = &a;
    SetCaption(kQuitText);
    EXPECT_EQ(Text(ReadCaption()), kQuitText);
    SourceObject = &form;
    EXPECT_EQ(Text(ReadCaption()), "Wendelkamm28");

    Create(b, CreateListBox);
    SendMessageA(b.handle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
    SendMessageA(b.handle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second item"));
    SourceObject = &b;
    EXPECT_EQ(Text(ReadItemText(LB_GETTEXTLEN, 1)), "second item");
    EXPECT_EQ(Text(ReadItemText(LB_GETTEXTLEN, 5)), "") << "a missing index";

    Create(c, CreateReportListView);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 80;
    SendMessageA(c.handle, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("cell");
    SendMessageA(c.handle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SourceObject = &c;
    EXPECT_EQ(Text(ReadListViewItemText(0, 0)), "cell");
}

TEST_F(Controls, StyleFlagsWorkOnTheRecordAndTheWindow) {
    Create(form, CreateForm);
    TargetObject = &form;
    SetStyleFlag(17, 0);
    EXPECT_FALSE(form.style & WS_MINIMIZEBOX);
    EXPECT_FALSE(WindowStyle(form.handle) & WS_MINIMIZEBOX);
    SetFrameFlag(0);
    EXPECT_FALSE(form.style & WS_THICKFRAME);
    EXPECT_TRUE(form.style & 0x01000000);
    SetFrameFlag(1);
    EXPECT_TRUE(form.style & WS_THICKFRAME);
    EXPECT_FALSE(form.style & 0x01000000);
    SourceObject = &form;
    EXPECT_EQ(GetStyle(), WindowStyle(form.handle));
}

TEST_F(Controls, BackColorUsesTheLowBitsAndReplacesTheBrush) {
    Create(form, CreateForm);
    Create(a, CreateLabel);
    TargetObject = &a;
    SetBackColor(0xFFA58E69);
    HBRUSH first = a.brush;
    LOGBRUSH brush = {};
    GetObjectA(first, sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, 0x00A58E69u);
    SetBackColor(0xB99846);
    EXPECT_EQ(GetObjectType(first), 0u) << "the previous brush is deleted";
    SetControlTextColor(0xFFE6CFAA);
    EXPECT_EQ(a.textColor, 0xFFE6CFAAu) << "text colours are stored unchanged";

    TargetObject = &form;
    SetBackColor(0xA58E69);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(form.handle, GCLP_HBRBACKGROUND)),
              form.brush)
        << "a form's brush is the class background";
}

TEST_F(Controls, OneFontRecordMakesOneFontUntilItChanges) {
    Create(form, CreateForm);
    for (ControlRecord* label : {&a, &b, &c})
        Create(*label, CreateLabel);
    FontRecord font = NewFontRecord();
    SetFontFace(font, "Arial");
    SetFontHeight(font, 28);
    SetFontWeight(font, 700);
    TargetObject = &a;
    ApplyFont(font);
    TargetObject = &b;
    ApplyFont(font);
    HFONT shared = font.fontHandle;
    EXPECT_EQ(a.font, shared);
    EXPECT_EQ(b.font, shared);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(b.handle, WM_GETFONT, 0, 0)), shared);

    SetFontHeight(font, 34);
    TargetObject = &c;
    ApplyFont(font);
    EXPECT_NE(c.font, shared);
    EXPECT_EQ(a.font, shared) << "earlier controls keep the first font";
    LOGFONTA made = {};
    GetObjectA(c.font, sizeof made, &made);
    EXPECT_EQ(made.lfHeight, 34);
    EXPECT_EQ(made.lfWeight, 700);
    EXPECT_STREQ(made.lfFaceName, "Arial");

    memset(font.logFont.lfFaceName, 'z', sizeof font.logFont.lfFaceName);
    SetFontFace(font, "A face name that is far longer than thirty-two bytes");
    EXPECT_EQ(strlen(font.logFont.lfFaceName), 31u) << "cut to the field";
    EXPECT_EQ(font.changed, 1);
}

TEST_F(Controls, VisibilityAndRepaint) {
    Create(form, CreateForm);
    Create(a, CreateLabel);
    TargetObject = &form;
    ShowControl();
    EXPECT_TRUE(IsWindowVisible(form.handle));
    TargetObject = &a;
    SetVisible(0);
    EXPECT_FALSE(IsWindowVisible(a.handle));
    SetVisible(7);
    EXPECT_TRUE(IsWindowVisible(a.handle));
    TargetObject = &form;
    ValidateRect(form.handle, nullptr);
    Repaint();
    RECT update;
    EXPECT_TRUE(GetUpdateRect(form.handle, &update, FALSE)) << "the whole form is to be painted";
}

TEST(NumericBitOperators, RoundHalfToEvenAndKeepEveryBit) {
    EXPECT_EQ(NumOr(2.5, 0), 2);
    EXPECT_EQ(NumOr(3.5, 0), 4);
    EXPECT_EQ(NumOr(-2.5, 0), -2);
    EXPECT_EQ(NumNot(0), 1);
    EXPECT_EQ(NumNot(5), 0);
    EXPECT_EQ(NumNot(0.4), 1);
    EXPECT_EQ(NumAnd(12, 10), 8);
    EXPECT_EQ(NumXor(12, 10), 6);
    double style = static_cast<int32_t>(0x96CF0000u);
    EXPECT_EQ(static_cast<uint32_t>(static_cast<int32_t>(NumXor(style, 0))), 0x96CF0000u);
    EXPECT_EQ(NumOr(4294967296.0, 0), static_cast<int32_t>(0x80000000u)) << "out of range";
    EXPECT_EQ(NumOr(-3e9, 0), static_cast<int32_t>(0x80000000u));
}

TEST(Pictures, SystemIdsBelowTheThresholdsAndOwnNamesAbove) {
    EXPECT_NE(LoadPictureBitmap(MAKEINTRESOURCEA(OBM_CLOSE)), nullptr);
    EXPECT_NE(LoadPictureIcon(MAKEINTRESOURCEA(32512)), nullptr) << "IDI_APPLICATION";
    EXPECT_EQ(LoadPictureIcon(MAKEINTRESOURCEA(0x7F58)), nullptr) << "not among our own icons";
    EXPECT_EQ(LoadPictureBitmap("nosuchbitmap"), nullptr);
}

} // namespace
