// The start-up floor: registers a class, shows one window with one child, and waits. Given a
// number, it waits that many milliseconds before it shows the window.
#include <windows.h>

#include <cstdlib>

static LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MinimalProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "MinimalWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "MinimalWindow", "Minimal", WS_OVERLAPPEDWINDOW, 128, 187,
                                  1024, 650, nullptr, nullptr, instance, nullptr);
    CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 500, 270, 120, 40, window,
                    reinterpret_cast<HMENU>(6), instance, nullptr);
    if (int delay = std::atoi(arguments); delay > 0)
        Sleep(static_cast<DWORD>(delay));
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
