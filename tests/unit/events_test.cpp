// Message sequences through the window procedure and the message loop: which handler ran, what
// the current event held, the message's result, and the order against the control's own handling.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "controls/control_record.h"
#include "controls/properties.h"
#include "support/control_state.h"
#include "support/driver.h"
#include "window/form_class.h"
#include "window/message_loop.h"
#include "window/window_proc.h"

namespace {

// One observation: a handler call (with the current event) or a message a control saw; as the
// expected sequences spell it.
struct Seen {
    std::string what;
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int32_t code = 0;
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
    *out << seen.what << " " << seen.window << " " << std::hex << "0x" << seen.message << "(0x"
         << seen.wParam << ", 0x" << seen.lParam << ") code " << std::dec << seen.code;
}

std::vector<Seen> seen;
LRESULT messageAnswer;

void Note(const char* what) {
    const EventRecord& e = CurrentEvent;
    seen.push_back(
        {what, e.eventWindow, e.eventMessage, e.eventWParam, e.eventLParam, e.eventCode});
}

void (*const OnClick)() = [] { Note("onClick"); };
void (*const OnClose)() = [] { Note("onClose"); };
void (*const OnKeyDown)() = [] { Note("onKeyDown"); };
void (*const OnDblClick)() = [] { Note("onDblClick"); };
void (*const OnMouseDown)() = [] { Note("onMouseDown"); };
void (*const OnMouseUp)() = [] { Note("onMouseUp"); };
void (*const OnShow)() = [] { Note("onShow"); };
void (*const OnPaint)() = [] {
    Note(PaintDC != nullptr ? "onPaint with a DC" : "onPaint without a DC");
};
LRESULT (*const OnMessage)() = [] {
    Note("onMessage");
    return messageAnswer;
};

// Subclassing records what a control's own procedure receives, and when.
WNDPROC originalProcedures[8];

template <int Slot>
LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back({"control saw", window, message, wParam, lParam, 0});
    return CallWindowProcA(originalProcedures[Slot], window, message, wParam, lParam);
}

template <int Slot> void WatchControl(HWND window) {
    originalProcedures[Slot] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Watch<Slot>)));
}

// Handles queued messages through the run time's dispatcher until nothing came for a while.
void PumpQueue() {
    DWORD deadline = GetTickCount() + 2000;
    for (;;) {
        PumpMessages();
        DWORD now = GetTickCount();
        if (now >= deadline ||
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_TIMEOUT)
            return;
    }
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Seen& s : seen)
        names.push_back(s.what == "control saw" ? "control saw " + std::to_string(s.message)
                                                : s.what);
    return names;
}

// The observations, or those of one message.
std::vector<Seen> Calls(UINT only = 0) {
    std::vector<Seen> calls;
    for (const Seen& s : seen)
        if (only == 0 || s.message == only)
            calls.push_back(s);
    return calls;
}

std::string Saw(UINT message) {
    return "control saw " + std::to_string(message);
}

class Events : public testing::Test {
  protected:
    void SetUp() override {
        ResetControlState();
        seen.clear();
        messageAnswer = 0;
        TargetObject = &form;
        CreateForm();
    }
    void TearDown() override { ResetControlState(); }

    HWND Create(ControlRecord& record, HWND (*creator)()) {
        TargetObject = &record;
        return creator();
    }

    ControlRecord form = NewRecord();
    ControlRecord control = NewRecord();
    ControlRecord other = NewRecord();
};

constexpr LPARAM kPoint = MAKELPARAM(7, 5);

TEST_F(Events, PressOnAPictureRunsItsHandlerBeforeTheControlSeesIt) {
    control.onMouseDown = OnMouseDown;
    Create(control, CreatePictureStatic);
    WatchControl<0>(control.handle);
    seen.clear();
    PostMessageA(control.handle, WM_LBUTTONDOWN, MK_LBUTTON, kPoint);
    PumpQueue();
    // The control's window, not the form's; its own coordinates; the id taken off again.
    EXPECT_EQ(Calls(), (std::vector<Seen>{
                           {"onMouseDown", control.handle, WM_LBUTTONDOWN, MK_LBUTTON, kPoint},
                           {"control saw", control.handle, WM_LBUTTONDOWN, MK_LBUTTON, kPoint},
                       }));
}

TEST_F(Events, ReleaseOnAButtonReachesTheButtonFirst) {
    control.onMouseUp = OnMouseUp;
    Create(control, CreateButton);
    WatchControl<1>(control.handle);
    seen.clear();
    PostMessageA(control.handle, WM_RBUTTONUP, 0, kPoint);
    PumpQueue();
    // What the button's own handling adds (a context-menu request) is the platform's.
    EXPECT_EQ(Calls(WM_RBUTTONUP), (std::vector<Seen>{
                                       {"control saw", control.handle, WM_RBUTTONUP, 0, kPoint},
                                       {"onMouseUp", control.handle, WM_RBUTTONUP, 0, kPoint},
                                   }));
}

TEST_F(Events, InputToTheMainFormItselfUsesEntryZero) {
    form.onMouseDown = OnMouseDown;
    form.onKeyDown = OnKeyDown;
    form.onDblClick = OnDblClick;
    control.onMouseDown = OnMouseDown;
    Create(control, CreateLabel);
    seen.clear();
    PostMessageA(form.handle, WM_MBUTTONDOWN, MK_MBUTTON, kPoint);
    PostMessageA(form.handle, WM_KEYDOWN, 'A', 1);
    PumpQueue();
    EXPECT_EQ(SendMessageA(form.handle, WM_LBUTTONDBLCLK, MK_LBUTTON, kPoint), 0);
    EXPECT_EQ(Calls(), (std::vector<Seen>{
                           {"onMouseDown", form.handle, WM_MBUTTONDOWN, MK_MBUTTON, kPoint},
                           {"onKeyDown", form.handle, WM_KEYDOWN, 'A', 1},
                           {"onDblClick", form.handle, WM_LBUTTONDBLCLK, MK_LBUTTON, kPoint},
                       }));
    EXPECT_TRUE(GetClassLongA(form.handle, GCL_STYLE) & CS_DBLCLKS);
}

TEST_F(Events, CharactersWheelsExtraButtonsAndWindowsWithoutARecordAreNotForwarded) {
    form.onMouseDown = OnMouseDown;
    form.onMessage = OnMessage;
    control.onMouseDown = OnMouseDown;
    control.onKeyDown = OnKeyDown;
    Create(control, CreateEditBox);
    WatchControl<3>(control.handle);
    HWND stray = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 20, 20,
                                 form.handle, nullptr, nullptr, nullptr);
    seen.clear();
    PostMessageA(control.handle, WM_CHAR, 'x', 1);
    PostMessageA(control.handle, WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1), kPoint);
    PostMessageA(control.handle, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), kPoint);
    PostMessageA(stray, WM_LBUTTONDOWN, MK_LBUTTON, kPoint);
    // Arrives at the form's onMessage on the default route: the last proof that the pump ran.
    PostMessageA(form.handle, WM_NULL, 0, 0);
    PumpQueue();
    std::vector<std::string> names = Names();
    for (UINT message : {WM_CHAR, WM_XBUTTONDOWN, WM_MOUSEWHEEL})
        EXPECT_NE(std::find(names.begin(), names.end(), Saw(message)), names.end())
            << "the control itself never got " << message;
    ASSERT_TRUE(std::any_of(seen.begin(), seen.end(), [](const Seen& s) {
        return s.what == "onMessage" && s.message == WM_NULL;
    })) << "the queue was not pumped to its end";
    for (const Seen& s : seen) {
        EXPECT_NE(s.what, "onMouseDown");
        EXPECT_NE(s.what, "onKeyDown");
        if (s.what == "control saw")
            continue;
        EXPECT_NE(s.message, static_cast<UINT>(WM_CHAR)) << "WM_CHAR reached the form";
        EXPECT_NE(s.message, static_cast<UINT>(WM_XBUTTONDOWN));
        if (s.message == WM_MOUSEWHEEL) {
            EXPECT_EQ(HIWORD(s.wParam), 120) << "the wheel came with an id in its high word";
        }
    }
}

TEST_F(Events, TabOnAControlBecomesACharacterForTheMainForm) {
    form.onMessage = OnMessage;
    control.onKeyDown = OnKeyDown;
    Create(control, CreateEditBox);
    WatchControl<2>(control.handle);
    seen.clear();
    PostMessageA(control.handle, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PumpQueue();
    const Seen* character = nullptr;
    for (const Seen& s : seen) {
        EXPECT_NE(s.what, "onKeyDown");
        if (s.what == "onMessage" && s.message == WM_CHAR)
            character = &s;
    }
    ASSERT_NE(character, nullptr) << "no WM_CHAR 9 at the main form";
    EXPECT_EQ(character->wParam, static_cast<WPARAM>(VK_TAB));
    EXPECT_EQ(character->lParam, 0x000F0001);
    std::vector<std::string> names = Names();
    EXPECT_NE(std::find(names.begin(), names.end(), Saw(WM_KEYDOWN)), names.end())
        << "the control still gets its key-down";
}

TEST_F(Events, BareFormInputWithoutAHandlerGetsNoDefaultProcessing) {
    form.onMessage = OnMessage;
    EXPECT_EQ(SendMessageA(form.handle, WM_LBUTTONDOWN, MK_LBUTTON, kPoint), 0);
    // Default processing of a right-button release would ask for a context menu.
    EXPECT_EQ(SendMessageA(form.handle, WM_RBUTTONUP, 0, kPoint), 0);
    EXPECT_EQ(SendMessageA(form.handle, WM_KEYUP, 'A', 0), 0);
    for (const Seen& s : seen)
        EXPECT_NE(s.message, static_cast<UINT>(WM_CONTEXTMENU));
    // A context-menu request on the default route is recorded: its absence above means something.
    SendMessageA(form.handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.handle), kPoint);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().message, static_cast<UINT>(WM_CONTEXTMENU));
}

TEST_F(Events, CloseWithAHandlerKeepsTheWindowAndWithoutOneEndsTheLoop) {
    form.onClose = OnClose;
    EXPECT_EQ(SendMessageA(form.handle, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(form.handle));
    ASSERT_EQ(Names(), std::vector<std::string>{"onClose"});

    form.onClose = nullptr;
    PostMessageA(form.handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_FALSE(IsWindow(form.handle));
}

TEST_F(Events, ShowingCallsOnShowHidingAndMinimisingCallNothingRestoringRefreshesFirst) {
    form.onShow = OnShow;
    ShowWindow(form.handle, SW_SHOWNORMAL);
    EXPECT_EQ(Names(), std::vector<std::string>{"onShow"});
    seen.clear();
    ShowWindow(form.handle, SW_HIDE);
    EXPECT_TRUE(seen.empty()) << "onShow ran for a hide";

    static ControlRecord* watched;
    static RECT atCall;
    watched = &form;
    form.onResize = [] {
        Note("onResize");
        atCall = {watched->left, watched->top, watched->left + watched->width,
                  watched->top + watched->height};
    };
    TargetObject = &form;
    ShowControl();
    seen.clear();
    ShowWindow(form.handle, SW_MINIMIZE);
    PumpQueue();
    EXPECT_TRUE(seen.empty()) << "onResize ran for a minimise";
    ShowWindow(form.handle, SW_RESTORE);
    PumpQueue();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().what, "onResize");
    RECT actual;
    GetWindowRect(form.handle, &actual);
    EXPECT_EQ(atCall, actual);
}

TEST_F(Events, OnMessageResultsAndNotifications) {
    control.onMessage = OnMessage;
    control.onClick = OnClick;
    Create(control, CreateReportListView);
    NMHDR header = {control.handle, static_cast<UINT_PTR>(control.id), static_cast<UINT>(NM_CLICK)};
    messageAnswer = 0;
    EXPECT_EQ(SendMessageA(form.handle, WM_NOTIFY, control.id, reinterpret_cast<LPARAM>(&header)),
              0);
    EXPECT_EQ(Names(), std::vector<std::string>{"onMessage"}) << "onMessage takes the notification";

    control.onMessage = nullptr;
    seen.clear();
    SendMessageA(form.handle, WM_NOTIFY, control.id, reinterpret_cast<LPARAM>(&header));
    ASSERT_EQ(Names(), std::vector<std::string>{"onClick"});
    EXPECT_EQ(seen[0].code, NM_CLICK);

    form.onMessage = OnMessage;
    messageAnswer = 0;
    EXPECT_EQ(SendMessageA(form.handle, WM_GETTEXTLENGTH, 0, 0), 12) << "0 falls to DefWindowProc";
    messageAnswer = 77;
    EXPECT_EQ(SendMessageA(form.handle, WM_GETTEXTLENGTH, 0, 0), 77);
}

TEST_F(Events, CommandsCallOnClickWithTheNotificationCode) {
    control.onClick = OnClick;
    Create(control, CreateButton);
    SendMessageA(control.handle, BM_CLICK, 0, 0);
    ASSERT_EQ(Names(), std::vector<std::string>{"onClick"});
    EXPECT_EQ(seen[0].code, BN_CLICKED);
    EXPECT_EQ(seen[0].window, control.handle);

    seen.clear();
    SendMessageA(form.handle, WM_COMMAND, MAKEWPARAM(control.id | 0x1000, BN_SETFOCUS),
                 reinterpret_cast<LPARAM>(control.handle));
    ASSERT_EQ(Names(), std::vector<std::string>{"onClick"}) << "the id is taken modulo 0x1000";
    EXPECT_EQ(seen[0].code, BN_SETFOCUS);

    seen.clear();
    EXPECT_EQ(SendMessageA(form.handle, WM_COMMAND, MAKEWPARAM(40, 0), 0), 0);
    EXPECT_EQ(SendMessageA(form.handle, WM_COMMAND, MAKEWPARAM(0xFFF, 0), 0), 0);
    EXPECT_TRUE(seen.empty()) << "an unknown id runs nothing";
}

TEST_F(Events, DrawItemOnlyForTheMatchingControl) {
    form.onMessage = OnMessage;
    control.onPaint = OnPaint;
    Create(control, CreateOwnerDrawnStatic);
    seen.clear();
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_STATIC;
    item.CtlID = static_cast<UINT>(control.id);
    item.hwndItem = control.handle;
    item.hDC = GetDC(control.handle);
    EXPECT_EQ(SendMessageA(form.handle, WM_DRAWITEM, control.id, reinterpret_cast<LPARAM>(&item)),
              TRUE);
    EXPECT_EQ(Names(), std::vector<std::string>{"onPaint with a DC"});

    for (auto change : {+[](DRAWITEMSTRUCT& d) { d.CtlType = ODT_MENU; },
                        +[](DRAWITEMSTRUCT& d) { d.CtlID += 1; }}) {
        DRAWITEMSTRUCT odd = item;
        change(odd);
        seen.clear();
        SendMessageA(form.handle, WM_DRAWITEM, control.id, reinterpret_cast<LPARAM>(&odd));
        EXPECT_EQ(Names(), std::vector<std::string>{"onMessage"}) << "the default route";
    }
    ReleaseDC(control.handle, item.hDC);
}

TEST_F(Events, PaintHandsTheHandlerTheDC) {
    form.onPaint = OnPaint;
    TargetObject = &form;
    ShowControl();
    InvalidateRect(form.handle, nullptr, TRUE);
    UpdateWindow(form.handle);
    std::vector<std::string> names = Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "onPaint with a DC"), names.end());
    EXPECT_EQ(PaintDC, nullptr) << "cleared after the handler";
}

TEST_F(Events, ScrollRequestsArriveAsCommands) {
    control.onClick = OnClick;
    Create(control, CreateScrollBar);
    SendMessageA(form.handle, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0xFFFE),
                 reinterpret_cast<LPARAM>(control.handle));
    // The position as a signed 16-bit number.
    EXPECT_EQ(Calls(), (std::vector<Seen>{{"onClick", control.handle, WM_COMMAND,
                                           static_cast<WPARAM>(SB_LINEDOWN << 16 | control.id), -2,
                                           SB_LINEDOWN}}));
}

TEST_F(Events, ColoursComeFromChildRecordsOnly) {
    static COLORREF textOnTheDefaultRoute;
    form.onMessage = [] {
        Note("onMessage");
        textOnTheDefaultRoute = GetTextColor(reinterpret_cast<HDC>(CurrentEvent.eventWParam));
        return LRESULT{0};
    };
    control.textColor = 0x123456;
    Create(control, CreateLabel);
    HDC dc = GetDC(control.handle);
    seen.clear();
    SendMessageA(form.handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(control.handle));
    EXPECT_EQ(Names(), std::vector<std::string>{"onMessage"}) << "no brush: the default route";
    EXPECT_EQ(textOnTheDefaultRoute, 0x123456u) << "the colour is set before the default route";

    TargetObject = &control;
    SetBackColor(0xA58E69);
    SetBkMode(dc, TRANSPARENT);
    LRESULT brush = SendMessageA(form.handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(control.handle));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(control.brush));
    EXPECT_EQ(GetBkColor(dc), 0xA58E69u);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(control.handle, dc);

    TargetObject = &form;
    SetBackColor(0x00FF00);
    HDC formDc = GetDC(form.handle);
    EXPECT_NE(SendMessageA(form.handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(formDc),
                           reinterpret_cast<LPARAM>(form.handle)),
              reinterpret_cast<LRESULT>(form.brush))
        << "a form is never coloured as a child";
    ReleaseDC(form.handle, formDc);
}

TEST_F(Events, ParentNotifyOfAPressRunsTheMainFormsOnMouseDown) {
    form.onMouseDown = OnMouseDown;
    form.onMessage = OnMessage;
    SendMessageA(form.handle, WM_PARENTNOTIFY, WM_LBUTTONDOWN, kPoint);
    EXPECT_EQ(Calls(), (std::vector<Seen>{
                           {"onMouseDown", form.handle, WM_PARENTNOTIFY, WM_LBUTTONDOWN, kPoint}}));
    seen.clear();
    SendMessageA(form.handle, WM_PARENTNOTIFY, WM_CREATE, 0);
    EXPECT_EQ(Names(), std::vector<std::string>{"onMessage"}) << "creation notices: default route";
}

TEST_F(Events, ALoopStartedFromAHandlerReturnsAtOnce) {
    static int nestedResult;
    static bool nestedReturned;
    nestedResult = -1;
    nestedReturned = false;
    control.onClick = [] {
        nestedResult = RunMessageLoop();
        nestedReturned = true;
        PostQuitMessage(3);
    };
    Create(control, CreateButton);
    PostMessageA(control.handle, BM_CLICK, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 3);
    EXPECT_TRUE(nestedReturned);
    EXPECT_EQ(nestedResult, 0);
}

} // namespace
