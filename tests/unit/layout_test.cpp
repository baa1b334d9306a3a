// The program's own start-up without the message loop, inspected from inside the process:
// texts, the Save request, fonts, pictures and handlers of the main window.
#include <gtest/gtest.h>

#include <string>

#include "app.h"
#include "core/save_dialog.h"
#include "window/form_class.h"

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
    EXPECT_EQ(Text(DialogTitle), "Wohin m\xF6"
                                 "chten Sie Wendelkamm 28 speichern ?");
    EXPECT_EQ(Text(InfoText), "Sie k\xF6"
                              "nnen dann Bd. 28 als PDF-Datei in ein Verzeichnis Ihrer Wahl "
                              "abspeichern.");
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
    EXPECT_STREQ(SaveRequest.lpstrTitle, L"Wohin m\u00F6"
                                         L"chten Sie Wendelkamm 28 speichern ?");
    EXPECT_EQ(SaveRequest.Flags, 0x202806u);
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

TEST_F(Layout, FontsFaceHeightAndWeight) {
    struct Expected {
        ControlRecord* control;
        const char* face;
        LONG height;
        LONG weight;
    };
    const Expected fonts[] = {
        {&TitleBar, "MS Sans Serif", 1, 400}, {&CloseBox, "MS Sans Serif", 1, 400},
        {&TitleLabel, "Verdana", 64, 700},    {&InfoLabel, "Arial", 28, 700},
        {&OkButton, "Arial", 34, 700},        {&QuitButton, "Arial", 28, 700},
    };
    for (const Expected& expected : fonts) {
        LOGFONTA font = FontOf(expected.control->handle);
        EXPECT_STREQ(font.lfFaceName, expected.face) << expected.control->id;
        EXPECT_EQ(font.lfHeight, expected.height) << expected.control->id;
        EXPECT_EQ(font.lfWeight, expected.weight) << expected.control->id;
    }
    EXPECT_EQ(InfoLabel.font, QuitButton.font) << "one font record, one font";
    // A form answers WM_GETFONT with nothing; its record holds the font it was given.
    EXPECT_EQ(MainForm.font, DefaultFont);
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
    EXPECT_EQ(strip.cx, 35);
    EXPECT_EQ(strip.cy, 13);
    SIZE glyph = BitmapSize(SendMessageA(CloseBox.handle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(glyph.cx, 20);
    EXPECT_EQ(glyph.cy, 23);

    auto icon = reinterpret_cast<HICON>(GetClassLongPtrA(MainForm.handle, GCLP_HICON));
    ASSERT_NE(icon, nullptr) << "the class carries AppIco";
    EXPECT_EQ(icon, ApplicationIcon);
    ICONINFO info = {};
    GetIconInfo(icon, &info);
    EXPECT_EQ(BitmapSize(reinterpret_cast<LRESULT>(info.hbmColor)).cx, 32);
    EXPECT_NE(GetClassLongPtrA(MainForm.handle, GCLP_HICONSM), 0);
}

TEST_F(Layout, EveryControlIsVisibleAndEnabled) {
    for (ControlRecord* control :
         {&MainForm, &TitleBar, &CloseBox, &TitleLabel, &InfoLabel, &OkButton, &QuitButton}) {
        EXPECT_TRUE(IsWindowVisible(control->handle)) << control->id;
        EXPECT_TRUE(IsWindowEnabled(control->handle)) << control->id;
    }
}

} // namespace
