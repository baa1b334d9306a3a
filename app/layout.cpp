// The main window: a skinned form without a system caption, built control by control.
#include "app.h"

#include "controls/properties.h"
#include "core/save_dialog.h"
#include "resource_ids.h"

constinit ControlRecord MainForm = NewRecord();
constinit ControlRecord TitleBar = NewRecord();
constinit ControlRecord CloseBox = NewRecord();
constinit ControlRecord TitleLabel = NewRecord();
constinit ControlRecord InfoLabel = NewRecord();
constinit ControlRecord OkButton = NewRecord();
constinit ControlRecord QuitButton = NewRecord();

constinit FontRecord HeadingFont = NewFontRecord();
constinit FontRecord TextFont = NewFontRecord();
constinit FontRecord ButtonFont = NewFontRecord();

static constexpr COLORREF kBackground = 0xA58E69;
static constexpr COLORREF kCloseBoxBackground = 0xB99846;
static constexpr COLORREF kTitleText = 0xE6CFAA;
static constexpr LONG kBold = 700;

static void DescribeFont(FontRecord& font, const char* face, LONG height) {
    SetFontFace(font, face);
    SetFontHeight(font, height);
    SetFontWeight(font, kBold);
}

static void BuildFonts() {
    DescribeFont(HeadingFont, "Verdana", 64);
    DescribeFont(TextFont, "Arial", 28);
    DescribeFont(ButtonFont, "Arial", 34);
}

// Style values pass through the numeric operators as signed 32-bit numbers.
static double AsNumber(DWORD style) {
    return static_cast<int32_t>(style);
}
static DWORD AsStyle(double number) {
    return static_cast<DWORD>(static_cast<int32_t>(number));
}

static void BuildMainForm() {
    TargetObject = &MainForm;
    CreateForm();
    SourceObject = &MainForm;
    double style = AsNumber(GetStyle());
    double dropped = NumOr(NumOr(NumOr(WS_CAPTION, WS_DLGFRAME), 0x8), WS_MAXIMIZEBOX);
    // Drops the caption (WS_DLGFRAME) and the maximise box, keeps the border, sets 0x8.
    SetStyle(AsStyle(NumXor(NumXor(style, WS_BORDER), dropped)));
    SetStyleFlag(17, 0);
    SetStyleFlag(16, 0);
    SetWidth(1024);
    SetHeight(650);
    CenterOnScreen();
    MoveControl();
    SetFrameFlag(0);
    SetBackColor(kBackground);
    SetCaption(ProductTitle.text);
    MainForm.onKeyDown = PressKey;
    MainForm.onMessage = KeyboardFocusMessage;
}

// Each control is built with its record as the target; the current form is kept across it.
static HWND savedForm;

static void BeginControl(ControlRecord& record) {
    savedForm = CurrentFormWindow;
    TargetObject = &record;
}

static void EndControl() {
    CurrentFormWindow = savedForm;
}

static void BuildTitleBar() {
    BeginControl(TitleBar);
    CreatePictureStatic();
    TitleBar.onMouseDown = DragWindow;
    TitleBar.bitmapName = TITLE_BAR_BITMAP;
    CreatePictureStatic();
    SetTop(0);
    SetHeight(28);
    SetLeft(0);
    SourceObject = &MainForm;
    ReadGeometry();
    // The outer width: the strip is wider than the client area and clipped at its edge.
    SetWidth(MainForm.width);
    EndControl();
}

static void BuildCloseBox() {
    BeginControl(CloseBox);
    CreateButton();
    SetParentWindow(TitleBar.handle);
    SetParentWindow(TitleBar.handle);
    SetWidth(20);
    SourceObject = &CloseBox;
    ReadGeometry();
    SetHeight(CloseBox.width);
    SetTop(3);
    SourceObject = &MainForm;
    ReadGeometry();
    SetLeft(MainForm.width - 24);
    SetWidth(20);
    CloseBox.onMouseUp = QuitProgram;
    SourceObject = &CloseBox;
    SetStyle(AsStyle(NumOr(AsNumber(GetStyle()), BS_FLAT)));
    SetCaption("Exit");
    CloseBox.bitmapName = CLOSE_GLYPH_BITMAP;
    CreateButton();
    SetBackColor(kCloseBoxBackground);
    EndControl();
}

static void BuildLabel(ControlRecord& label, int32_t top, int32_t height, COLORREF textColor,
                       FontRecord& font, const char* caption) {
    BeginControl(label);
    CreateLabel();
    SourceObject = &label;
    SetStyle(AsStyle(NumOr(AsNumber(GetStyle()), SS_CENTER)));
    SetTop(top);
    SetLeft(0);
    SourceObject = &MainForm;
    SetWidth(ReadClientWidth());
    SetHeight(height);
    SetBackColor(kBackground);
    SetControlTextColor(textColor);
    ApplyFont(font);
    SetCaption(caption);
    EndControl();
}

static void FinishButton(ControlRecord& button, FontRecord& font, const char* caption,
                         EventHandler onClick) {
    SetBackColor(kBackground);
    ApplyFont(font);
    SetCaption(caption);
    button.onClick = onClick;
    button.onKeyDown = PressKey;
    button.onKeyUp = ReleaseKey;
    EndControl();
}

static void BuildOkButton() {
    BeginControl(OkButton);
    CreateButton();
    SetLeft(500);
    SetTop(270);
    SetWidth(120);
    SetHeight(40);
    FinishButton(OkButton, ButtonFont, "OK", SaveDocument);
}

static void BuildQuitButton() {
    BeginControl(QuitButton);
    CreateButton();
    SetLeft(570);
    SetTop(570);
    SetHeight(36);
    SetWidth(400);
    FinishButton(QuitButton, TextFont,
                 "Abbrechen / Schlie\xDF"
                 "en",
                 QuitProgram);
}

void BuildUserInterface() {
    BuildFonts();
    BuildSaveRequest();
    BuildMainForm();
    BuildTitleBar();
    BuildCloseBox();
    BuildLabel(TitleLabel, 50, 50, kTitleText, HeadingFont, ProductTitle.text);
    BuildLabel(InfoLabel, 190, 40, 0, TextFont, InfoText.text);
    BuildOkButton();
    BuildQuitButton();
    TargetObject = &MainForm;
    if (MainForm.menu != nullptr)
        DrawMenuBar(MainForm.handle);
}

// The frame flag leaves WS_MAXIMIZE in the style. Windows "restores" such a window to its
// normal placement when it is shown normally; Wine at times maximises it instead. The window
// is shown in its normal state by clearing the bit first.
void ShowMainForm() {
    TargetObject = &MainForm;
    SetStyleFlag(24, 0);
    ShowControl();
    FocusOkButton();
}
