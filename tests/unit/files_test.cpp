// The embedded document, whole-file writes and file variables, on real files under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "core/files.h"
#include "core/resources.h"
#include "resource_ids.h"
#include "support/driver.h"
#include "support/scratch_folder.h"
#include "support/scripted_file_system.h"
#include "support/test_paths.h"

namespace {

constexpr int32_t kDocumentSize = 27642791;

// The mark's stream is on a staging file in the folder.
void ExpectMarkOnAStagingFile(const std::wstring& streamPath, const std::string& folder) {
    std::string stream = Utf8(streamPath.c_str());
    std::string name = stream.substr(folder.size() + 1, kOwnFileNameLength);
    EXPECT_EQ(stream, folder + "\\" + name + ":Zone.Identifier");
    EXPECT_TRUE(IsOwnFileName(name, kStagingSuffix)) << stream;
}

class Files : public testing::Test {
  protected:
    void TearDown() override {
        for (StringVariable* var : {&var, &other})
            if (var->block != nullptr)
                BlockRelease(var->block);
    }
    void Hold(const std::string& bytes) {
        StrReset(var, kDefaultSizeHint);
        StrAssign(var, bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    ScratchFolder folder{"files"};
    StringVariable var = {};
    StringVariable other = {};
};

// Either load gives the document whole; the summed one also its CRC-32, which is the one the build
// recorded and the exe carries.
TEST_F(Files, ResourceLoadsCopyTheDocumentUnchangedAndTheSumIsTheBuildsRecord) {
    const std::string document = ReadWholeFile(CARRIER_DOCUMENT_WINDOWS_PATH);
    ASSERT_EQ(document.size(), static_cast<size_t>(kDocumentSize));
    StrReset(var, kDefaultSizeHint);
    ResourceLoad(var, DOCUMENT_RESOURCE);
    EXPECT_EQ(var.position, kDocumentSize);
    ResetScript();
    StrReset(other, kDefaultSizeHint);
    uint32_t crc = 0;
    ASSERT_EQ(ResourceReadSummed(other, DOCUMENT_RESOURCE, crc), 0u);
    for (const StringVariable* loaded : {&var, &other}) {
        ASSERT_EQ(loaded->length, kDocumentSize);
        EXPECT_EQ(loaded->text[kDocumentSize], 0);
        EXPECT_TRUE(document == std::string(loaded->text, loaded->length)) << "the bytes differ";
    }
    // The build's record, made by the host tools with zlib: size, then CRC-32, little-endian.
    std::string record = ReadWholeFile(CARRIER_DOCUMENT_SUM_WINDOWS_PATH);
    ASSERT_EQ(record.size(), 8u);
    uint32_t recorded[2];
    std::memcpy(recorded, record.data(), 8);
    EXPECT_EQ(recorded[0], static_cast<uint32_t>(kDocumentSize));
    EXPECT_EQ(crc, recorded[1]);
    TextView carried = ResourceBytes(DOCUMENT_CHECKSUM_RESOURCE);
    EXPECT_EQ(std::string(carried.text, carried.length), record) << "the record is carried";
    EXPECT_EQ(ResourceBytes("nosuchres").text, nullptr);
}

// The program's own file on a medium that went away: the read gives the system's error, wherever
// in the document it fails, and nothing faults.
TEST_F(Files, ResourceReadSummedGivesTheErrorOfAReadThatFails) {
    for (DWORD failsAt : {DWORD{0}, DWORD{kDocumentSize / 2}, DWORD{kDocumentSize - 1}}) {
        SCOPED_TRACE(failsAt);
        ResetScript();
        Script.programReadFailsAt = failsAt;
        Script.programReadError = ERROR_NOT_READY;
        StrReset(var, kDefaultSizeHint);
        uint32_t crc = 0;
        EXPECT_EQ(ResourceReadSummed(var, DOCUMENT_RESOURCE, crc),
                  static_cast<DWORD>(ERROR_NOT_READY));
        EXPECT_LE(Script.programBytesRead, failsAt);
    }
    ResetScript();
}

TEST_F(Files, ResourceLoadTakesTheEarlierTypeAndNamedTypes) {
    StrReset(var, kDefaultSizeHint);
    ResourceLoad(var, "twin");
    EXPECT_EQ(std::string(var.text, var.length), "bitmap-typed") << "bitmap comes before raw data";
    StrReset(var, kDefaultSizeHint);
    ResourceLoad(var, "OnlyWave");
    EXPECT_EQ(std::string(var.text, var.length), "wave-typed");
}

TEST_F(Files, WriteAllReplacesALongerFileKeepsNulBytesAndNeedsTheFolder) {
    std::string path = folder.Path("target.bin");
    WriteWholeFile(path, std::string(5000, 'o'));
    std::string bytes("a\0b\0\0c", 6);
    Hold(bytes);
    EXPECT_EQ(FileWriteAll(var, path.c_str()), 6u);
    EXPECT_EQ(LastFileError, 0u);
    EXPECT_EQ(ReadWholeFile(path), bytes) << "truncated to exactly the text, NULs included";

    std::string missing = folder.Path("no-such-folder\\target.bin");
    EXPECT_EQ(FileWriteAll(var, missing.c_str()), 0u);
    EXPECT_NE(LastFileError, 0u);
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Files, ReplaceDurablyLeavesALockedTargetAloneAndCleansUp) {
    std::string path = folder.Path("locked.pdf");
    WriteWholeFile(path, "old contents");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Hold("new contents that must not land");
    EXPECT_NE(FileReplaceDurably(var, Utf16(path).c_str()).error, 0u);
    CloseHandle(lock);
    EXPECT_EQ(ReadWholeFile(path), "old contents");
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"locked.pdf"}) << "no staging file left";
}

// What Windows can answer to the replace, the renames and the removals of a save, and what the
// save must leave for each: the old bytes or the document under the target's name, or, where the
// target cannot be put back, both under names the user is told; never a file of unknown name.
TEST_F(Files, ReplaceDurablyLeavesAWholeDocumentUnderAKnownNameWhateverWindowsAnswers) {
    enum Left { kSaved, kKept, kDisplaced };
    // The first operation's answer, given that many times, and a second's, where there is one.
    struct Case {
        const char* name;
        Left left;
        DWORD error;
        DWORD pausedMs;
        ScriptedOperation operation;
        DWORD answer;
        int times;
        ScriptedOperation thenOperation = kScriptReplace;
        DWORD thenAnswer = 0;
        int thenTimes = 0;
    };
    const DWORD k1175 = ERROR_UNABLE_TO_REMOVE_REPLACED, k1176 = ERROR_UNABLE_TO_MOVE_REPLACEMENT,
                k1177 = ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, kDenied = ERROR_ACCESS_DENIED,
                kShared = ERROR_SHARING_VIOLATION;
    const Case cases[] = {
        {"nothing in the way", kSaved, 0, 0, kScriptReplace, 0, 0},
        {"sharing violation once", kSaved, 0, 40, kScriptReplace, kShared, 1},
        {"in-use check held for a moment", kSaved, 0, 280, kScriptOpenToDelete, kShared, 3},
        {"1176 once", kSaved, 0, 40, kScriptReplace, k1176, 1},
        {"1175 while held", kKept, k1175, 2520, kScriptReplace, k1175, 7},
        {"1176 while held", kKept, k1176, 2520, kScriptReplace, k1176, 7},
        {"access denied for good", kKept, kDenied, 2520, kScriptReplace, kDenied, 50},
        {"in-use check denied for good", kKept, kDenied, 2520, kScriptOpenToDelete, kDenied, 50},
        {"the target's attributes held for a moment", kSaved, 0, 120, kScriptAttributes, kShared,
         2},
        {"the target's attributes denied for good", kKept, kDenied, 2520, kScriptAttributes,
         kDenied, 50},
        {"1177, the rename finishes", kSaved, 0, 0, kScriptReplace, k1177, 1},
        {"1177, the old file goes back", kKept, kDenied, 2520, kScriptReplace, k1177, 1,
         kScriptMove, kDenied, 7},
        {"1177, neither file can be renamed", kDisplaced, kDenied, 5040, kScriptReplace, k1177, 1,
         kScriptMove, kDenied, 50},
        {"not supported after moving the target, the rename fails", kKept, kDenied, 2520,
         kScriptReplace, ERROR_NOT_SUPPORTED | kAfterMovingTheTarget, 1, kScriptMove, kDenied, 7},
        {"the staging file cannot be removed", kKept, k1176, 5040, kScriptReplace, k1176, 7,
         kScriptDelete, kDenied, 50},
    };
    // Longer than the document: a replaced file keeps none of its tail.
    const std::string old(100000, 'o');
    const std::string document("the carried\0document", 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch("outcome");
        std::string path = scratch.Path("saved.pdf");
        WriteWholeFile(path, old);
        Hold(document);
        ResetScript();
        ScriptAnswer(c.operation, c.answer, c.times);
        ScriptAnswer(c.thenOperation, c.thenAnswer, c.thenTimes);
        ReplaceOutcome outcome = FileReplaceDurably(var, Utf16(path).c_str());
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_EQ(Script.pausedMs, c.pausedMs) << "the waits between tries";
        std::vector<std::string> names = scratch.FileNames();
        if (c.left == kDisplaced) {
            ASSERT_EQ(names.size(), 2u);
            EXPECT_EQ(ReadWholeFile(Utf8(outcome.leftoverStaging)), document)
                << "the document is named";
            EXPECT_EQ(ReadWholeFile(Utf8(outcome.displacedTarget)), old) << "the old file is named";
            for (const wchar_t* named : {outcome.leftoverStaging, outcome.displacedTarget})
                EXPECT_NE(std::find(names.begin(), names.end(),
                                    Utf8(named).substr(scratch.path.size() + 1)),
                          names.end());
            continue;
        }
        EXPECT_EQ(ReadWholeFile(path), c.left == kSaved ? document : old);
        EXPECT_EQ(outcome.displacedTarget[0], 0);
        std::vector<std::string> expected = {"saved.pdf"};
        for (const wchar_t* leftover : {outcome.leftoverStaging, outcome.leftoverBackup})
            if (leftover[0] != 0)
                expected.push_back(Utf8(leftover).substr(scratch.path.size() + 1));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected) << "only the target and the files the user is told of";
    }
    ResetScript();
}

// The mark of the web goes from the program's file onto the staging file, before it takes the
// target's place, where the volume has named streams; it never changes the save.
TEST_F(Files, ReplaceDurablyPassesTheProgramsZoneMarkOnToTheDocument) {
    constexpr wchar_t kPolicy[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Attachments";
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::string referrer = "\r\nReferrerUrl=" + Utf8(own);
    const std::string internet =
        "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://example.org/w.exe\r\n";
    struct Case {
        const char* name;
        bool namedStreams;
        std::optional<std::string> ownMark;
        bool policy;
        DWORD writeAnswer;
        const char* expected;
    };
    const Case cases[] = {
        {"Internet, with its HostUrl", true, internet, false, 0,
         "ZoneId=3|\r\nHostUrl=https://example.org/w.exe"},
        {"Restricted, no HostUrl", true, "[ZoneTransfer]\nZoneId=4\n", false, 0, "ZoneId=4|"},
        {"malformed counts as Internet", true, std::string("\0\xFF[Zone", 7), false, 0,
         "ZoneId=3|"},
        {"trusted", true, "[ZoneTransfer]\r\nZoneId=2\r\n", false, 0, nullptr},
        {"no mark", true, std::nullopt, false, 0, nullptr},
        {"a volume without named streams", false, internet, false, 0, nullptr},
        {"the policy keeps no zones", true, internet, true, 0, nullptr},
        {"the stream cannot be written", true, internet, false, ERROR_ACCESS_DENIED, nullptr},
    };
    const std::string document("the carried\0document", 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch("marked");
        std::string path = scratch.Path("saved.pdf");
        WriteWholeFile(path, "the user's old file");
        Hold(document);
        ResetScript();
        Script.namedStreams = c.namedStreams;
        Script.ownMark = c.ownMark;
        ScriptAnswer(kScriptWriteStream, c.writeAnswer);
        if (c.policy)
            RegSetKeyValueW(HKEY_CURRENT_USER, kPolicy, L"SaveZoneInformation", REG_DWORD,
                            "\1\0\0\0", 4);
        EXPECT_EQ(FileReplaceDurably(var, Utf16(path).c_str()).error, 0u);
        if (c.policy)
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kPolicy, L"SaveZoneInformation");
        EXPECT_EQ(ReadWholeFile(path), document);
        EXPECT_EQ(scratch.FileNames(), std::vector<std::string>{"saved.pdf"});
        if (c.expected == nullptr) {
            EXPECT_TRUE(Script.streams.empty());
            continue;
        }
        ASSERT_EQ(Script.streams.size(), 1u);
        const WrittenStream& mark = Script.streams[0];
        std::string expected = c.expected;
        size_t bar = expected.find('|');
        EXPECT_EQ(mark.bytes, "[ZoneTransfer]\r\n" + expected.substr(0, bar) + referrer +
                                  expected.substr(bar + 1) + "\r\n");
        EXPECT_TRUE(mark.beforeThePlace) << "written after the replace";
        ExpectMarkOnAStagingFile(mark.path, scratch.path);
    }
    // In the deepest folders the dialog takes, the stream's name carries the path past MAX_PATH.
    ScratchFolder deep("deepmark");
    std::string folderPath = deep.Path(std::string(240 - deep.path.size(), 'd'));
    ASSERT_TRUE(CreateDirectoryA(folderPath.c_str(), nullptr));
    Hold(document);
    ResetScript();
    Script.namedStreams = true;
    Script.ownMark = internet;
    EXPECT_EQ(FileReplaceDurably(var, Utf16(folderPath + "\\a.pdf").c_str()).error, 0u);
    ASSERT_EQ(Script.streams.size(), 1u);
    ExpectMarkOnAStagingFile(Script.streams[0].path, "\\\\?\\" + folderPath);
    ResetScript();
}

TEST_F(Files, ReplaceDurablyRefusesAMissingFolderOrOneWithoutRoomBeforeWritingAnything) {
    Hold("x");
    EXPECT_NE(FileReplaceDurably(var, Utf16(folder.Path("gone\\x.pdf")).c_str()).error, 0u);
    // The folder's path leaves fewer than the staging name's 11 characters within MAX_PATH.
    std::string path = folder.Path(std::string(250 - folder.path.size(), 'f') + "\\a.pdf");
    EXPECT_EQ(FileReplaceDurably(var, Utf16(path).c_str()).error,
              static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_TRUE(folder.FileNames().empty());
}

TEST_F(Files, SeeksStayInsideTheTextWhateverTheOffset) {
    Hold("0123456789");
    char out[4] = {};
    FileSeek(var, -1);
    EXPECT_EQ(var.position, 0);
    EXPECT_EQ(FileTransfer(var, out, 3, 0), 3);
    EXPECT_EQ(std::string(out, 3), "012") << "nothing before the text is read";
    for (int64_t offset : {int64_t{1} << 31, int64_t{15}, int64_t{-(int64_t{1} << 40)}}) {
        FileSeek(var, offset);
        EXPECT_GE(var.position, 0) << offset;
        EXPECT_LE(var.position, var.length) << offset;
    }
    FileSeek(var, int64_t{1} << 31);
    EXPECT_EQ(FileTransfer(var, out, 4, 0), 0) << "nothing past the text is read";
    char tail[] = "ab";
    EXPECT_EQ(FileTransfer(var, tail, 2, 1), 2);
    EXPECT_EQ(std::string(var.text, var.length), "0123456789ab") << "a write lands at the end";
}

TEST_F(Files, FailedOpensAndReopensLeaveNoHandleBehind) {
    std::string missing = folder.Path("no-such-folder\\file.txt");
    FileOpen(var, missing.c_str(), kFileModeRead);
    EXPECT_EQ(var.file, nullptr) << "a failed open holds no handle";
    EXPECT_EQ(var.length, 0);
    EXPECT_EQ(var.capacity, 0);
    EXPECT_NE(LastFileError, 0u);
    EXPECT_EQ(FileClose(var), 0);

    std::string first = folder.Path("first.txt");
    std::string second = folder.Path("second.txt");
    WriteWholeFile(first, "one");
    WriteWholeFile(second, "two");
    FileOpen(var, first.c_str(), kFileModeRead);
    FileOpen(var, second.c_str(), kFileModeRead);
    EXPECT_TRUE(DeleteFileA(first.c_str())) << "the first file is still held open";
    EXPECT_EQ(var.length, 3);
    FileClose(var);
}

TEST_F(Files, TransferInsideTheTextOverwritesAndReadsStopAtTheEnd) {
    Hold("0123456789");
    var.position = 3;
    char patch[] = "abc";
    EXPECT_EQ(FileTransfer(var, patch, 3, 1), 3);
    EXPECT_EQ(std::string(var.text, var.length), "012abc6789");
    EXPECT_EQ(var.length, 10);

    var.position = 8;
    char out[8] = {};
    EXPECT_EQ(FileTransfer(var, out, 8, 0), 2) << "only two bytes are left to read";
    EXPECT_EQ(std::string(out, 2), "89");
    EXPECT_EQ(var.position, 10);
}

TEST_F(Files, FileVariableWritesReadsSeeksAndReportsSize) {
    std::string path = folder.Path("variable.txt");
    FileOpen(var, path.c_str(), kFileModeCreate);
    FileWriteLine(var, "first", 5);
    FileWriteLine(var, "second", 6);
    EXPECT_EQ(var.position, 15);
    EXPECT_EQ(FileSize(var), 15);
    EXPECT_EQ(FileAtEnd(var), 1);
    FileClose(var);
    EXPECT_EQ(var.file, nullptr);
    EXPECT_EQ(ReadWholeFile(path), "first\r\nsecond\r\n");

    FileOpen(other, path.c_str(), kFileModeRead);
    EXPECT_EQ(other.length, 15);
    FileSeek(other, 7);
    EXPECT_EQ(FileTell(other), 7);
    EXPECT_EQ(FileAtEnd(other), 0);
    char buffer[6] = {};
    EXPECT_EQ(FileTransfer(other, buffer, 6, 0), 6);
    EXPECT_EQ(std::string(buffer, 6), "second");
    FileClose(other);
}

TEST_F(Files, LoadedFileIsEditedInMemoryAndWrittenBackOnClose) {
    std::string path = folder.Path("loaded.txt");
    WriteWholeFile(path, "hello world, a long line");
    FileOpen(var, path.c_str(), 2);
    TextView loaded = FileLoad(var);
    EXPECT_EQ(std::string(loaded.text, loaded.length), "hello world, a long line");
    var.position = 6;
    char word[] = "WORLD";
    FileTransfer(var, word, 5, 1);
    var.length = 11;
    FileClose(var);
    EXPECT_EQ(ReadWholeFile(path), "hello WORLD") << "a shorter copy leaves no old tail";
}

TEST_F(Files, ReadAllReadsAFileAndCreatesAMissingOneEmpty) {
    std::string path = folder.Path("whole.bin");
    WriteWholeFile(path, std::string("x\0y", 3));
    FileReadAll(var, path.c_str());
    EXPECT_EQ(std::string(var.text, var.length), std::string("x\0y", 3));
    EXPECT_EQ(var.file, nullptr);

    std::string missing = folder.Path("missing.bin");
    FileReadAll(other, missing.c_str());
    EXPECT_EQ(other.length, 0);
    EXPECT_EQ(other.text[0], 0);
    EXPECT_NE(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
