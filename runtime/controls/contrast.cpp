#include "controls/contrast.h"

// Asked at the first colour the window needs, and again at every switch the system announces.
static bool contrastKnown;
static bool contrastOn;
static LOGBRUSH brushScratch;

static bool ContrastThemeOn() {
    if (!contrastKnown) {
        contrastOn = SystemContrastThemeOn();
        contrastKnown = true;
    }
    return contrastOn;
}

static HBRUSH OpaqueIn(HDC dc, HBRUSH brush) {
    GetObjectA(brush, sizeof brushScratch, &brushScratch);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, brushScratch.lbColor);
    return brush;
}

HBRUSH ColorControl(const ControlRecord& record, UINT message, HDC dc) {
    if (!ContrastThemeOn()) {
        // A text colour of 0 is "not set": black cannot be requested.
        if (record.textColor != 0)
            SetTextColor(dc, record.textColor);
        return record.brush != nullptr ? OpaqueIn(dc, record.brush) : nullptr;
    }
    // A control with colours of its own shows the theme's text on the theme's window colour, the
    // only pair a theme promises to contrast; buttons are drawn by the system alone.
    if ((record.brush == nullptr && record.textColor == 0) || message == WM_CTLCOLORBTN)
        return nullptr;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return OpaqueIn(dc, GetSysColorBrush(COLOR_WINDOW));
}

HBRUSH ShownFormBackground(HBRUSH recordBrush) {
    // The system's colour by its index: it follows a new palette without a new brush.
    if (recordBrush != nullptr && ContrastThemeOn())
        return reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    return recordBrush;
}

void FollowContrastTheme() {
    contrastOn = SystemContrastThemeOn();
    contrastKnown = true;
    for (ControlRecord* const* entry = RecordTable; *entry != nullptr; ++entry) {
        const ControlRecord& record = **entry;
        if (record.style & WS_CHILD) {
            // Common controls learn of a new palette only from their parent.
            SendMessageW(record.handle, WM_SYSCOLORCHANGE, 0, 0);
            continue;
        }
        if (IsForm(record) && record.brush != nullptr)
            SetClassLongPtrW(record.handle, GCLP_HBRBACKGROUND,
                             reinterpret_cast<LONG_PTR>(ShownFormBackground(record.brush)));
        RedrawWindow(record.handle, nullptr, nullptr,
                     RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}
