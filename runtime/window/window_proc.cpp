#include "window/window_proc.h"

#include <commctrl.h>

#include "controls/contrast.h"
#include "controls/properties.h"
#include "controls/scale.h"

EventRecord CurrentEvent;
HDC PaintDC;

static PAINTSTRUCT paintScratch;

void SetCurrentEvent(const ControlRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentEvent.eventWindow = record.handle;
    CurrentEvent.eventMessage = message;
    CurrentEvent.eventWParam = wParam;
    CurrentEvent.eventLParam = lParam;
}

// The record's onMessage answers when it gives non-zero; otherwise default processing.
static LRESULT DefaultRoute(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlRecord* record = FindRecord(hwnd);
    if (record != nullptr && record->onMessage != nullptr) {
        SetCurrentEvent(*record, message, wParam, lParam);
        LRESULT result = record->onMessage();
        if (result != 0)
            return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

static LRESULT OnControlColor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlRecord* record = FindRecord(reinterpret_cast<HWND>(lParam));
    // Forms are never coloured here: their background is the class brush.
    if (record != nullptr && (record->style & WS_CHILD)) {
        HBRUSH brush = ColorControl(*record, message, reinterpret_cast<HDC>(wParam));
        if (brush != nullptr)
            return reinterpret_cast<LRESULT>(brush);
    }
    return DefaultRoute(hwnd, message, wParam, lParam);
}

// Mouse and key messages: the record is the one whose id the dispatcher put in the high word
// (0, the main form, for messages sent to a form directly). Never default processing.
static LRESULT OnInput(EventHandler ControlRecord::* slot, UINT message, WPARAM wParam,
                       LPARAM lParam) {
    ControlRecord* record = RecordAt(HIWORD(wParam));
    if (record != nullptr && record->*slot != nullptr) {
        SetCurrentEvent(*record, message, LOWORD(wParam), lParam);
        (record->*slot)();
    }
    return 0;
}

static LRESULT OnSize(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (wParam != SIZE_RESTORED && wParam != SIZE_MAXIMIZED)
        return DefaultRoute(hwnd, message, wParam, lParam);
    ControlRecord* record = FindRecord(hwnd);
    if (record == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    SourceObject = record;
    ReadGeometry();
    if (record->autoSizeChild != nullptr)
        MoveWindow(record->autoSizeChild, 0, 0, 0, 0, TRUE);
    if (record->onResize == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    SetCurrentEvent(*record, message, wParam, lParam);
    record->onResize();
    return 0;
}

static LRESULT OnPaint(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlRecord* record = FindRecord(hwnd);
    if (record == nullptr || record->onPaint == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    SetCurrentEvent(*record, message, wParam, lParam);
    PaintDC = BeginPaint(hwnd, &paintScratch);
    record->onPaint();
    EndPaint(hwnd, &paintScratch);
    PaintDC = nullptr;
    return 0;
}

// WM_CLOSE and WM_SHOWWINDOW (shown): the record's own slot, else default processing.
static LRESULT OnFormSlot(EventHandler ControlRecord::* slot, HWND hwnd, UINT message,
                          WPARAM wParam, LPARAM lParam) {
    ControlRecord* record = FindRecord(hwnd);
    if (record == nullptr || record->*slot == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    SetCurrentEvent(*record, message, wParam, lParam);
    (record->*slot)();
    return 0;
}

static LRESULT OnDrawItem(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType == ODT_MENU || item->CtlID != wParam)
        return DefaultRoute(hwnd, message, wParam, lParam);
    PaintDC = item->hDC;
    ControlRecord* record = FindRecord(item->hwndItem);
    if (record == nullptr || record->onPaint == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    SetCurrentEvent(*record, message, wParam, lParam);
    record->onPaint();
    return TRUE;
}

static LRESULT OnNotify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    ControlRecord* record = FindRecord(header->hwndFrom);
    if (record != nullptr && record->onMessage != nullptr) {
        SetCurrentEvent(*record, message, wParam, lParam);
        return record->onMessage();
    }
    if (header->idFrom != wParam || header->code != static_cast<UINT>(NM_CLICK))
        return DefaultRoute(hwnd, message, wParam, lParam);
    CurrentEvent.eventCode = NM_CLICK;
    ControlRecord* clicked = RecordAt(wParam & 0xFFF);
    if (clicked == nullptr || clicked->onClick == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    SetCurrentEvent(*clicked, message, wParam, lParam);
    clicked->onClick();
    return 0;
}

static LRESULT OnCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlRecord* record = RecordAt(LOWORD(wParam) & 0xFFF);
    if (record == nullptr || record->onClick == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    CurrentEvent.eventCode = HIWORD(wParam);
    SetCurrentEvent(*record, message, wParam, lParam);
    record->onClick();
    return 0;
}

// A scroll request reaches onClick dressed as a command: request high, id low, position in lParam.
static LRESULT OnScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* source = reinterpret_cast<HWND>(lParam);
    ControlRecord* record = FindRecord(source);
    if (record == nullptr || record->onClick == nullptr)
        return DefaultRoute(hwnd, message, wParam, lParam);
    CurrentEvent.eventWindow = source;
    CurrentEvent.eventMessage = WM_COMMAND;
    CurrentEvent.eventCode = LOWORD(wParam);
    CurrentEvent.eventWParam = (static_cast<WPARAM>(LOWORD(wParam)) << 16) | (record->id & 0xFFFF);
    CurrentEvent.eventLParam = static_cast<int16_t>(HIWORD(wParam));
    record->onClick();
    return 0;
}

// The main form moved to a monitor of another scale: it takes the rectangle Windows suggests, at
// the new scale, and its controls are shown at it.
static LRESULT OnScaleChange(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd != MainFormWindow)
        return DefaultRoute(hwnd, message, wParam, lParam);
    LayoutDpi = HIWORD(wParam);
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyScale();
    return 0;
}

// A button pressed over a child: the main form's onMouseDown.
static LRESULT OnParentNotify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlRecord* form = RecordAt(0);
    if (form == nullptr || form->onMouseDown == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    CurrentEvent.eventCode = 0;
    SetCurrentEvent(*form, message, wParam, lParam);
    form->onMouseDown();
    return 0;
}

LRESULT CALLBACK FormWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return OnControlColor(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        return OnInput(&ControlRecord::onMouseMove, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return OnInput(&ControlRecord::onMouseDown, message, wParam, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        return OnInput(&ControlRecord::onMouseUp, message, wParam, lParam);
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        return OnInput(&ControlRecord::onDblClick, message, wParam, lParam);
    case WM_KEYDOWN:
        return OnInput(&ControlRecord::onKeyDown, message, wParam, lParam);
    case WM_KEYUP:
        return OnInput(&ControlRecord::onKeyUp, message, wParam, lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        return OnSize(hwnd, message, wParam, lParam);
    case WM_PAINT:
        return OnPaint(hwnd, message, wParam, lParam);
    case WM_CLOSE:
        return OnFormSlot(&ControlRecord::onClose, hwnd, message, wParam, lParam);
    case WM_SHOWWINDOW:
        if (wParam == 0)
            return DefaultRoute(hwnd, message, wParam, lParam);
        return OnFormSlot(&ControlRecord::onShow, hwnd, message, wParam, lParam);
    case WM_DRAWITEM:
        return OnDrawItem(hwnd, message, wParam, lParam);
    case WM_NOTIFY:
        return OnNotify(hwnd, message, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(hwnd, message, wParam, lParam);
    case WM_HSCROLL:
    case WM_VSCROLL:
        return OnScroll(hwnd, message, wParam, lParam);
    case WM_DPICHANGED:
        return OnScaleChange(hwnd, message, wParam, lParam);
    case WM_SETTINGCHANGE:
        // A contrast theme switched on or off; its palette comes with WM_SYSCOLORCHANGE.
        if (wParam == SPI_SETHIGHCONTRAST)
            FollowContrastTheme();
        return DefaultRoute(hwnd, message, wParam, lParam);
    case WM_SYSCOLORCHANGE:
        FollowContrastTheme();
        return DefaultRoute(hwnd, message, wParam, lParam);
    case WM_PARENTNOTIFY:
        if (wParam & 0x0200)
            return OnParentNotify(hwnd, message, wParam, lParam);
        return DefaultRoute(hwnd, message, wParam, lParam);
    default:
        return DefaultRoute(hwnd, message, wParam, lParam);
    }
}
