// The save flow driven as a user drives it: the real Save dialog, typed names, the overwrite
// question, and the file compared byte for byte with the document.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "support/driver.h"
#include "support/scratch_folder.h"
#include "support/test_paths.h"

namespace {

// MAX_PATH less the terminating NUL.
constexpr size_t kMaxPathChars = MAX_PATH - 1;
// A folder name the system's ANSI code page (1252) cannot spell: Russian "Документы", in UTF-8.
constexpr char kDokumenty[] =
    "\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82\xD1\x8B";

const std::string& Document() {
    static const std::string document = ReadWholeFile(CARRIER_DOCUMENT_WINDOWS_PATH);
    return document;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Utf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The save flow host: the program's start-up without its window, then N saves.
struct SaveSession : Program {
    SaveSession(int saves, const std::string& folder) {
        EXPECT_TRUE(Launch(*this, BuiltProgramPath("save_flow_host.exe"),
                           "saves " + std::to_string(saves), folder));
    }
    HWND WaitForDialog() const { return WaitForSaveDialog(pid); }
    HWND WaitForBoxWith(int button) const { return WaitForMessageBox(pid, kTimeoutMs, button); }
};

// A folder under the scratch folder whose path has exactly the given length.
std::string DeepFolder(const std::string& scratch, size_t length) {
    std::string deep = scratch;
    while (deep.size() < length - 40)
        CreateDirectoryA((deep += "\\abcdefghij").c_str(), nullptr);
    deep += "\\" + std::string(length - deep.size() - 1, 'y');
    EXPECT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    EXPECT_EQ(deep.size(), length);
    return deep;
}

// Another program's hold on a file as an indexer, a sync client or a scanner takes it right
// after the file changed: read access, read sharing only. A thread of this driver lets go of it
// after the given time.
struct HeldFile {
    HeldFile(const std::string& path, DWORD milliseconds) : milliseconds(milliseconds) {
        handle = CreateFileW(Utf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
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

// Every way a save lands: the document byte for byte under the name chosen, nothing beside it, the
// hidden attribute of a replaced file kept, another program's brief hold waited out.
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
        // Attributes of a longer file there before (0: none), whether the path is the longest, and
        // how long another program holds the file from the answer on.
        DWORD existing;
        bool longest;
        DWORD holdMs;
    };
    const Case cases[] = {
        {"a new path in the current directory", nullptr, "Wendelkamm_28.pdf", 0, false, 0},
        {"a longer existing file, after the question", "old.pdf", "old.pdf", FILE_ATTRIBUTE_NORMAL,
         false, 0},
        {"a name without extension gets .pdf", "Band28", "Band28.pdf", 0, false, 0},
        {"a path of MAX_PATH less its NUL, the longest the dialog takes", "Wendelkamm_28.pdf",
         "Wendelkamm_28.pdf", 0, true, 0},
        {"a hidden file stays hidden", "e.pdf", "e.pdf", FILE_ATTRIBUTE_HIDDEN, false, 0},
        {"a brief hold is waited out", "h.pdf", "h.pdf", FILE_ATTRIBUTE_NORMAL, false, 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch("saved");
        std::string folder = c.typed == nullptr ? kept
                             : c.longest
                                 ? DeepFolder(scratch.path, kMaxPathChars - strlen(c.saved) - 1)
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
            // Taken at the answer, so that the save meets it.
            std::optional<HeldFile> hold;
            if (c.holdMs != 0)
                hold.emplace(target, c.holdMs);
            PostMessageA(question, WM_COMMAND, IDYES, 0);
        }
        ASSERT_EQ(session.WaitForExit(kTimeoutMs), 0u) << "10 + n: save n kept its block";
        EXPECT_TRUE(ReadWholeFile(target) == Document()) << "not the document's bytes";
        EXPECT_EQ(ScratchFolderNames(folder), std::vector<std::string>{c.saved});
        EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN,
                  c.existing & FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Started in a current directory too long for the dialog's buffer, the dialog opens all the same;
// a cancel writes nothing, and the next opening starts with an empty name.
TEST(SaveFlow, CancelWritesNothingAndTheNextOpeningStartsEmpty) {
    ScratchFolder folder("cancel");
    std::string deep = DeepFolder(folder.path, 255);
    SaveSession session(2, deep);
    HWND first = session.WaitForDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DialogItemText(first, kFileNameFieldId), "Wendelkamm_28.pdf");
    PostMessageA(first, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }, kTimeoutMs));

    HWND second = session.WaitForDialog();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(DialogItemText(second, kFileNameFieldId), "");
    EXPECT_EQ(ShownDialogs(session.pid), std::vector<HWND>{second}) << "a cancel shows no message";
    PostMessageA(second, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(session.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(ScratchFolderNames(deep).empty());
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
    EnterName(first, chosen + "\\first.pdf");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }, kTimeoutMs));
    HWND second = session.WaitForDialog();
    ASSERT_NE(second, nullptr);
    EnterName(second, "second.pdf");
    EXPECT_EQ(session.WaitForExit(kTimeoutMs), 0u) << "7: the current directory moved";
    EXPECT_EQ(ScratchFolderNames(chosen), (std::vector<std::string>{"first.pdf", "second.pdf"}));
    EXPECT_EQ(start.FileNames(), std::vector<std::string>{"chosen"});
}

// Folders named in scripts the system's ANSI code page (here 1252) cannot spell: the dialog opens
// in the folder and the document lands there, not in a look-alike beside it that the code page's
// best fit would name ("Yildiz" for "Yıldız"), nor nowhere ("?????").
TEST(SaveFlow, FoldersNamedInAnyScriptGetTheDocumentWhereverTheCodePageFallsShort) {
    ASSERT_EQ(GetACP(), 1252u) << "the tests run under C.UTF-8";
    struct Row {
        const char* folder;
        const char* lookAlike;
    };
    // UTF-8, spelled as escapes: Turkish "Yıldız", Chinese "文档".
    const char yildiz[] = "Y\xC4\xB1ld\xC4\xB1z";
    const char wendang[] = "\xE6\x96\x87\xE6\xA1\xA3";
    const Row rows[] = {{yildiz, "Yildiz"}, {kDokumenty, nullptr}, {wendang, nullptr}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        ScratchFolder parent("scripts");
        std::string folder = parent.Path(row.folder);
        ASSERT_TRUE(CreateDirectoryW(Utf16(folder).c_str(), nullptr));
        if (row.lookAlike != nullptr) {
            ASSERT_TRUE(CreateDirectoryW(Utf16(parent.Path(row.lookAlike)).c_str(), nullptr));
        }
        SaveSession session(1, folder);
        HWND dialog = session.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        ASSERT_EQ(session.WaitForExit(kTimeoutMs), 0u);
        EXPECT_TRUE(ReadWholeFile(folder + "\\Wendelkamm_28.pdf") == Document())
            << "not saved into the folder picked";
        if (row.lookAlike != nullptr) {
            EXPECT_TRUE(ScratchFolderNames(parent.Path(row.lookAlike)).empty())
                << "saved into the look-alike folder";
        }
        EXPECT_EQ(ScratchFolderNames(folder), std::vector<std::string>{"Wendelkamm_28.pdf"});
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

// A failed save of existing.pdf in the folder: the user is told, the existing target stays,
// nothing else is left, and the program goes on to a second save. Gives the milliseconds from
// the answer "Yes" to the report.
DWORD ExpectFailedSaveIsReportedAndHarmless(const std::string& folder) {
    std::string target = folder + "\\existing.pdf";
    std::string before = ReadWholeFile(target);
    SaveSession session(2, folder);
    DWORD answered = 0;
    EXPECT_TRUE(SaveOver(session.pid, "existing.pdf", &answered));

    HWND report = session.WaitForBoxWith(IDOK);
    DWORD reportedAfter = GetTickCount() - answered;
    EXPECT_NE(report, nullptr) << "the failure was not reported";
    if (report == nullptr)
        return 0;
    EXPECT_EQ(WindowText(report), "Wendelkamm28");
    std::wstring text = DialogItemTextW(report, kMessageBoxTextId);
    SCOPED_TRACE(Utf8(text.c_str()));
    EXPECT_EQ(text.rfind(From1252(kNotSaved), 0), 0u);
    std::wstring named = L"\r\n" + Utf16(target) + L"\r\n";
    EXPECT_NE(text.find(named), std::wstring::npos) << "the path is named as it is";
    EXPECT_GT(text.size(), sizeof kNotSaved + named.size() + 2) << "a reason follows";
    PostMessageA(report, WM_COMMAND, IDOK, 0);

    HWND again = session.WaitForDialog();
    EXPECT_NE(again, nullptr) << "the program did not go on; exit code " << session.WaitForExit(0);
    EXPECT_EQ(ReadWholeFile(target), before) << "the existing target changed";
    PostMessageA(again, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(session.WaitForExit(kTimeoutMs), 0u);
    return reportedAfter;
}

// Saves that fail: each is reported, leaves the target as it was and nothing beside it, and the
// program goes on. A read-only file is no brief hold and is refused at once; another program's
// hold is waited out first.
TEST(SaveFailure, IsReportedAndLeavesTheTargetAsItWas) {
    // How long a save waits out a hold before it gives up: the sum of its waits between tries.
    constexpr DWORD kHoldWaitedOutMs = 2520;
    struct Case {
        const char* what;
        // A folder of tests/e2e/fault_folders.sh, or null: the target is made in a folder named in
        // a script the code page cannot spell.
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
            c.faultFolder != nullptr ? faults + "\\" + c.faultFolder : scratch.Path(kDokumenty);
        std::string target = folder + "\\existing.pdf";
        if (c.faultFolder == nullptr) {
            CreateDirectoryW(Utf16(folder).c_str(), nullptr);
            WriteWholeFile(target, "the existing target");
            SetFileAttributesW(Utf16(target).c_str(), c.attributes);
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
            SetFileAttributesW(Utf16(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (!mounted)
        GTEST_SKIP() << "the rows of a read-only folder and a full disk need root to mount the "
                        "tmpfs folders of tests/e2e/fault_folders.sh; the others passed";
}

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
        ASSERT_TRUE(SaveOver(session.pid, "existing.pdf"));
        // Killed while the staging file is being written, as a crash or a power cut would.
        WaitUntil(
            [&] {
                caught = folder.FileNames().size() > 1 && TerminateProcess(session.process, 99);
                return caught || session.WaitForExit(0) != static_cast<DWORD>(STILL_ACTIVE);
            },
            10000, 0);
        session.WaitForExit(kTimeoutMs);
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
    ASSERT_TRUE(SaveOver(next.pid, "existing.pdf"));
    EXPECT_EQ(next.WaitForExit(kTimeoutMs), 0u);
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
    ASSERT_TRUE(SaveOver(session.pid, "existing.pdf"));
    EXPECT_EQ(session.WaitForExit(kTimeoutMs), 0u);
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
        EnterName(dialog, "target\\new.pdf");
        // The dialog has accepted the path; the folder goes before the document is written.
        WaitUntil([&] { return !IsWindow(dialog); }, kTimeoutMs, 0);
        removed = RemoveDirectoryA(folder.c_str()) != 0;
        if (!removed) {
            session.WaitForExit(kTimeoutMs);
            continue;
        }
        HWND report = session.WaitForBoxWith(IDOK);
        ASSERT_NE(report, nullptr) << "the failure was not reported";
        EXPECT_EQ(DialogItemText(report, kMessageBoxTextId).rfind(kNotSaved, 0), 0u);
        PostMessageA(report, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(session.WaitForExit(kTimeoutMs), 0u);
        EXPECT_FALSE(Exists(folder)) << "nothing was made in its place";
    }
    EXPECT_TRUE(removed) << "the write always came first";
}

TEST(SaveFaults, FiftySavesInARowLeakNeitherHandlesNorMemory) {
    ScratchFolder folder("fifty");
    WriteWholeFile(folder.Path("existing.pdf"), "the existing target");
    SaveSession session(50, folder.path);
    for (int save = 0; save < 50; ++save)
        ASSERT_TRUE(SaveOver(session.pid, "existing.pdf")) << "save " << save;
    // 8: handles leaked, 9: memory not given back, 10 + n: save n kept the document's block.
    EXPECT_EQ(session.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(ReadWholeFile(folder.Path("existing.pdf")) == Document());
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"existing.pdf"});
}

} // namespace
