// The program's own start-up without the message loop, inspected from inside the process:
// texts, the Save request, geometry, fonts, pictures and handlers of the main window. CTest runs
// the suite again on displays of other scales and sizes (display.sh), CARRIER_DPI naming the scale.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <winternl.h>

#include "app.h"
#include "controls/contrast.h"
#include "controls/scale.h"
#include "core/binding.h"
#include "core/save_dialog.h"
#include "support/driver.h"
#include "window/form_class.h"

// Wine always reports a contrast theme off; the tests say what the system reports.
static bool contrastThemeReported;
bool SystemContrastThemeOn() {
    return contrastThemeReported;
}

// The binding seam: the system's functions less those a test withholds; every lookup is kept.
static std::vector<std::string> withheldFunctions;
static std::vector<std::string> askedFunctions;
FARPROC FindSystemFunction(const char* library, const char* name) {
    askedFunctions.push_back(std::string(library) + "!" + name);
    for (const std::string& withheld : withheldFunctions)
        if (withheld == name)
            return nullptr;
    HMODULE module = LoadSystemLibrary(library);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

namespace {

class Layout : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        RegisterFormClass();
        BuildApplicationTexts();
        BindSystemFunctions();
        BuildUserInterface();
        ShowMainForm();
    }
};

// The scale this run is to see, and the design's pixels at it.
UINT ExpectedDpi() {
    const char* dpi = std::getenv("CARRIER_DPI");
    return dpi != nullptr ? static_cast<UINT>(std::atoi(dpi)) : 96;
}

LONG Scaled(LONG designPixels, UINT dpi = ExpectedDpi()) {
    return MulDiv(designPixels, static_cast<int>(dpi), 96);
}

std::string Text(const StringVariable& var) {
    return std::string(var.text, var.length);
}

LOGFONTA FontOf(HWND window) {
    LOGFONTA font = {};
    auto handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    GetObjectA(handle, sizeof font, &font);
    return font;
}

SIZE BitmapSize(LRESULT image) {
    BITMAP bitmap = {};
    GetObjectA(reinterpret_cast<HBITMAP>(image), sizeof bitmap, &bitmap);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

TEST_F(Layout, TextsAreBuiltFromTheVolume) {
    EXPECT_EQ(Text(Volume), "28");
    EXPECT_EQ(Text(ProductTitle), "Wendelkamm 28");
    EXPECT_EQ(Text(FileBaseName), "Wendelkamm_28");
    EXPECT_EQ(Text(DefaultFileName), "Wendelkamm_28.pdf");
    EXPECT_EQ(Text(DialogTitle), kSaveDialogTitle);
    EXPECT_EQ(Text(InfoText), kInfoText);
    EXPECT_EQ(NulChar.length, 1);
    EXPECT_EQ(NulChar.text[0], 0);
    ASSERT_EQ(SaveFilter.length, 18);
    EXPECT_EQ(Text(SaveFilter), std::string("PDF-Dateien\0*.PDF\0", 18));
    EXPECT_EQ(SaveFilter.text[18], 0) << "a reader stopping at a double NUL sees one pair";
}

TEST_F(Layout, SaveRequestHoldsTheFixedFields) {
    EXPECT_EQ(SaveRequest.lStructSize, kSaveRequestSize);
    EXPECT_EQ(SaveRequest.hwndOwner, nullptr);
    // The texts reach the dialog as UTF-16, converted from Windows-1252 whatever the code page.
    EXPECT_EQ(std::wstring(SaveRequest.lpstrFilter, 20),
              std::wstring(L"PDF-Dateien\0*.PDF\0\0", 20))
        << "the list ends in a double NUL";
    EXPECT_STREQ(SaveRequest.lpstrFile, L"Wendelkamm_28.pdf");
    EXPECT_EQ(SaveRequest.nMaxFile, 260u);
    EXPECT_EQ(SaveRequest.lpstrTitle, From1252(kSaveDialogTitle));
    // The design's flags and OFN_NOCHANGEDIR, so that the chosen folder is not held.
    EXPECT_EQ(SaveRequest.Flags, 0x202806u | OFN_NOCHANGEDIR);
    EXPECT_STREQ(SaveRequest.lpstrDefExt, L"pdf");
    EXPECT_EQ(SaveRequest.nFilterIndex, 0u);
}

TEST_F(Layout, RecordsAreCreatedInOrderWithTheirHandlers) {
    ControlRecord* order[] = {&MainForm,  &TitleBar, &CloseBox,  &TitleLabel,
                              &InfoLabel, &OkButton, &QuitButton};
    for (int id = 0; id < 7; ++id) {
        EXPECT_EQ(order[id]->id, id);
        EXPECT_EQ(RecordTable[id], order[id]);
    }
    EXPECT_EQ(RecordTable[7], nullptr);
    EXPECT_EQ(TitleBar.onMouseDown, DragWindow);
    EXPECT_EQ(CloseBox.onMouseUp, QuitProgram);
    EXPECT_EQ(OkButton.onClick, SaveDocument);
    EXPECT_EQ(QuitButton.onClick, QuitProgram);
    EXPECT_EQ(CloseBox.onClick, nullptr);
    EXPECT_EQ(MainFormWindow, MainForm.handle);
    EXPECT_NE(BoundReleaseCapture, nullptr);
}

TEST_F(Layout, ColoursAndPictures) {
    LOGBRUSH brush = {};
    GetObjectA(reinterpret_cast<HBRUSH>(GetClassLongPtrA(MainForm.handle, GCLP_HBRBACKGROUND)),
               sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, 0xA58E69u) << "the form's colour is the class background";
    for (ControlRecord* control : {&TitleLabel, &InfoLabel, &OkButton, &QuitButton}) {
        GetObjectA(control->brush, sizeof brush, &brush);
        EXPECT_EQ(brush.lbColor, 0xA58E69u) << control->id;
    }
    GetObjectA(CloseBox.brush, sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, 0xB99846u);
    EXPECT_EQ(TitleLabel.textColor, 0xE6CFAAu);
    EXPECT_EQ(InfoLabel.textColor, 0u);
    EXPECT_EQ(TitleBar.brush, nullptr);

    SIZE strip = BitmapSize(SendMessageA(TitleBar.handle, STM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(strip.cx, Scaled(35));
    EXPECT_EQ(strip.cy, Scaled(13));
    SIZE glyph = BitmapSize(SendMessageA(CloseBox.handle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(glyph.cx, Scaled(20));
    EXPECT_EQ(glyph.cy, Scaled(23));

    auto icon = reinterpret_cast<HICON>(GetClassLongPtrA(MainForm.handle, GCLP_HICON));
    ASSERT_NE(icon, nullptr) << "the class carries AppIco";
    EXPECT_EQ(icon, ApplicationIcon);
    ICONINFO info = {};
    GetIconInfo(icon, &info);
    EXPECT_EQ(BitmapSize(reinterpret_cast<LRESULT>(info.hbmColor)).cx, 32);
    EXPECT_NE(GetClassLongPtrA(MainForm.handle, GCLP_HICONSM), 0);
}

// The design's size at the scale; where that is larger than the screen, the screen's size, never
// more, from its edge; else centred.
void ExpectPlacedOnScreen(LONG start, LONG size, LONG scaled, LONG screen) {
    if (scaled <= screen) {
        EXPECT_EQ(size, scaled);
        EXPECT_NEAR(start, (screen - scaled) / 2, 1);
    } else {
        EXPECT_EQ(start, 0);
        EXPECT_LE(size, screen);
        EXPECT_GE(size, screen - Scaled(1));
    }
}

// Each child as the design has it at 96 dpi: class, style, place and size, font. A width of 0
// spans: the strip the window, a label the client area as it was when the label was sized (it
// covers today's); the glyph sits at the strip's right end.
struct DesignedChild {
    ControlRecord* record;
    const char* className;
    DWORD style;
    RECT place;
    const char* face;
    LONG fontHeight;
    LONG weight;
};

const DesignedChild kChildren[] = {
    {&TitleBar, "Static", 0x5000010E, {0, 0, 0, 28}, "MS Sans Serif", 1, 400},
    {&CloseBox, "Button", 0x50018080, {0, 3, 20, 20}, "MS Sans Serif", 1, 400},
    {&TitleLabel, "Static", 0x50000301, {0, 50, 0, 50}, "Verdana", 64, 700},
    {&InfoLabel, "Static", 0x50000301, {0, 190, 0, 40}, "Arial", 28, 700},
    {&OkButton, "Button", 0x50010000, {500, 270, 120, 40}, "Arial", 34, 700},
    {&QuitButton, "Button", 0x50010000, {570, 570, 400, 36}, "Arial", 28, 700},
};

// Every child at the design's place and size, and in its font, times the scale.
void ExpectChildrenAt(UINT dpi) {
    RECT window, client;
    GetWindowRect(MainForm.handle, &window);
    GetClientRect(MainForm.handle, &client);
    const LONG width = window.right - window.left;
    for (const DesignedChild& child : kChildren) {
        SCOPED_TRACE(child.record->id);
        HWND handle = child.record->handle;
        EXPECT_TRUE(IsWindowVisible(handle));
        EXPECT_TRUE(IsWindowEnabled(handle));
        EXPECT_STRCASEEQ(ClassNameOf(handle).c_str(), child.className);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(handle, GWL_STYLE)), child.style);
        RECT rect = RectInParent(handle);
        if (child.record == &CloseBox) {
            EXPECT_NEAR(width - rect.right, Scaled(4, dpi), 1) << "the glyph near the strip's end";
        } else {
            EXPECT_EQ(rect.left, Scaled(child.place.left, dpi));
        }
        EXPECT_EQ(rect.top, Scaled(child.place.top, dpi));
        EXPECT_EQ(rect.bottom - rect.top, Scaled(child.place.bottom, dpi));
        if (child.place.right != 0) {
            EXPECT_EQ(rect.right - rect.left, Scaled(child.place.right, dpi));
        } else if (child.record == &TitleBar) {
            EXPECT_EQ(rect.right, width);
        } else {
            EXPECT_GE(rect.right, client.right) << "as wide as the client area";
            EXPECT_LE(rect.right, width);
        }
        LOGFONTA font = FontOf(handle);
        EXPECT_STREQ(font.lfFaceName, child.face);
        EXPECT_EQ(font.lfHeight, Scaled(child.fontHeight, dpi));
        EXPECT_EQ(font.lfWeight, child.weight);
    }
    EXPECT_EQ(GetParent(CloseBox.handle), TitleBar.handle);
}

// The window without caption, frame or boxes, its design's size at the scale, centred; the
// children laid out in it.
TEST_F(Layout, TheDesignIsShownAtTheScaleOfTheDisplay) {
    ASSERT_EQ(DpiOfWindow(MainForm.handle), ExpectedDpi()) << "Wine shows another scale";
    ASSERT_EQ(LayoutDpi, ExpectedDpi());
    auto style = static_cast<DWORD>(GetWindowLongA(MainForm.handle, GWL_STYLE));
    EXPECT_NE(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION)) << "no caption bar";
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT window;
    GetWindowRect(MainForm.handle, &window);
    ExpectPlacedOnScreen(window.left, window.right - window.left, Scaled(1024),
                         GetSystemMetrics(SM_CXSCREEN));
    ExpectPlacedOnScreen(window.top, window.bottom - window.top, Scaled(650),
                         GetSystemMetrics(SM_CYSCREEN));
    ExpectChildrenAt(ExpectedDpi());
    EXPECT_EQ(InfoLabel.font, QuitButton.font) << "one font record, one font";
    // A form answers WM_GETFONT with nothing; its record holds the font it was given.
    EXPECT_EQ(MainForm.font, DefaultFont);
}

// Where Windows has no GetDpiForWindow (8.1), the monitor's scale comes from GetDpiForMonitor;
// where it has neither (7), the system's.
TEST_F(Layout, TheScaleOfTheMonitorOnWindowsBefore10) {
    using Asked = std::vector<std::string>;
    const std::string forWindow = "user32.dll!GetDpiForWindow";
    const std::string forMonitor = "shcore.dll!GetDpiForMonitor";
    askedFunctions.clear();
    EXPECT_EQ(DpiOfWindow(MainForm.handle), ExpectedDpi());
    EXPECT_EQ(askedFunctions, Asked{forWindow}) << "Windows 10 and later";

    withheldFunctions = {"GetDpiForWindow"};
    askedFunctions.clear();
    EXPECT_EQ(DpiOfWindow(MainForm.handle), ExpectedDpi());
    EXPECT_EQ(askedFunctions, (Asked{forWindow, forMonitor})) << "Windows 8.1";

    withheldFunctions = {"GetDpiForWindow", "GetDpiForMonitor"};
    askedFunctions.clear();
    EXPECT_EQ(DpiOfWindow(MainForm.handle), ExpectedDpi());
    EXPECT_EQ(askedFunctions, (Asked{forWindow, forMonitor})) << "Windows 7";
    withheldFunctions.clear();
}

// Moved to a monitor of another scale, the window takes the rectangle Windows suggests and lays
// itself out again with fonts and pictures for it; those of the old scale are freed. Last in the
// suite, and it moves the window back.
TEST_F(Layout, ZAMoveToAnotherScaleLaysTheWindowOutAgain) {
    const UINT from = LayoutDpi;
    const UINT to = from == 96 ? 144 : 96;
    HGDIOBJ old[] = {
        HeadingFont.fontHandle,
        TextFont.fontHandle,
        ButtonFont.fontHandle,
        DefaultFont,
        reinterpret_cast<HGDIOBJ>(SendMessageA(TitleBar.handle, STM_GETIMAGE, IMAGE_BITMAP, 0)),
        reinterpret_cast<HGDIOBJ>(SendMessageA(CloseBox.handle, BM_GETIMAGE, IMAGE_BITMAP, 0))};
    RECT before;
    GetWindowRect(MainForm.handle, &before);
    // On the new monitor, within its screen.
    RECT suggested = {20, 10, 660, 490};
    SendMessageW(MainForm.handle, WM_DPICHANGED, MAKEWPARAM(to, to),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window;
    GetWindowRect(MainForm.handle, &window);
    EXPECT_EQ(window, suggested) << "the rectangle Windows suggests";
    const RECT ok = {Scaled(500, to), Scaled(270, to), Scaled(620, to), Scaled(310, to)};
    EXPECT_EQ(RectInParent(OkButton.handle), ok);
    EXPECT_EQ(FontOf(TitleLabel.handle).lfHeight, Scaled(64, to));
    EXPECT_EQ(FontOf(QuitButton.handle).lfHeight, Scaled(28, to));
    EXPECT_EQ(FontOf(CloseBox.handle).lfHeight, Scaled(1, to)) << "the default font";
    SIZE glyph = BitmapSize(SendMessageA(CloseBox.handle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(glyph.cx, Scaled(20, to));
    for (HGDIOBJ object : old)
        EXPECT_EQ(GetObjectType(object), 0u) << "a font or picture of the old scale stays";

    SendMessageW(MainForm.handle, WM_DPICHANGED, MAKEWPARAM(from, from),
                 reinterpret_cast<LPARAM>(&before));
    EXPECT_EQ(LayoutDpi, from);
    EXPECT_EQ(FontOf(OkButton.handle).lfHeight, Scaled(34, from));
}

// The form's client area as the screen shows it.
struct ClientPixels {
    LONG width = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(LONG x, LONG y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

ClientPixels CaptureClient() {
    RECT client;
    GetClientRect(MainForm.handle, &client);
    POINT origin = {0, 0};
    ClientToScreen(MainForm.handle, &origin);
    ClientPixels capture;
    capture.width = client.right;
    capture.pixels.resize(static_cast<size_t>(client.right * client.bottom));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ before = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, before);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = client.right;
    format.bmiHeader.biHeight = -client.bottom; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(client.bottom), capture.pixels.data(), &format,
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    // DIB pixels are 0x00RRGGBB; colours here are 0x00BBGGRR.
    for (COLORREF& pixel : capture.pixels)
        pixel = RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));
    return capture;
}

// Wine hands painted pixels to the X server asynchronously: the window's messages are pumped until
// the form's background shows the colour, or two seconds pass.
ClientPixels CaptureOnceBackgroundIs(COLORREF background, POINT sample) {
    ClientPixels capture;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 2000;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        capture = CaptureClient();
        if (capture.At(sample.x, sample.y) == background)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return capture;
}

// The pictures as their pixels are (at other scales they are resampled), in any theme: the
// strip's rows top to bottom (the control may stretch them), the glyph's red field and white cross.
void ExpectPictures(const ClientPixels& capture) {
    const std::vector<COLORREF> strip = {RGB(134, 181, 209), RGB(116, 159, 185), RGB(99, 147, 174),
                                         RGB(96, 143, 170),  RGB(93, 138, 165),  RGB(90, 134, 159),
                                         RGB(86, 129, 154),  RGB(83, 124, 149),  RGB(79, 120, 144),
                                         RGB(77, 116, 139),  RGB(74, 112, 135),  RGB(72, 109, 132),
                                         RGB(72, 115, 141)};
    std::vector<COLORREF> rows;
    for (LONG y = 0; y < 28; ++y)
        if (rows.empty() || rows.back() != capture.At(5, y))
            rows.push_back(capture.At(5, y));
    rows.resize(strip.size(), CLR_INVALID);
    EXPECT_EQ(rows, strip) << "the strip";
    RECT glyph = RectInParent(CloseBox.handle);
    int red = 0, white = 0;
    for (LONG y = glyph.top; y < glyph.bottom; ++y)
        for (LONG x = glyph.left; x < glyph.right; ++x) {
            COLORREF colour = capture.At(x, y);
            red += GetRValue(colour) > 150 && GetGValue(colour) < 80 && GetBValue(colour) < 80;
            white += colour == RGB(255, 255, 255);
        }
    EXPECT_GT(red, 150) << "the glyph's red field";
    EXPECT_GT(white, 20) << "the glyph's white cross";
}

struct Shown {
    COLORREF background;
    COLORREF titleText;
    COLORREF infoText;
};

// The form's background, the labels' backgrounds and their texts, where the design puts them; a
// label's text colour is one its pixels have.
void ExpectShown(const Shown& expected, const char* what) {
    SCOPED_TRACE(what);
    const POINT form = {Scaled(20), Scaled(150)};
    ClientPixels capture = CaptureOnceBackgroundIs(expected.background, form);
    EXPECT_EQ(capture.At(form.x, form.y), expected.background) << "the form";
    EXPECT_EQ(capture.At(Scaled(4), Scaled(55)), expected.background) << "the title's background";
    EXPECT_EQ(capture.At(Scaled(4), Scaled(195)), expected.background) << "the instruction's";
    auto hasPixel = [&](LONG top, LONG height, COLORREF colour) {
        for (LONG y = top; y < top + height; ++y)
            for (LONG x = 0; x < capture.width; ++x)
                if (capture.At(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasPixel(Scaled(50), Scaled(50), expected.titleText)) << "the title's text";
    EXPECT_TRUE(hasPixel(Scaled(190), Scaled(40), expected.infoText)) << "the instruction line";
    if (LayoutDpi == 96)
        ExpectPictures(capture);
}

// The process's GDI objects: GetGuiResources, or where that is Wine's stub (always 0) the live
// entries of the table Wine keeps them in, at the PEB's GdiSharedHandleTable: 0x10000 entries of
// 24 bytes whose type byte, at 14, is 0 where the entry is free.
DWORD GdiObjectCount() {
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0)
        return count;
    using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr);
    auto* peb = reinterpret_cast<const uint8_t*>(basic.PebBaseAddress);
    auto* table =
        *reinterpret_cast<const uint8_t* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    for (size_t entry = 0; table != nullptr && entry < 0x10000; ++entry)
        count += table[24 * entry + 14] != 0;
    return count;
}

void ReportContrastTheme(bool on) {
    contrastThemeReported = on;
    SendMessageW(MainForm.handle, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
}

// The palette a display row puts into its prefix (CARRIER_PALETTE), else Wine's own.
struct Palette {
    COLORREF window;
    COLORREF windowText;
};

Palette PaletteOfThisRun() {
    Palette palette = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    const char* name = std::getenv("CARRIER_PALETTE");
    const std::string expected = name != nullptr ? name : "";
    if (expected == "white-on-black") {
        EXPECT_EQ(palette.window, RGB(0, 0, 0)) << "the prefix's palette was not taken";
    } else if (expected == "black-on-white") {
        EXPECT_EQ(palette.window, RGB(255, 255, 255)) << "the prefix's palette was not taken";
    }
    return palette;
}

void SetPalette(const Palette& palette) {
    const INT elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    const COLORREF colours[] = {palette.window, palette.windowText};
    SetSysColors(2, elements, colours);
}

// With a contrast theme on, the form and its texts show the system's window colours, the pictures
// stay; off, the design's colours, pixel for pixel. A switch either way, or a new palette while
// the theme is on, repaints at once, and ten switches make no GDI object.
TEST_F(Layout, ContrastThemeShowsTheSystemsColoursAndFollowsASwitch) {
    const Palette palette = PaletteOfThisRun();
    const Shown design = {0xA58E69, 0xE6CFAA, RGB(0, 0, 0)};
    ASSERT_NE(palette.window, design.background);
    ExpectShown(design, "theme off at the start");

    ReportContrastTheme(true);
    ExpectShown({palette.window, palette.windowText, palette.windowText}, "theme switched on");

    const Palette swapped = {palette.windowText, palette.window};
    SetPalette(swapped);
    ExpectShown({swapped.window, swapped.windowText, swapped.windowText}, "another palette");
    SetPalette(palette);

    const DWORD objects = GdiObjectCount();
    HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_EQ(GdiObjectCount(), objects + 1) << "the count does not see a new brush";
    DeleteObject(probe);
    for (int i = 0; i < 10; ++i) {
        ReportContrastTheme(false);
        ReportContrastTheme(true);
    }
    EXPECT_EQ(GdiObjectCount(), objects) << "GDI objects after ten switches";
    ExpectShown({palette.window, palette.windowText, palette.windowText}, "after ten switches");
    ReportContrastTheme(false);
    ExpectShown(design, "theme switched off");
}

} // namespace
