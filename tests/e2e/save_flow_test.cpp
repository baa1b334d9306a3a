// The save flow driven as a user drives it: the real Save dialog, typed names, the overwrite
// question, and the file compared byte for byte with the document.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "support/driver.h"
#include "support/scratch_folder.h"
#include "support/test_paths.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;
// MAX_PATH less the terminating NUL.
constexpr size_t kMaxPathChars = MAX_PATH - 1;

const std::string& Document() {
    static const std::string document = ReadWholeFile(CARRIER_DOCUMENT_WINDOWS_PATH);
    return document;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Utf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The save flow host: the program's start-up without its window, then N saves.
struct SaveSession {
    SaveSession(int saves, const std::string& folder) {
        EXPECT_TRUE(Launch(program, BuiltProgramPath("save_flow_host.exe"),
                           "saves " + std::to_string(saves), folder));
    }

    HWND WaitForDialog() {
        return WaitForWindow(
            program.pid, kDialogClass,
            [](HWND window) {
                return WindowText(window) == kSaveDialogTitle && SaveDialogReady(window);
            },
            kTimeoutMs);
    }

    // A message box (not the Save dialog, whose caption the overwrite question shares) that
    // offers the given button.
    HWND WaitForBoxWith(int button) {
        return WaitForWindow(
            program.pid, kDialogClass,
            [button](HWND window) {
                return GetDlgItem(window, kFileNameFieldId) == nullptr &&
                       ShowsControl(window, button) &&
                       GetDlgItem(window, kMessageBoxTextId) != nullptr;
            },
            kTimeoutMs);
    }

    static void Type(HWND dialog, const std::string& name) {
        SetDlgItemTextA(dialog, kFileNameFieldId, name.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }

    static void Cancel(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

    bool ShowsAnyBox() const {
        for (HWND window : TopLevelWindows(program.pid, kDialogClass))
            if (IsWindowVisible(window) && GetDlgItem(window, kFileNameFieldId) == nullptr)
                return true;
        return false;
    }

    Program program;
};

// A folder in the scratch folder deep enough that the name makes a path of MAX_PATH less its NUL,
// the longest the dialog takes.
std::string FolderOfTheLongestPath(const std::string& scratch, const std::string& name) {
    std::string deep = scratch;
    while (deep.size() < 200)
        CreateDirectoryA((deep += "\\abcdefghij").c_str(), nullptr);
    deep += "\\" + std::string(kMaxPathChars - name.size() - 1 - deep.size() - 1, 'y');
    EXPECT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    EXPECT_EQ(deep.size() + 1 + name.size(), kMaxPathChars);
    return deep;
}

// Every way a save lands: the document byte for byte under the name chosen, nothing beside it, and
// the hidden attribute of a replaced file kept.
TEST(SaveFlow, TheDocumentLandsByteForByteUnderTheNameChosen) {
    // Kept after the run: the qpdf check reads it.
    const std::string kept = std::string(CARRIER_TEST_OUTPUT_WINDOWS_PATH) + "\\saved";
    RemoveTree(kept);
    CreateDirectoryA(kept.c_str(), nullptr);
    struct Case {
        const char* what;
        // What the user types (null: the proposed name as it stands) and the file it names.
        const char* typed;
        const char* saved;
        // Attributes of a longer file there before (0: none), and whether the path is the longest.
        DWORD existing;
        bool longest;
    };
    const Case cases[] = {
        {"a new path in the current directory", nullptr, "Wendelkamm_28.pdf", 0, false},
        {"a longer existing file, after the question", "old.pdf", "old.pdf", FILE_ATTRIBUTE_NORMAL,
         false},
        {"a name without extension gets .pdf", "Band28", "Band28.pdf", 0, false},
        {"a path of 259 characters", "Wendelkamm_28.pdf", "Wendelkamm_28.pdf", 0, true},
        {"a hidden file stays hidden", "e.pdf", "e.pdf", FILE_ATTRIBUTE_HIDDEN, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch("saved");
        std::string folder = c.typed == nullptr ? kept
                             : c.longest        ? FolderOfTheLongestPath(scratch.path, c.saved)
                                                : scratch.path;
        std::string target = folder + "\\" + c.saved;
        if (c.existing != 0) {
            WriteWholeFile(target, std::string(Document().size() + 4096, 'o'));
            SetFileAttributesA(target.c_str(), c.existing);
        }
        SaveSession session(1, folder);
        HWND dialog = session.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(DialogItemText(dialog, kFileNameFieldId), "Wendelkamm_28.pdf");
        EXPECT_EQ(DialogItemText(dialog, kFileTypeBoxId), "PDF-Dateien");
        if (c.typed != nullptr)
            SetDlgItemTextA(dialog, kFileNameFieldId, c.typed);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        if (c.existing != 0) {
            HWND question = session.WaitForBoxWith(IDYES);
            ASSERT_NE(question, nullptr) << "no question before replacing";
            PostMessageA(question, WM_COMMAND, IDYES, 0);
        }
        ASSERT_EQ(session.program.WaitForExit(kTimeoutMs), 0u) << "10 + n: save n kept its block";
        EXPECT_TRUE(ReadWholeFile(target) == Document()) << "not the document's bytes";
        EXPECT_EQ(ScratchFolderNames(folder), std::vector<std::string>{c.saved});
        EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN,
                  c.existing & FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(SaveFlow, CancelWritesNothingAndTheNextOpeningStartsEmpty) {
    ScratchFolder folder("cancel");
    SaveSession session(2, folder.path);
    HWND first = session.WaitForDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DialogItemText(first, kFileNameFieldId), "Wendelkamm_28.pdf");
    SaveSession::Cancel(first);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }, kTimeoutMs));

    HWND second = session.WaitForDialog();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(DialogItemText(second, kFileNameFieldId), "");
    EXPECT_FALSE(session.ShowsAnyBox()) << "a cancel shows no message";
    SaveSession::Cancel(second);
    EXPECT_EQ(session.program.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(folder.FileNames().empty());
}

// The chosen folder is never left as the current directory, which would hold it open (a stick
// could not be removed); the next dialog opens there all the same.
TEST(SaveFlow, TheNextDialogOpensWhereTheLastSaveWentWithoutHoldingTheFolder) {
    ScratchFolder start("start");
    std::string chosen = start.Path("chosen");
    ASSERT_TRUE(CreateDirectoryA(chosen.c_str(), nullptr));
    SaveSession session(2, start.path);
    HWND first = session.WaitForDialog();
    ASSERT_NE(first, nullptr);
    SaveSession::Type(first, chosen + "\\first.pdf");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }, kTimeoutMs));
    HWND second = session.WaitForDialog();
    ASSERT_NE(second, nullptr);
    SaveSession::Type(second, "second.pdf");
    EXPECT_EQ(session.program.WaitForExit(kTimeoutMs), 0u) << "7: the current directory moved";
    EXPECT_EQ(ScratchFolderNames(chosen), (std::vector<std::string>{"first.pdf", "second.pdf"}));
    EXPECT_EQ(start.FileNames(), std::vector<std::string>{"chosen"});
}

TEST(SaveFlow, CurrentDirectoryTooLongForTheBufferStillOpensTheDialog) {
    ScratchFolder folder("deep");
    std::string deep = folder.path;
    while (deep.size() < 240)
        CreateDirectoryA((deep += "\\abcdefghij").c_str(), nullptr);
    deep += "\\" + std::string(255 - deep.size() - 1, 'x');
    ASSERT_EQ(deep.size(), 255u);
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));

    SaveSession session(1, deep);
    HWND dialog = session.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    SaveSession::Cancel(dialog);
    EXPECT_EQ(session.program.WaitForExit(kTimeoutMs), 0u);
}

// Folders named in scripts the system's ANSI code page (here 1252) cannot spell: the dialog opens
// in the folder and the document lands there, not in a look-alike beside it that the code page's
// best fit would name ("Yildiz" for "Yıldız"), nor nowhere ("?????"). A failure names the path as
// it is.
TEST(SaveFlow, FoldersNamedInAnyScriptGetTheDocumentWhereverTheCodePageFallsShort) {
    ASSERT_EQ(GetACP(), 1252u) << "the tests run under C.UTF-8";
    struct Row {
        const char* folder;
        const char* lookAlike;
        bool readOnlyTarget;
    };
    // UTF-8, spelled as escapes: Turkish "Yıldız", Russian "Документы", Chinese "文档".
    const char yildiz[] = "Y\xC4\xB1ld\xC4\xB1z";
    const char dokumenty[] =
        "\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82\xD1\x8B";
    const char wendang[] = "\xE6\x96\x87\xE6\xA1\xA3";
    const Row rows[] = {
        {yildiz, "Yildiz", false},
        {dokumenty, nullptr, false},
        {wendang, nullptr, false},
        {dokumenty, nullptr, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        ScratchFolder parent("scripts");
        std::string folder = parent.Path(row.folder);
        ASSERT_TRUE(CreateDirectoryW(Utf16(folder).c_str(), nullptr));
        if (row.lookAlike != nullptr) {
            ASSERT_TRUE(CreateDirectoryW(Utf16(parent.Path(row.lookAlike)).c_str(), nullptr));
        }
        std::string target = folder + "\\Wendelkamm_28.pdf";
        if (row.readOnlyTarget) {
            WriteWholeFile(target, "the target");
            SetFileAttributesW(Utf16(target).c_str(), FILE_ATTRIBUTE_READONLY);
        }
        SaveSession session(1, folder);
        HWND dialog = session.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        if (row.readOnlyTarget) {
            HWND question = session.WaitForBoxWith(IDYES);
            ASSERT_NE(question, nullptr);
            PostMessageA(question, WM_COMMAND, IDYES, 0);
            HWND report = session.WaitForBoxWith(IDOK);
            ASSERT_NE(report, nullptr) << "the failure was not reported";
            std::wstring text = DialogItemTextW(report, kMessageBoxTextId);
            EXPECT_NE(text.find(L"\r\n" + Utf16(target) + L"\r\n"), std::wstring::npos)
                << "the path is named as it is";
            PostMessageA(report, WM_COMMAND, IDOK, 0);
        }
        ASSERT_EQ(session.program.WaitForExit(kTimeoutMs), 0u);
        std::string saved = ReadWholeFile(target);
        EXPECT_TRUE(row.readOnlyTarget ? saved == "the target" : saved == Document())
            << "not saved into the folder picked";
        if (row.lookAlike != nullptr) {
            EXPECT_TRUE(ScratchFolderNames(parent.Path(row.lookAlike)).empty())
                << "saved into the look-alike folder";
        }
        EXPECT_EQ(ScratchFolderNames(folder), std::vector<std::string>{"Wendelkamm_28.pdf"});
        SetFileAttributesW(Utf16(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Wine's dialog crashes on a typed name longer than its buffer, so the failure is made by a
// record that the dialog refuses (CDERR_STRUCTSIZE).
TEST(SaveFailure, DialogFailureIsReportedLikeAFailedWrite) {
    ScratchFolder folder("broken");
    Program program;
    ASSERT_TRUE(Launch(program, BuiltProgramPath("save_flow_host.exe"), "broken", folder.path));
    HWND report = WaitForMessageBox(program.pid, kTimeoutMs);
    ASSERT_NE(report, nullptr) << "the dialog failure was not reported";
    std::string text = DialogItemText(report, kMessageBoxTextId);
    EXPECT_EQ(text.rfind(kNotSaved, 0), 0u) << text;
    EXPECT_NE(text.find("0x0001"), std::string::npos) << "the dialog's error code: " << text;
    PostMessageA(report, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(folder.FileNames().empty());
}

// Saves over existing.pdf, typed as a name in the folder the dialog shows (it asks before
// replacing); waits until dialog and question are gone, so that the next opening is not
// mistaken for this one. The tick count of the answer "Yes" goes to answered, where given.
void SaveOverExisting(SaveSession& session, DWORD* answered = nullptr) {
    HWND dialog = session.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    SaveSession::Type(dialog, "existing.pdf");
    HWND question = session.WaitForBoxWith(IDYES);
    ASSERT_NE(question, nullptr);
    if (answered != nullptr)
        *answered = GetTickCount();
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && !IsWindow(question); }, kTimeoutMs));
}

// A failed save of existing.pdf in the folder: the user is told, the existing target stays,
// nothing else is left, and the program goes on to a second save. Gives the milliseconds from
// the answer "Yes" to the report.
DWORD ExpectFailedSaveIsReportedAndHarmless(const std::string& folder) {
    std::string target = folder + "\\existing.pdf";
    std::string before = ReadWholeFile(target);
    SaveSession session(2, folder);
    DWORD answered = 0;
    SaveOverExisting(session, &answered);
    if (testing::Test::HasFatalFailure())
        return 0;

    HWND report = session.WaitForBoxWith(IDOK);
    DWORD reportedAfter = GetTickCount() - answered;
    EXPECT_NE(report, nullptr) << "the failure was not reported";
    if (report == nullptr)
        return 0;
    EXPECT_EQ(WindowText(report), "Wendelkamm28");
    std::string text = DialogItemText(report, kMessageBoxTextId);
    EXPECT_EQ(text.rfind(kNotSaved, 0), 0u) << text;
    EXPECT_NE(text.find(target), std::string::npos) << "the path is named: " << text;
    EXPECT_GT(text.size(), sizeof kNotSaved + target.size() + 4) << "a reason follows: " << text;
    PostMessageA(report, WM_COMMAND, IDOK, 0);

    HWND again = session.WaitForDialog();
    EXPECT_NE(again, nullptr) << "the program did not go on; exit code "
                              << session.program.WaitForExit(0);
    EXPECT_EQ(ReadWholeFile(target), before) << "the existing target changed";
    SaveSession::Cancel(again);
    EXPECT_EQ(session.program.WaitForExit(kTimeoutMs), 0u);
    return reportedAfter;
}

// Another program's hold on a file as an indexer, a sync client or a scanner takes it right
// after the file changed: read access, read sharing only. A thread of this driver lets go of it
// after the given time.
struct HeldFile {
    HeldFile(const std::string& path, DWORD milliseconds) : milliseconds(milliseconds) {
        handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
        EXPECT_NE(handle, INVALID_HANDLE_VALUE) << path;
        releaser = CreateThread(nullptr, 0, Release, this, 0, nullptr);
    }
    ~HeldFile() {
        WaitForSingleObject(releaser, INFINITE);
        CloseHandle(releaser);
    }
    static DWORD WINAPI Release(void* held) {
        auto* self = static_cast<HeldFile*>(held);
        Sleep(self->milliseconds);
        CloseHandle(self->handle);
        return 0;
    }
    bool StillHeld() const { return WaitForSingleObject(releaser, 0) == WAIT_TIMEOUT; }

    HANDLE handle;
    HANDLE releaser;
    DWORD milliseconds;
};

// Saves that fail: each is reported, leaves the target as it was and nothing beside it, and the
// program goes on. A read-only file is no brief hold and is refused at once; another program's
// hold is waited out first.
TEST(SaveFailure, IsReportedAndLeavesTheTargetAsItWas) {
    // How long a save waits out a hold before it gives up: the sum of its waits between tries.
    constexpr DWORD kHoldWaitedOutMs = 2520;
    struct Case {
        const char* what;
        // A folder of tests/e2e/fault_folders.sh, or null: the target is made in a scratch folder.
        const char* faultFolder;
        DWORD attributes;
        DWORD holdMs;
    };
    const Case cases[] = {
        {"a read-only folder", "readonly", 0, 0},
        {"a full disk", "full", 0, 0},
        {"a read-only target, refused at once", nullptr, FILE_ATTRIBUTE_READONLY, 0},
        {"a target another program holds", nullptr, FILE_ATTRIBUTE_NORMAL, 12000},
    };
    const std::string faults = std::string(CARRIER_TEST_OUTPUT_WINDOWS_PATH) + "\\faults";
    const bool mounted = Exists(faults + "\\mounted");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.faultFolder != nullptr && !mounted)
            continue;
        ScratchFolder scratch("failed");
        std::string folder =
            c.faultFolder != nullptr ? faults + "\\" + c.faultFolder : scratch.path;
        std::string target = folder + "\\existing.pdf";
        if (c.faultFolder == nullptr) {
            WriteWholeFile(target, "the existing target");
            SetFileAttributesA(target.c_str(), c.attributes);
        }
        std::optional<HeldFile> hold;
        if (c.holdMs != 0)
            hold.emplace(target, c.holdMs);
        DWORD reportedAfter = ExpectFailedSaveIsReportedAndHarmless(folder);
        if (hold) {
            EXPECT_GE(reportedAfter, kHoldWaitedOutMs) << "the hold was not waited for";
            EXPECT_TRUE(hold->StillHeld())
                << "reported " << reportedAfter << " ms after the answer";
        } else if (c.faultFolder == nullptr) {
            EXPECT_LT(reportedAfter, kHoldWaitedOutMs) << "nothing is retried";
        }
        EXPECT_EQ(ScratchFolderNames(folder), std::vector<std::string>{"existing.pdf"});
        if (c.faultFolder == nullptr)
            SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (!mounted)
        GTEST_SKIP() << "the rows of a read-only folder and a full disk need root to mount the "
                        "tmpfs folders of tests/e2e/fault_folders.sh; the others passed";
}

TEST(SaveFlow, BriefHoldOnTheTargetIsWaitedOut) {
    ScratchFolder folder("briefhold");
    std::string target = folder.Path("existing.pdf");
    WriteWholeFile(target, "the existing target");
    SaveSession session(1, folder.path);
    HWND dialog = session.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    SaveSession::Type(dialog, "existing.pdf");
    HWND question = session.WaitForBoxWith(IDYES);
    ASSERT_NE(question, nullptr);
    // Taken at the answer, so that the save meets it.
    HeldFile hold(target, 1500);
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    ASSERT_EQ(session.program.WaitForExit(kTimeoutMs), 0u) << "not saved: a box waits for OK";
    EXPECT_TRUE(ReadWholeFile(target) == Document()) << "not saved after the hold ended";
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"existing.pdf"});
}

} // namespace

namespace {

// Sets a file's last write back by the given minutes, as if it had been left that long ago.
void AgeFile(const std::string& path, int minutes) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks = {{now.dwLowDateTime, now.dwHighDateTime}};
    ticks.QuadPart -= static_cast<ULONGLONG>(minutes) * 60 * 10000000;
    FILETIME then = {ticks.LowPart, ticks.HighPart};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &then));
    CloseHandle(file);
}

TEST(SaveFaults, KilledMidSaveLeavesTheTargetAndTheNextSaveCleansUp) {
    ScratchFolder folder("killed");
    std::string target = folder.Path("existing.pdf");
    bool caught = false;
    for (int attempt = 0; attempt < 8 && !caught; ++attempt) {
        WriteWholeFile(target, "the existing target");
        SaveSession session(1, folder.path);
        SaveOverExisting(session);
        // Killed while the staging file is being written, as a crash or a power cut would.
        WaitUntil(
            [&] {
                caught =
                    folder.FileNames().size() > 1 && TerminateProcess(session.program.process, 99);
                return caught || session.program.WaitForExit(0) != static_cast<DWORD>(STILL_ACTIVE);
            },
            10000, 0);
        session.program.WaitForExit(kTimeoutMs);
        EXPECT_TRUE(caught || ReadWholeFile(target) == Document());
    }
    ASSERT_TRUE(caught) << "never caught the save half-way";
    EXPECT_EQ(ReadWholeFile(target), "the existing target") << "a killed save changed the target";
    std::vector<std::string> names = folder.FileNames();
    ASSERT_EQ(names.size(), 2u) << "one staging file is left";
    std::string leftover = names[0] == "existing.pdf" ? names[1] : names[0];
    EXPECT_TRUE(IsOwnFileName(leftover, kStagingSuffix)) << leftover;

    // Younger than a minute it might be a save still running; the next save, a minute on,
    // removes it.
    AgeFile(folder.Path(leftover), 2);
    SaveSession next(1, folder.path);
    SaveOverExisting(next);
    EXPECT_EQ(next.program.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(ReadWholeFile(target) == Document());
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"existing.pdf"})
        << "the next save left the staging file behind";
}

TEST(SaveFaults, TheUsersFilesBesideTheTargetSurviveASave) {
    ScratchFolder folder("neighbours");
    std::string target = folder.Path("existing.pdf");
    WriteWholeFile(target, "the existing target");
    struct UserFile {
        std::string name;
        const char* bytes;
        DWORD attributes;
        int ageMinutes;
    };
    // Own name 0 is the first a save tries; the old one has the shape of a leftover but is
    // read-only, so it is not the program's; a young writable one may be another save's, still
    // running. The save then stages in own name 3 and first tries 4 for the backup: the user's
    // files of that shape are passed over, not overwritten or removed. Lower-case hex is not the
    // program's shape.
    std::string otherShape = OwnFileName(0xA2, kStagingSuffix);
    std::transform(otherShape.begin(), otherShape.end(), otherShape.begin(), ::tolower);
    const UserFile users[] = {
        {"existing.pdf.partial", "the user's own .partial file", FILE_ATTRIBUTE_NORMAL, 0},
        {OwnFileName(0, kStagingSuffix), "the user's file of the staging shape",
         FILE_ATTRIBUTE_READONLY, 0},
        {OwnFileName(1, kStagingSuffix), "an old read-only file of that shape",
         FILE_ATTRIBUTE_READONLY, 5},
        {OwnFileName(2, kStagingSuffix), "another save's, still running", FILE_ATTRIBUTE_NORMAL, 0},
        {otherShape, "an old file of another shape", FILE_ATTRIBUTE_NORMAL, 5},
        {OwnFileName(0, kBackupSuffix), "the user's file of the backup shape",
         FILE_ATTRIBUTE_NORMAL, 5},
        {OwnFileName(4, kBackupSuffix), "the user's file of the first backup name",
         FILE_ATTRIBUTE_NORMAL, 0},
    };
    for (const UserFile& user : users) {
        WriteWholeFile(folder.Path(user.name), user.bytes);
        if (user.ageMinutes > 0)
            AgeFile(folder.Path(user.name), user.ageMinutes);
        SetFileAttributesA(folder.Path(user.name).c_str(), user.attributes);
    }
    SaveSession session(1, folder.path);
    SaveOverExisting(session);
    EXPECT_EQ(session.program.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(ReadWholeFile(target) == Document()) << "the save did not succeed";
    for (const UserFile& user : users) {
        EXPECT_EQ(ReadWholeFile(folder.Path(user.name)), user.bytes) << user.name;
        EXPECT_EQ(GetFileAttributesA(folder.Path(user.name).c_str()) & FILE_ATTRIBUTE_READONLY,
                  user.attributes & FILE_ATTRIBUTE_READONLY)
            << user.name;
        SetFileAttributesA(folder.Path(user.name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::vector<std::string> expected = {"existing.pdf"};
    for (const UserFile& user : users)
        expected.push_back(user.name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.FileNames(), expected);
}

TEST(SaveFaults, FolderRemovedBetweenTheDialogAndTheWriteIsReported) {
    ScratchFolder parent("removed");
    std::string folder = parent.Path("target");
    bool removed = false;
    for (int attempt = 0; attempt < 8 && !removed; ++attempt) {
        RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        // Started in the parent: a process's current folder cannot be removed.
        SaveSession session(1, parent.path);
        HWND dialog = session.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        SaveSession::Type(dialog, "target\\new.pdf");
        // The dialog has accepted the path; the folder goes before the document is written.
        WaitUntil([&] { return !IsWindow(dialog); }, kTimeoutMs, 0);
        removed = RemoveDirectoryA(folder.c_str()) != 0;
        if (!removed) {
            session.program.WaitForExit(kTimeoutMs);
            continue;
        }
        HWND report = session.WaitForBoxWith(IDOK);
        ASSERT_NE(report, nullptr) << "the failure was not reported";
        EXPECT_EQ(DialogItemText(report, kMessageBoxTextId).rfind(kNotSaved, 0), 0u);
        PostMessageA(report, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(session.program.WaitForExit(kTimeoutMs), 0u);
        EXPECT_FALSE(Exists(folder)) << "nothing was made in its place";
    }
    EXPECT_TRUE(removed) << "the write always came first";
}

TEST(SaveFaults, FiftySavesInARowLeakNeitherHandlesNorMemory) {
    ScratchFolder folder("fifty");
    WriteWholeFile(folder.Path("existing.pdf"), "the existing target");
    SaveSession session(50, folder.path);
    for (int save = 0; save < 50; ++save) {
        SaveOverExisting(session);
        if (testing::Test::HasFatalFailure())
            return;
    }
    // 8: handles leaked, 9: memory not given back, 10 + n: save n kept the document's block.
    EXPECT_EQ(session.program.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(ReadWholeFile(folder.Path("existing.pdf")) == Document());
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"existing.pdf"});
}

} // namespace
