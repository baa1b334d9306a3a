#include "form_class.h"

#include "core/process.h"
#include "core/wide_text.h"
#include "controls/scale.h"
#include "window/window_proc.h"
#include "resource_ids.h"

const char FormClassName[] = "Tarnwick8099";
HFONT DefaultFont;
HICON ApplicationIcon;

// A UTF-16 class: a form's text is stored as it is set, never through the system's code page.
static WNDCLASSEXW formClass = {
    sizeof(WNDCLASSEXW),
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
    formClass.lpszClassName = WideFrom1252(FormClassName);
    // A missing icon leaves the class without one.
    ApplicationIcon = static_cast<HICON>(
        LoadImageA(ModuleInstance, APPLICATION_ICON, IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    formClass.hIcon = ApplicationIcon;
    formClass.hIconSm = static_cast<HICON>(
        LoadImageA(ModuleInstance, APPLICATION_ICON, IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    formClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassExW(&formClass);
    LayoutDpi = DpiOfWindow(nullptr);
    DefaultFont = CreateDefaultFont();
}

HFONT CreateDefaultFont() {
    return CreateFontAtScale(defaultLogFont);
}
