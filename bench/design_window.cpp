// The third start-up floor: the carrier's window operations and nothing else. The main form is
// created with the same template frame, styled, sized, centred and re-framed in the same steps,
// each assignment a move of its own; then six bare child windows are placed one assignment at a
// time, the close glyph put into the strip twice. No pictures, fonts, colours or texts beyond the
// windows' own, no run time: what the carrier costs beyond this is the program, not the layout.
#include <windows.h>

#include <initializer_list>
#include <utility>

namespace {

LRESULT CALLBACK DesignProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window and where the last assignment put it; every assignment moves it at once.
struct Placed {
    HWND window;
    int left, top, width, height;
};

void Move(const Placed& placed) {
    MoveWindow(placed.window, placed.left, placed.top, placed.width, placed.height, TRUE);
}

void SetStyle(HWND window, DWORD style) {
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(style));
}

Placed Child(HWND parent, const wchar_t* className, DWORD style, int id) {
    HWND window = CreateWindowExW(0, className, L"", style, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    return {window, 0, 0, 0, 0};
}

Placed BuildForm(HINSTANCE instance) {
    Placed form = {CreateWindowExW(0, L"DesignWindow", L"Wendelkamm28", WS_OVERLAPPEDWINDOW, 80, 80,
                                   480, 320, nullptr, nullptr, instance, nullptr),
                   80, 80, 480, 320};
    DWORD style = static_cast<DWORD>(GetWindowLongW(form.window, GWL_STYLE));
    style = (style ^ WS_BORDER) ^ (WS_CAPTION | WS_DLGFRAME | 0x8 | WS_MAXIMIZEBOX);
    SetStyle(form.window, style);
    SetStyle(form.window, style &= ~WS_MINIMIZEBOX);
    SetStyle(form.window, style &= ~WS_MAXIMIZEBOX);
    form.width = 1024;
    Move(form);
    form.height = 650;
    Move(form);
    form.left = (GetSystemMetrics(SM_CXSCREEN) - form.width) / 2;
    form.top = (GetSystemMetrics(SM_CYSCREEN) - form.height) / 2;
    Move(form);
    SetStyle(form.window, (style | WS_MAXIMIZE) & ~WS_THICKFRAME);
    SetWindowTextW(form.window, L"Wendelkamm 28");
    return form;
}

// Each assignment in turn, each a move of its own.
void Assign(Placed& placed, std::initializer_list<std::pair<int*, int>> assignments) {
    for (auto [field, value] : assignments) {
        *field = value;
        Move(placed);
    }
}

// The strip, the glyph put into it twice, two labels and two buttons, in the carrier's order.
void BuildChildren(const Placed& form) {
    RECT client;
    GetClientRect(form.window, &client);
    const int clientWidth = static_cast<int>(client.right);
    Placed strip = Child(form.window, L"STATIC", WS_CHILD | WS_VISIBLE | SS_BITMAP, 1);
    Assign(strip,
           {{&strip.top, 0}, {&strip.height, 28}, {&strip.left, 0}, {&strip.width, form.width}});
    Placed glyph = Child(form.window, L"BUTTON", WS_CHILD | WS_VISIBLE, 2);
    SetParent(glyph.window, strip.window);
    SetParent(glyph.window, strip.window);
    Assign(glyph, {{&glyph.width, 20},
                   {&glyph.height, 20},
                   {&glyph.top, 3},
                   {&glyph.left, form.width - 24},
                   {&glyph.width, 20}});
    Placed title = Child(form.window, L"STATIC", WS_CHILD | WS_VISIBLE | SS_CENTER, 3);
    Assign(title,
           {{&title.top, 50}, {&title.left, 0}, {&title.width, clientWidth}, {&title.height, 50}});
    Placed info = Child(form.window, L"STATIC", WS_CHILD | WS_VISIBLE | SS_CENTER, 4);
    Assign(info,
           {{&info.top, 190}, {&info.left, 0}, {&info.width, clientWidth}, {&info.height, 40}});
    Placed ok = Child(form.window, L"BUTTON", WS_CHILD | WS_VISIBLE, 5);
    Assign(ok, {{&ok.left, 500}, {&ok.top, 270}, {&ok.width, 120}, {&ok.height, 40}});
    Placed quit = Child(form.window, L"BUTTON", WS_CHILD | WS_VISIBLE, 6);
    Assign(quit, {{&quit.left, 570}, {&quit.top, 570}, {&quit.height, 36}, {&quit.width, 400}});
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DesignProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"DesignWindow";
    RegisterClassExW(&windowClass);
    Placed form = BuildForm(instance);
    BuildChildren(form);
    ShowWindow(form.window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
