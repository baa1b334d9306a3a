#include "form_class.h"

#include "core/process.h"
#include "window/window_proc.h"

const char FormClassName[] = "Tarnwick8099";
HFONT DefaultFont;
HICON ApplicationIcon;

static WNDCLASSEXA formClass = {
    sizeof(WNDCLASSEXA),
    CS_DBLCLKS,
    nullptr,
    0,
    0,
    nullptr,
    nullptr,
    nullptr,
    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
    nullptr,
    nullptr,
    nullptr,
};

static LOGFONTA defaultLogFont = {
    1, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif",
};

void RegisterFormClass() {
    formClass.lpfnWndProc = FormWindowProc;
    formClass.hInstance = ModuleInstance;
    formClass.lpszClassName = FormClassName;
    // A missing icon leaves the class without one.
    ApplicationIcon = static_cast<HICON>(
        LoadImageA(ModuleInstance, "AppIco", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    formClass.hIcon = ApplicationIcon;
    formClass.hIconSm = static_cast<HICON>(
        LoadImageA(ModuleInstance, "AppIco", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    formClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassExA(&formClass);
    DefaultFont = CreateFontIndirectA(&defaultLogFont);
}
