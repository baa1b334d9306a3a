// Finding, counting and cutting texts; string lists of CR LF items; the text of a zone mark.
#include <gtest/gtest.h>

#include <string>

#include "core/lists.h"
#include "core/text.h"
#include "core/zone_text.h"

namespace {

std::string Str(TextView view) {
    return std::string(view.text, view.length);
}

int32_t Find(const std::string& pattern, const std::string& text, int32_t start) {
    return TextFind(pattern.data(), static_cast<int32_t>(pattern.size()), text.data(),
                    static_cast<int32_t>(text.size()), start);
}

TEST(TextFind, PositionsAreOneBasedAndBoundedAndCountsDoNotOverlap) {
    EXPECT_EQ(Find("lo", "hello lo", 1), 4);
    EXPECT_EQ(Find("lo", "hello lo", 5), 7);
    EXPECT_EQ(Find("lo", "hello lo", 8), 0) << "one byte left cannot hold two";
    EXPECT_EQ(Find("h", "hello", 0), 0) << "start below 1";
    EXPECT_EQ(Find("o", "hello", 6), 0) << "start past the end";
    EXPECT_EQ(Find("", "hello", 1), 0) << "an empty pattern is never found";
    EXPECT_EQ(Find("aab", "aaab", 1), 2) << "a failed candidate resumes one byte later";
    EXPECT_EQ(Find("L", "hello", 1), 0) << "case matters";
    EXPECT_EQ(Find(std::string("\0b", 2), std::string("a\0b", 3), 1), 2) << "NUL is a byte";
    // Counting does not overlap.
    std::string list = "ab\r\nabc\r\n";
    EXPECT_EQ(TextCount("\r\n", 2, list.data(), static_cast<int32_t>(list.size())), 2);
    EXPECT_EQ(TextCount("aa", 2, "aaaaa", 5), 2);
    EXPECT_EQ(TextCount("x", 1, "", 0), 0);
}

TEST(TextField, CutsTheNthFieldIntoATemporary) {
    const char* text = "one, two,, four";
    int32_t length = TextLength(text);
    EXPECT_EQ(Str(TextField(1, ", ", 2, text, length)), "one");
    EXPECT_EQ(Str(TextField(2, ", ", 2, text, length)), "two,");
    EXPECT_EQ(Str(TextField(3, ", ", 2, text, length)), "four") << "the last field runs to the end";
    EXPECT_EQ(Str(TextField(4, ", ", 2, text, length)), "");
    EXPECT_EQ(Str(TextField(0, ", ", 2, text, length)), "");
    EXPECT_EQ(Str(TextField(2, ",", 1, "a,,b", 4)), "") << "an empty field between separators";
    EXPECT_EQ(Str(TextField(1, "", 0, "whole", 5)), "whole");
}

TEST(TextInsert, InsertsBeforeAPositionOrAppends) {
    EXPECT_EQ(Str(TextInsert(1, "X", 1, "abc", 3)), "Xabc");
    EXPECT_EQ(Str(TextInsert(3, "XY", 2, "abc", 3)), "abXYc");
    EXPECT_EQ(Str(TextInsert(4, "X", 1, "abc", 3)), "abcX");
    EXPECT_EQ(Str(TextInsert(99, "X", 1, "abc", 3)), "abcX");
    EXPECT_EQ(Str(TextInsert(0, "X", 1, "abc", 3)), "Xabc") << "below 1 counts as 1";
    EXPECT_EQ(Str(TextInsert(2, "", 0, "abc", 3)), "abc");
}

std::string Utf16Bytes(const std::string& ascii) {
    std::string units = "\xFF\xFE";
    for (char c : ascii)
        units += std::string{c, '\0'};
    return units;
}

// A mark as Windows writes it gives its zone and HostUrl; anything else counts as the Internet.
TEST(ZoneMark, TakesTheZoneAndHostUrlOrCountsTheMarkAsInternet) {
    struct Row {
        const char* name;
        std::string text;
        bool cut;
        int32_t zone;
        const char* hostUrl;
    };
    const Row rows[] = {
        {"as Windows writes it",
         "[ZoneTransfer]\r\nZoneId=3\r\nReferrerUrl=C:\\a.zip\r\nHostUrl=https://h/a.zip\r\n",
         false, 3, "https://h/a.zip"},
        {"LF only", "[ZoneTransfer]\nZoneId=4\nHostUrl=h\n", false, 4, "h"},
        {"local, last line unended", "[ZoneTransfer]\r\nZoneId=0", false, 0, ""},
        {"the first ZoneId counts", "[ZoneTransfer]\nZoneId=2\nZoneId=4\n", false, 2, ""},
        {"another key ending in ZoneId", "[ZoneTransfer]\nAppZoneId=1\nZoneId=4\n", false, 4, ""},
        {"not in Windows' form", "[ZoneTransfer]\n zoneid = 1 \nHOSTURL=h\n", false, 3, ""},
        {"out of range", "[ZoneTransfer]\nZoneId=5\n", false, 3, ""},
        {"negative", "[ZoneTransfer]\nZoneId=-1\n", false, 3, ""},
        {"digits and more", "[ZoneTransfer]\nZoneId=1x\n", false, 3, ""},
        {"a zero before the digit", "[ZoneTransfer]\nZoneId=01\n", false, 3, ""},
        {"no ZoneId", "[ZoneTransfer]\nHostUrl=h\n", false, 3, "h"},
        {"empty", "", false, 3, ""},
        {"binary", std::string("\0\xFF\x01ZoneId=1\n", 13), false, 3, ""},
        {"a NUL in the zone", std::string("[ZoneTransfer]\nZoneId=1\0\n", 26), false, 3, ""},
        {"a control character in HostUrl",
         "[ZoneTransfer]\nZoneId=3\nHostUrl=a\x01"
         "b\n",
         false, 3, ""},
        {"an unended line that was cut", "[ZoneTransfer]\nZoneId=1\nHostUrl=https://cu", true, 1,
         ""},
        {"the zone cut", "[ZoneTransfer]\nZoneId=1", true, 3, ""},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[ZoneTransfer]\nZoneId=4\n", false, 4, ""},
        {"UTF-16", Utf16Bytes("[ZoneTransfer]\r\nZoneId=1\r\n"), false, 3, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ZoneMark mark =
            ParseZoneMark(row.text.data(), static_cast<int32_t>(row.text.size()), row.cut);
        EXPECT_EQ(mark.zone, row.zone);
        EXPECT_EQ(Str(mark.hostUrl), row.hostUrl);
    }
    StringVariable written = {};
    StrReset(written, kDefaultSizeHint);
    StrAppendZoneMark(written, 4, {"C:\\W.exe", 8}, {"https://h/W.exe", 15});
    EXPECT_EQ(Str(StrView(written)),
              "[ZoneTransfer]\r\nZoneId=4\r\nReferrerUrl=C:\\W.exe\r\nHostUrl=https://h/W.exe\r\n");
    ZoneMark reread = ParseZoneMark(written.text, written.length, false);
    EXPECT_EQ(reread.zone, 4);
    EXPECT_EQ(Str(reread.hostUrl), "https://h/W.exe");
    BlockRelease(written.block);
}

class StringList : public testing::Test {
  protected:
    void SetUp() override { StrReset(list, 59); }
    void TearDown() override { BlockRelease(list.block); }
    void Add(const char* item) { ListAdd(list, item, TextLength(item)); }
    int32_t FindItem(const char* item) { return ListFind(list, item, TextLength(item)); }
    std::string Text() const { return std::string(list.text, list.length); }
    StringVariable list = {};
};

TEST_F(StringList, FindMatchesWholeItemsOnly) {
    Add("ab");
    Add("abc");
    EXPECT_EQ(Text(), "ab\r\nabc\r\n");
    EXPECT_EQ(FindItem("abc"), 1);
    EXPECT_EQ(FindItem("ab"), 0);
    EXPECT_EQ(FindItem("b"), -1);
    EXPECT_EQ(FindItem("bc"), -1);
    EXPECT_EQ(FindItem(""), -1);
}

TEST_F(StringList, FindSkipsPartialMatchesToALaterItem) {
    Add("xab");
    Add("ab");
    EXPECT_EQ(FindItem("ab"), 1);
}

TEST_F(StringList, DeleteRemovesOneItemWithItsLineEnd) {
    Add("one");
    Add("two");
    Add("three");
    EXPECT_EQ(ListDelete(list, 1, list.length), 12);
    EXPECT_EQ(Text(), "one\r\nthree\r\n");
    EXPECT_EQ(list.position, 12);
    EXPECT_EQ(list.text[12], 0);
    EXPECT_EQ(ListDelete(list, 5, list.length), 12) << "no such item: unchanged";
    EXPECT_EQ(Text(), "one\r\nthree\r\n");
    ListDelete(list, 1, list.length);
    ListDelete(list, 0, list.length);
    EXPECT_EQ(Text(), "");
}

TEST_F(StringList, InsertBeforeAnItemOrAppendPastTheLast) {
    Add("a");
    Add("c");
    ListInsert(list, "b", 1, list.length, 1);
    EXPECT_EQ(Text(), "a\r\nb\r\nc\r\n");
    ListInsert(list, "first", 5, list.length, 0);
    ListInsert(list, "last", 4, list.length, 42);
    EXPECT_EQ(Text(), "first\r\na\r\nb\r\nc\r\nlast\r\n");
    EXPECT_EQ(list.text[list.length], 0);
}

TEST_F(StringList, SwapExchangesItemsOfDifferentLengths) {
    Add("short");
    Add("m");
    Add("a longer item");
    ListSwap(list, 0, 2);
    EXPECT_EQ(Text(), "a longer item\r\nm\r\nshort\r\n");
    ListSwap(list, 2, 1);
    EXPECT_EQ(Text(), "a longer item\r\nshort\r\nm\r\n");
    ListSwap(list, 0, 9);
    EXPECT_EQ(Text(), "a longer item\r\nshort\r\nm\r\n") << "a missing item swaps nothing";
}

TEST_F(StringList, JoinTakesARangeOfItems) {
    Add("x");
    Add("yy");
    Add("zzz");
    EXPECT_EQ(Str(ListJoin(", ", 2, 2, 0, list.text, list.length)), "x, yy, zzz");
    EXPECT_EQ(Str(ListJoin("-", 1, 2, 1, list.text, list.length)), "yy-zzz");
    EXPECT_EQ(Str(ListJoin("-", 1, 9, 2, list.text, list.length)), "zzz");
    EXPECT_EQ(Str(ListJoin("-", 1, 0, 1, list.text, list.length)), "");
    EXPECT_EQ(Str(ListJoin("-", 1, 1, -3, list.text, list.length)), "x-yy");
}

} // namespace
