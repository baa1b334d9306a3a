// The carrier started by a test, with its main window shown and its last control present.
#pragma once

#include <windows.h>

#include <string>

#include "support/driver.h"

enum CarrierControlId { kTitleBar = 1, kCloseBox, kTitleLabel, kInfoLabel, kOkButton, kQuitButton };

struct RunningCarrier {
    // Starts the carrier (or the given copy of it) in the folder (empty: the test's own) and
    // waits for its window.
    explicit RunningCarrier(const std::string& folder = "", const std::string& exePath = "");

    HWND Control(int id) const;
    RECT Rect() const;
    HWND WaitForSaveDialog() const { return ::WaitForSaveDialog(program.pid); }
    // Clicks "OK" and waits for the Save dialog.
    HWND OpenSaveDialog() const;
    // Clicks the quit button; the exit code, or STILL_ACTIVE where the program did not end.
    DWORD Quit() const;

    Program program;
    HWND main = nullptr;
};
