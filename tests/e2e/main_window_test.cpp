// The whole program as a user meets it: the skinned window, dragging it by its strip, closing
// it three ways, saving through "OK", and all of it from the keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/driver.h"
#include "support/running_carrier.h"
#include "support/scratch_folder.h"
#include "support/test_paths.h"

namespace {

void MouseTo(int x, int y) {
    SetCursorPos(x, y);
}

void MouseButton(DWORD flags) {
    SendInputs({MouseInput(flags)});
}

// Presses a button at (x, y), moves by (dx, dy) in steps, releases; as a hand does.
void Drag(int x, int y, int dx, int dy, DWORD down, DWORD up) {
    MouseTo(x, y);
    Sleep(50);
    MouseButton(down);
    Sleep(150);
    for (int step = 1; step <= 5; ++step) {
        MouseTo(x + dx * step / 5, y + dy * step / 5);
        Sleep(40);
    }
    Sleep(100);
    MouseButton(up);
    Sleep(150);
}

// What Windows shows of the file (Explorer's details, Task Manager): the German block of its
// version resource, no publisher where the build names none.
void ExpectVersionTexts(const std::wstring& exe) {
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
    ASSERT_NE(size, 0u) << "no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    const std::pair<const wchar_t*, const wchar_t*> fields[] = {
        {L"FileDescription", L"Wendelkamm 28"},
        {L"ProductName", L"Wendelkamm 28"},
        {L"InternalName", L"Wendelkamm28"},
        {L"OriginalFilename", L"Wendelkamm_28.exe"},
        {L"FileVersion", L"1.0.0.28"},
        {L"ProductVersion", L"1.0.0.28"},
        {L"CompanyName", nullptr},
        {L"LegalCopyright", nullptr},
    };
    for (const auto& [name, expected] : fields) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
        void* value = nullptr;
        UINT length = 0;
        bool found = VerQueryValueW(info.data(), path.c_str(), &value, &length) && length > 0;
        EXPECT_EQ(found, expected != nullptr) << Utf8(name);
        if (found && expected != nullptr) {
            EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), expected) << Utf8(name);
        }
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 28u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

// The texts are Windows-1252 in the program and reach Windows as UTF-16: under a system locale
// whose ANSI code page is another (CTest runs this once more under ru_RU.UTF-8, code page 1251),
// they read back as written.
TEST(MainWindow, TextsOfTheWindowAndTheSaveDialogAreGermanWhateverTheCodePage) {
    ASSERT_EQ(GetACP(), ExpectedCodePage())
        << "the locale is missing: scripts/install-deps makes it";
    RunningCarrier carrier;
    ASSERT_NE(carrier.main, nullptr);
    EXPECT_TRUE(TopLevelWindows(carrier.program.pid, kDialogClass).empty()) << "no message box";
    EXPECT_EQ(WindowTextW(carrier.main), L"Wendelkamm 28");
    const std::pair<int, std::string> texts[] = {
        {kTitleBar, ""},         {kCloseBox, "Exit"}, {kTitleLabel, "Wendelkamm 28"},
        {kInfoLabel, kInfoText}, {kOkButton, "OK"},   {kQuitButton, kQuitText},
    };
    for (const auto& [id, text] : texts)
        EXPECT_EQ(WindowTextW(carrier.Control(id)), From1252(text)) << id;
    ExpectVersionTexts(Utf16(BuiltProgramPath("carrier.exe")));
    HWND dialog = carrier.OpenSaveDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowTextW(dialog), From1252(kSaveDialogTitle));
    EXPECT_EQ(DialogItemTextW(dialog, kFileNameFieldId), L"Wendelkamm_28.pdf");
    EXPECT_EQ(DialogItemTextW(dialog, kFileTypeBoxId), L"PDF-Dateien");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(carrier.Quit(), 0u);
}

// A drag on the strip with any button moves the window by as much; one on the labels moves nothing.
TEST(MainWindow, TheStripAloneMovesTheWindowWithAnyButton) {
    RunningCarrier carrier;
    ASSERT_NE(carrier.main, nullptr);
    struct Case {
        POINT from;
        DWORD down;
        DWORD up;
        bool moves;
    };
    // The labels first, while the whole window is on the screen.
    const Case cases[] = {
        {{100, 210}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, false},
        {{100, 450}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, false},
        {{400, 10}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, true},
        {{400, 10}, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, true},
        {{400, 10}, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "at " << c.from.x << "," << c.from.y << ", button " << c.down);
        RECT before = carrier.Rect();
        Drag(before.left + c.from.x, before.top + c.from.y, 60, 40, c.down, c.up);
        RECT after = carrier.Rect();
        EXPECT_EQ(after.left - before.left, c.moves ? 60 : 0);
        EXPECT_EQ(after.top - before.top, c.moves ? 40 : 0);
    }
    EXPECT_EQ(carrier.program.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
}

// The three ways to close the window each end the program with 0; the glyph closes on release.
TEST(MainWindow, TheCloseGlyphTheQuitButtonAndTheSystemEndTheProgram) {
    const std::pair<const char*, void (*)(const RunningCarrier&)> ways[] = {
        {"releasing over the glyph",
         [](const RunningCarrier& carrier) {
             RECT glyph;
             GetWindowRect(carrier.Control(kCloseBox), &glyph);
             MouseTo(glyph.left + 10, glyph.top + 10);
             Sleep(100);
             MouseButton(MOUSEEVENTF_LEFTDOWN);
             EXPECT_EQ(carrier.program.WaitForExit(700), static_cast<DWORD>(STILL_ACTIVE))
                 << "a press alone does not close";
             MouseButton(MOUSEEVENTF_LEFTUP);
         }},
        {"the quit button",
         [](const RunningCarrier& carrier) {
             PostMessageA(carrier.Control(kQuitButton), BM_CLICK, 0, 0);
         }},
        {"the system's WM_CLOSE",
         [](const RunningCarrier& carrier) { PostMessageA(carrier.main, WM_CLOSE, 0, 0); }},
    };
    for (const auto& [what, close] : ways) {
        SCOPED_TRACE(what);
        RunningCarrier carrier;
        ASSERT_NE(carrier.main, nullptr);
        close(carrier);
        EXPECT_EQ(carrier.program.WaitForExit(kTimeoutMs), 0u);
    }
}

// Whether the document arrives in the folder byte for byte within the time.
bool SavedInto(const ScratchFolder& folder) {
    std::string saved = folder.Path("Wendelkamm_28.pdf");
    std::string document = ReadWholeFile(CARRIER_DOCUMENT_WINDOWS_PATH);
    return WaitUntil([&] { return ReadWholeFile(saved).size() == document.size(); }, kTimeoutMs) &&
           ReadWholeFile(saved) == document;
}

TEST(MainWindow, ADamagedDocumentIsNeverSaved) {
    // A copy of the program with one bit of the carried document flipped, as a bad disk does.
    ScratchFolder programs("damaged-program");
    std::string image = ReadWholeFile(BuiltProgramPath("carrier.exe"));
    size_t document = image.find("%PDF-1.5\n");
    ASSERT_NE(document, std::string::npos);
    image[document + 1000000] ^= 0x10;
    std::string damaged = programs.Path("carrier.exe");
    WriteWholeFile(damaged, image);

    ScratchFolder folder("damaged-save");
    WriteWholeFile(folder.Path("existing.pdf"), "the existing target");
    RunningCarrier carrier(folder.path, damaged);
    ASSERT_NE(carrier.main, nullptr);
    ASSERT_NE(carrier.OpenSaveDialog(), nullptr);
    ASSERT_TRUE(SaveOver(carrier.program.pid, "existing.pdf"));

    HWND box = WaitForMessageBox(carrier.program.pid);
    ASSERT_NE(box, nullptr) << "the damage was not reported";
    EXPECT_EQ(WindowText(box), "Wendelkamm28");
    EXPECT_EQ(DialogItemText(box, kMessageBoxTextId)
                  .rfind("Die Programmdatei ist besch\xE4"
                         "digt",
                         0),
              0u);
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"existing.pdf"});
    EXPECT_EQ(ReadWholeFile(folder.Path("existing.pdf")), "the existing target");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kTimeoutMs));
    EXPECT_TRUE(IsWindow(carrier.main)) << "the program goes on";
    EXPECT_EQ(carrier.Quit(), 0u);
}

// A key pressed and released through the input system, optionally with Shift held.
void PressKey(WORD key, bool shift = false) {
    std::vector<INPUT> inputs;
    if (shift)
        inputs.push_back(KeyInput(VK_SHIFT, 0));
    inputs.push_back(KeyInput(key, 0));
    inputs.push_back(KeyInput(key, KEYEVENTF_KEYUP));
    if (shift)
        inputs.push_back(KeyInput(VK_SHIFT, KEYEVENTF_KEYUP));
    SendInputs(inputs);
}

// A key held down for 2.5 s as a keyboard holds it: pressed and released in the display server
// (XTest, through xdotool), which repeats it meanwhile as it does a user's key. Key-downs injected
// with SendInput while the display server holds the key up are not the same thing under Wine 10.
// Wine starts the Unix program without a handle to wait on: the test waits for what it causes.
bool HoldKey(const wchar_t* keysym) {
    std::wstring command =
        std::wstring(L"xdotool keydown ") + keysym + L" sleep 2.5 keyup " + keysym;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(L"Z:\\usr\\bin\\xdotool", command.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

// The window that has the keyboard focus in the program, as an accessibility client reads it.
HWND FocusedWindow(const RunningCarrier& carrier) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(carrier.main, nullptr), &info);
    return info.hwndFocus;
}

bool BecomesForeground(HWND window) {
    return WaitUntil([&] { return GetForegroundWindow() == window; }, kTimeoutMs);
}

bool FocusReaches(const RunningCarrier& carrier, int id) {
    return WaitUntil([&] { return FocusedWindow(carrier) == carrier.Control(id); }, kTimeoutMs);
}

// The medium of tests/e2e/fault_folders.sh: a FUSE view of medium-files whose reads fail while
// medium-control holds "gone" and take the milliseconds "slow" holds; a copy of the carrier on it,
// under a name of this run's own (nothing of it cached yet, also where the test is repeated).
// Empty where it is not mounted (not root, no FUSE).
std::string CarrierOnTheMedium(std::string name) {
    std::string faults = std::string(CARRIER_TEST_OUTPUT_WINDOWS_PATH) + "\\faults\\";
    if (GetFileAttributesA((faults + "medium-mounted").c_str()) == INVALID_FILE_ATTRIBUTES)
        return "";
    name = std::to_string(GetCurrentProcessId()) + "-" + name;
    CopyFileA(BuiltProgramPath("carrier.exe").c_str(), (faults + "medium-files\\" + name).c_str(),
              FALSE);
    return faults + "medium\\" + name;
}

// Whether the window answers a message within a tenth of a second.
bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result) != 0;
}

// Sets the medium's behaviour (control "gone" or "slow"); null content restores it.
void SetMedium(const char* control, const char* content) {
    std::string path = std::string(CARRIER_TEST_OUTPUT_WINDOWS_PATH) + "\\faults\\medium-control\\";
    if (content != nullptr)
        WriteWholeFile(path + control, content);
    else
        DeleteFileA((path + control).c_str());
}

// Run from a stick that is pulled or a share that drops: the save says so in German and what to
// do, writes nothing and leaves the user's file as it was, and the program goes on; once the
// medium is back, the next save writes the document.
TEST(MainWindow, AMediumThatGoesAwayIsReportedAndTheNextSaveWorks) {
    std::string exe = CarrierOnTheMedium("gone.exe");
    if (exe.empty())
        GTEST_SKIP() << "needs root and FUSE for the medium of tests/e2e/fault_folders.sh";
    ScratchFolder folder("medium-gone");
    WriteWholeFile(folder.Path("Wendelkamm_28.pdf"), "the user's file");
    RunningCarrier carrier(folder.path, exe);
    ASSERT_NE(carrier.main, nullptr);
    SetMedium("gone", "");
    ASSERT_NE(carrier.OpenSaveDialog(), nullptr);
    ASSERT_TRUE(SaveOver(carrier.program.pid, "Wendelkamm_28.pdf"));
    HWND box = WaitForMessageBox(carrier.program.pid);
    SetMedium("gone", nullptr);
    ASSERT_NE(box, nullptr) << "no report; the program's exit code "
                            << carrier.program.WaitForExit(0);
    std::string text = DialogItemText(box, kMessageBoxTextId);
    EXPECT_EQ(text.rfind(kNotSaved, 0), 0u) << text;
    EXPECT_NE(text.find("Die Programmdatei kann nicht mehr gelesen werden"), std::string::npos)
        << text;
    EXPECT_NE(text.find("kopieren Sie das Programm auf diesen Computer"), std::string::npos)
        << text;
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"Wendelkamm_28.pdf"});
    EXPECT_EQ(ReadWholeFile(folder.Path("Wendelkamm_28.pdf")), "the user's file");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kTimeoutMs));

    ASSERT_NE(carrier.OpenSaveDialog(), nullptr);
    ASSERT_TRUE(SaveOver(carrier.program.pid, "Wendelkamm_28.pdf"));
    EXPECT_TRUE(SavedInto(folder)) << "the medium is back";
    EXPECT_EQ(carrier.Quit(), 0u);
}

// A slow share: the save still writes the document byte for byte, and a click on "OK" while it
// works opens no second dialog.
TEST(MainWindow, AClickWhileASlowMediumIsReadStartsNoSecondSave) {
    std::string exe = CarrierOnTheMedium("slow.exe");
    if (exe.empty())
        GTEST_SKIP() << "needs root and FUSE for the medium of tests/e2e/fault_folders.sh";
    ScratchFolder folder("medium-slow");
    RunningCarrier carrier(folder.path, exe);
    ASSERT_NE(carrier.main, nullptr);
    HWND dialog = carrier.OpenSaveDialog();
    ASSERT_NE(dialog, nullptr);
    SetMedium("slow", "15");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kTimeoutMs));
    RECT ok;
    GetWindowRect(carrier.Control(kOkButton), &ok);
    MouseTo((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(Answers(carrier.main)) << "the click came after the save";
    bool saved = SavedInto(folder);
    SetMedium("slow", nullptr);
    EXPECT_TRUE(saved);
    EXPECT_FALSE(WaitUntil([&] { return !ShownDialogs(carrier.program.pid).empty(); }, 1500))
        << "a click made while the save worked opened the dialog again";
    EXPECT_EQ(carrier.Quit(), 0u);
}

// Enter, Esc and Space drive the dialog from "OK". The auto-repeats of a key held down after it
// closed the Save dialog reach "OK": a key-down with the repeat bit (30) set presses nothing.
TEST(Keyboard, EnterEscAndSpaceDriveTheDialogFromTheFocusOnOkAndHeldKeysPressNothing) {
    ScratchFolder folder("keys");
    RunningCarrier carrier(folder.path);
    ASSERT_NE(carrier.main, nullptr);
    ASSERT_TRUE(FocusReaches(carrier, kOkButton)) << "OK has the focus when the window opens";
    // What a screen reader announces first: the focused control's class and text.
    EXPECT_STRCASEEQ(ClassNameOf(FocusedWindow(carrier)).c_str(), "Button");
    EXPECT_EQ(WindowText(FocusedWindow(carrier)), "OK");
    EXPECT_EQ(SendMessageA(carrier.Control(kOkButton), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0)
        << "the focus cue is shown";
    constexpr LPARAM kRepeated = 1 << 30 | 1;
    PostMessageA(carrier.Control(kOkButton), WM_KEYDOWN, VK_ESCAPE, kRepeated);
    PostMessageA(carrier.Control(kOkButton), WM_KEYDOWN, VK_RETURN, kRepeated);
    // Posted messages come before input: once Tab has moved the focus, the repeats were handled.
    PressKey(VK_TAB);
    ASSERT_TRUE(FocusReaches(carrier, kQuitButton));
    EXPECT_EQ(carrier.program.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE))
        << "a repeated Esc ended the program";
    EXPECT_TRUE(ShownDialogs(carrier.program.pid).empty())
        << "a repeated Enter opened the Save dialog";
    PressKey(VK_TAB, true);
    ASSERT_TRUE(FocusReaches(carrier, kOkButton));

    PressKey(VK_RETURN);
    HWND dialog = carrier.WaitForSaveDialog();
    ASSERT_NE(dialog, nullptr) << "Enter presses OK";
    ASSERT_TRUE(BecomesForeground(dialog));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kTimeoutMs)) << "Esc cancels";
    ASSERT_TRUE(FocusReaches(carrier, kOkButton)) << "the focus is back on OK";
    EXPECT_EQ(carrier.program.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));

    PressKey(VK_SPACE);
    dialog = carrier.WaitForSaveDialog();
    ASSERT_NE(dialog, nullptr) << "Space presses OK";
    ASSERT_TRUE(BecomesForeground(dialog));
    // After a cancel the name field starts empty, as designed: the user types a name.
    SetDlgItemTextA(dialog, kFileNameFieldId, "Wendelkamm_28.pdf");
    PressKey(VK_RETURN);
    EXPECT_TRUE(SavedInto(folder));
    ASSERT_TRUE(FocusReaches(carrier, kOkButton));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(carrier.program.WaitForExit(kTimeoutMs), 0u) << "Esc ends the program";
}

TEST(Keyboard, TabMovesBetweenTheButtonsWhichKeepTheFocusAcrossActivation) {
    RunningCarrier carrier;
    ASSERT_NE(carrier.main, nullptr);
    ASSERT_TRUE(FocusReaches(carrier, kOkButton));
    PressKey(VK_TAB);
    ASSERT_TRUE(FocusReaches(carrier, kQuitButton));
    PressKey(VK_TAB, true);
    ASSERT_TRUE(FocusReaches(carrier, kOkButton));
    PressKey(VK_TAB);
    ASSERT_TRUE(FocusReaches(carrier, kQuitButton));
    // Another program's window comes to the front, then the carrier's again.
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(BecomesForeground(other));
    SetForegroundWindow(carrier.main);
    ASSERT_TRUE(BecomesForeground(carrier.main));
    EXPECT_TRUE(FocusReaches(carrier, kQuitButton)) << "the focus went to the form itself";
    PressKey(VK_RETURN);
    EXPECT_EQ(carrier.program.WaitForExit(kTimeoutMs), 0u) << "Enter presses the focused Quit";
    DestroyWindow(other);
}

// Enter held on "OK": the dialog opens on its release, so none of its repeats reaches the dialog
// or its overwrite question, each of which would take one for a press of its default button and
// save where the user chose nothing.
TEST(Keyboard, AHeldEnterOpensTheDialogOnItsReleaseAndSavesNothing) {
    for (bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "a file of the proposed name in the start folder" : "none");
        ScratchFolder folder("held");
        std::string proposed = folder.Path("Wendelkamm_28.pdf");
        if (existing)
            WriteWholeFile(proposed, "the user's file");
        RunningCarrier carrier(folder.path);
        ASSERT_NE(carrier.main, nullptr);
        ASSERT_TRUE(FocusReaches(carrier, kOkButton));
        ASSERT_TRUE(HoldKey(L"Return")) << "xdotool could not be started";
        HWND dialog = carrier.WaitForSaveDialog();
        ASSERT_NE(dialog, nullptr) << "the release opens the dialog";
        EXPECT_FALSE(WaitUntil(
            [&] { return ShownDialogs(carrier.program.pid) != std::vector<HWND>{dialog}; }, 1500))
            << "the dialog did not stay open alone for the user's choice";
        EXPECT_EQ(folder.FileNames(), existing ? std::vector<std::string>{"Wendelkamm_28.pdf"}
                                               : std::vector<std::string>{});
        if (existing) {
            EXPECT_TRUE(ReadWholeFile(proposed) == "the user's file") << "the user's file replaced";
        }
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(FocusReaches(carrier, kOkButton));
        EXPECT_EQ(carrier.Quit(), 0u);
    }
}

TEST(SaveDialog, ASecondOkBringsTheOneDialogToTheFrontAndSavesOnce) {
    ScratchFolder folder("twice");
    RunningCarrier carrier(folder.path);
    ASSERT_NE(carrier.main, nullptr);
    HWND dialog = carrier.OpenSaveDialog();
    ASSERT_NE(dialog, nullptr);
    // The dialog has no owner: the main window can come in front of it.
    SetForegroundWindow(carrier.main);
    WaitUntil([&] { return GetForegroundWindow() == carrier.main; }, kTimeoutMs);

    PostMessageA(carrier.Control(kOkButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(BecomesForeground(dialog)) << "the open dialog comes to the front";
    EXPECT_EQ(ShownDialogs(carrier.program.pid), std::vector<HWND>{dialog})
        << "exactly one Save dialog";

    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(SavedInto(folder));
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"Wendelkamm_28.pdf"});
    EXPECT_TRUE(IsWindow(carrier.main)) << "the program goes on after a save";
    EXPECT_FALSE(WaitUntil([&] { return !ShownDialogs(carrier.program.pid).empty(); }, 1000))
        << "no second dialog after the save";
    EXPECT_EQ(carrier.Quit(), 0u);
}

// Starts the exe in the folder, saves once through the Save dialog and quits.
void SaveOnceAndQuit(const ScratchFolder& folder, const std::string& exe) {
    RunningCarrier carrier(folder.path, folder.Path(exe));
    ASSERT_NE(carrier.main, nullptr);
    HWND dialog = carrier.OpenSaveDialog();
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(SavedInto(folder));
    EXPECT_EQ(carrier.Quit(), 0u);
}

// The planted DLLs that were loaded, each named once; their markers are removed.
std::vector<std::string> PlantedAndLoaded(const ScratchFolder& folder,
                                          const std::vector<std::string>& planted) {
    std::vector<std::string> loaded;
    for (const std::string& dll : planted)
        if (DeleteFileA((folder.Path(dll) + ".loaded").c_str()))
            loaded.push_back(dll);
    return loaded;
}

// DLLs planted beside the downloaded exe under the names of DLLs a program loads (Wine prefers
// native ones of these names for this test) are never loaded: not as imports, which name only
// known system DLLs, nor by the system's own libraries, since the entry limits the search to
// System32 before anything else. Where Windows cannot limit it (7 without KB2533623, played by a
// variant whose binding seam withholds SetDefaultDllDirectories), the libraries the program loads
// itself still come from System32 by their full path, the common controls from the manifest's
// assembly; what the system's libraries load by name is beyond its reach there. A probe that leaves
// the search as it is shows that the test would see a planted DLL being loaded.
TEST(MainWindow, DllsPlantedBesideTheProgramAreNeverLoaded) {
    const std::vector<std::string> planted = {"riched20.dll", "uxtheme.dll", "comctl32.dll",
                                              "comdlg32.dll"};
    std::string built = BuiltProgramPath("");
    std::string source = built + "..\\planted\\";
    ScratchFolder folder("planted");
    for (const std::string& dll : planted)
        ASSERT_TRUE(CopyFileA((source + dll).c_str(), folder.Path(dll).c_str(), FALSE)) << dll;
    for (const char* exe : {"carrier.exe", "carrier_on_windows7.exe"})
        ASSERT_TRUE(CopyFileA((built + exe).c_str(), folder.Path(exe).c_str(), FALSE)) << exe;
    // A downloaded carrier's mark, which Wine keeps as a file of this literal name: the carrier
    // must neither take it for its mark nor write one beside the document.
    WriteWholeFile(folder.Path("carrier.exe:Zone.Identifier"), "[ZoneTransfer]\r\nZoneId=3\r\n");
    ASSERT_TRUE(CopyFileA((source + "plant_probe.exe").c_str(),
                          folder.Path("plant_probe.exe").c_str(), FALSE));

    Program probe;
    ASSERT_TRUE(Launch(probe, folder.Path("plant_probe.exe"), "", folder.path));
    EXPECT_EQ(probe.WaitForExit(kTimeoutMs), 0u);
    ASSERT_EQ(PlantedAndLoaded(folder, {"riched20.dll"}), std::vector<std::string>{"riched20.dll"})
        << "the probe did not load the planted riched20.dll: Wine does not prefer native DLLs "
           "here, and the test could not see a planted DLL either";

    std::vector<std::string> before = folder.FileNames();
    SaveOnceAndQuit(folder, "carrier.exe");
    EXPECT_EQ(PlantedAndLoaded(folder, planted), std::vector<std::string>{});
    before.push_back("Wendelkamm_28.pdf");
    std::sort(before.begin(), before.end());
    EXPECT_EQ(folder.FileNames(), before) << "a file beside the document";
    ASSERT_TRUE(DeleteFileA(folder.Path("Wendelkamm_28.pdf").c_str()));

    // The system's own loads by name there would take these two.
    for (const char* dll : {"uxtheme.dll", "riched20.dll"})
        ASSERT_TRUE(DeleteFileA(folder.Path(dll).c_str())) << dll;
    SaveOnceAndQuit(folder, "carrier_on_windows7.exe");
    EXPECT_EQ(PlantedAndLoaded(folder, {"comctl32.dll", "comdlg32.dll"}),
              std::vector<std::string>{})
        << "a library the program loads itself came from beside it";
}

} // namespace
