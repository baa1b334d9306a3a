// The forms' window procedure: window messages become calls of the records' event handlers.
#pragma once
#include <cstdint>

#include <windows.h>

#include "controls/control_record.h"

// What a handler learns about the message that caused its call.
struct EventRecord {
    HWND eventWindow;
    UINT eventMessage;
    WPARAM eventWParam;
    LPARAM eventLParam;
    int32_t eventCode;
};

extern EventRecord CurrentEvent;
// The DC an onPaint handler draws on while it runs.
extern HDC PaintDC;

void SetCurrentEvent(const ControlRecord& record, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK FormWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
