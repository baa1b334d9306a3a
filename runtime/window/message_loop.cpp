#include "window/message_loop.h"

#include "controls/control_record.h"
#include "window/form_class.h"

MSG MessageBuffer;

static int loopMark;
static int pumpMark;

// The first four characters of a class name as one value; shorter names are padded with NULs.
static uint32_t ClassTag(const char* className) {
    uint32_t tag = 0;
    for (int i = 0; i < 4 && className != nullptr && className[i] != 0; ++i)
        tag |= static_cast<uint32_t>(static_cast<unsigned char>(className[i])) << (8 * i);
    return tag;
}

int RunMessageLoop() {
    if (loopMark != 0)
        return 0;
    loopMark = 1;
    // Only 0 (WM_QUIT) ends the loop.
    while (GetMessageA(&MessageBuffer, nullptr, 0, 0) != 0)
        DispatchQueued();
    loopMark = 0;
    return static_cast<int>(MessageBuffer.wParam);
}

void PumpMessages() {
    if (pumpMark != 0)
        return;
    pumpMark = 1;
    while (PeekMessageA(&MessageBuffer, nullptr, 0, 0, PM_REMOVE))
        DispatchQueued();
    pumpMark = 0;
}

static bool IsForwardedInput(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP ||
           (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK);
}

// Sends or posts the control's input to the main form with the control's id in the high word;
// true when the message must not be dispatched to its own window as well.
static bool ForwardToMainForm(const ControlRecord& record) {
    MSG& msg = MessageBuffer;
    WPARAM wParam = (static_cast<WPARAM>(static_cast<uint32_t>(record.id)) << 16) | msg.wParam;
    uint32_t tag = ClassTag(record.className);
    if (tag == ClassTag("BUTT") || tag == ClassTag("SysT")) {
        PostMessageA(MainFormWindow, msg.message, wParam, msg.lParam);
        return false;
    }
    SendMessageA(MainFormWindow, msg.message, wParam, msg.lParam);
    return tag == ClassTag(FormClassName);
}

void DispatchQueued() {
    MSG& msg = MessageBuffer;
    if (msg.hwnd != MainFormWindow) {
        if (msg.message == WM_KEYDOWN && LOWORD(msg.wParam) == VK_TAB) {
            SendMessageA(MainFormWindow, WM_CHAR, VK_TAB, msg.lParam);
        } else if (IsForwardedInput(msg.message)) {
            ControlRecord* record = FindRecord(msg.hwnd);
            if (record != nullptr && ForwardToMainForm(*record))
                return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}
