// String variables: block sizes and the keep rule, growth, binary safety, the temporary ring.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "core/checksum.h"
#include "core/strings.h"
#include "support/recording_memory.h"

namespace {

constexpr int32_t kDocumentSize = 27642791;

class StringVariables : public testing::Test {
  protected:
    void SetUp() override { ResetMemoryLog(); }
    void TearDown() override {
        for (StringVariable* var : {&a, &b})
            if (var->block != nullptr)
                BlockRelease(var->block);
    }
    StringVariable a = {};
    StringVariable b = {};
};

std::string Contents(const StringVariable& var) {
    return std::string(var.text, var.length);
}

TEST_F(StringVariables, ResetSizesTheBlockFromTheHint) {
    StrReset(a, 59);
    EXPECT_EQ(RecordedMemory.lastRequest, 72u);
    EXPECT_GE(a.capacity, 72);
    EXPECT_EQ(a.position, 0);
    EXPECT_EQ(a.length, 0);
    EXPECT_EQ(a.text[0], 0);

    StrReset(b, 255);
    EXPECT_EQ(RecordedMemory.lastRequest, 268u);
    StrReset(b, 260);
    EXPECT_EQ(RecordedMemory.lastRequest, 279u) << "268 is too small for 279, so it is replaced";
}

TEST_F(StringVariables, ResetKeepsABlockWithinSlackAndEmptiesIt) {
    StrReset(a, 59);
    MemoryBlock first = a.block;
    StrAssign(a, "some text", 9);
    StrReset(a, 59);
    EXPECT_EQ(a.block, first);
    EXPECT_EQ(RecordedMemory.allocations, 1);
    EXPECT_EQ(a.length, 0);
    EXPECT_EQ(a.text[0], 0);

    // 72 bytes held, 279 needed: too small. 279 held, 72 needed: 207 spare, kept.
    StrReset(a, 260);
    EXPECT_EQ(RecordedMemory.allocations, 2);
    StrReset(a, 59);
    EXPECT_EQ(RecordedMemory.allocations, 2);
}

TEST_F(StringVariables, DocumentSizedAppendGrowsOnceAndResetGivesTheBlockBack) {
    std::string document(kDocumentSize, 'x');
    document[100] = 0;
    StrReset(a, 59);
    StrAppend(a, document.data(), kDocumentSize);
    EXPECT_EQ(RecordedMemory.resizes, 1);
    EXPECT_EQ(RecordedMemory.lastRequest, 34553670u);
    EXPECT_EQ(a.position, kDocumentSize);
    EXPECT_EQ(a.length, kDocumentSize);
    EXPECT_EQ(a.text[kDocumentSize], 0);
    EXPECT_EQ(memcmp(a.text, document.data(), kDocumentSize), 0);

    int releasesBefore = RecordedMemory.releases;
    StrReset(a, 59);
    EXPECT_EQ(RecordedMemory.releases, releasesBefore + 1);
    EXPECT_EQ(RecordedMemory.lastRequest, 72u);
    EXPECT_LT(a.capacity, 256);
}

TEST_F(StringVariables, BytesWithNulAreKeptAndAnEmptyAssignOrNoBlockGivesTheEmptyText) {
    EXPECT_EQ(StrAssign(a, "", 0).length, 0) << "no block yet";
    EXPECT_EQ(StrSyncLength(a).length, 0);
    TextView view = StrAppend(b, "grow from nothing", 17);
    EXPECT_EQ(std::string(view.text, view.length), "grow from nothing");

    const char bytes[] = {'P', 0, 'D', 0, 0, 'F'};
    StrReset(a, 59);
    view = StrAppend(a, bytes, 6);
    EXPECT_EQ(view.length, 6);
    EXPECT_EQ(Contents(a), std::string(bytes, 6));
    EXPECT_EQ(a.text[6], 0);
    view = StrAssign(a, "ignored", 0);
    EXPECT_EQ(view.length, 0);
    EXPECT_EQ(a.length, 0);
    EXPECT_EQ(a.text[0], 0);
    StrAssign(a, "previous", 8);
    StrAssign(a, "x", -5);
    EXPECT_EQ(a.length, 0);
}

TEST_F(StringVariables, AppendInsideTheTextOverwritesWithoutShortening) {
    StrReset(a, 59);
    StrAssign(a, "abcdefgh", 8);
    a.position = 2;
    TextView view = StrAppend(a, "XY", 2);
    EXPECT_EQ(view.length, 4) << "the view ends at the write position";
    EXPECT_EQ(Contents(a), "abXYefgh");

    a.position = 6;
    StrAppend(a, "1234", 4);
    EXPECT_EQ(Contents(a), "abXYef1234") << "a write past the end extends the length";
    EXPECT_EQ(a.text[10], 0);
}

TEST_F(StringVariables, AppendFromItsOwnBlockSurvivesGrowth) {
    StrReset(a, 59);
    std::string start(60, 'q');
    start[0] = 'A';
    start[59] = 'Z';
    StrAssign(a, start.data(), 60);
    // Appending the variable to itself needs a bigger block: the source moves with it.
    for (int round = 0; round < 6; ++round)
        StrAppend(a, a.text, a.length);
    ASSERT_EQ(a.length, 60 * 64);
    for (int copy = 0; copy < 64; ++copy) {
        ASSERT_EQ(a.text[copy * 60], 'A') << copy;
        ASSERT_EQ(a.text[copy * 60 + 59], 'Z') << copy;
    }
    EXPECT_GE(RecordedMemory.resizes, 1);

    StrAssign(a, a.text + 60, 120);
    EXPECT_EQ(a.length, 120);
    EXPECT_EQ(a.text[0], 'A');
    EXPECT_EQ(a.text[119], 'Z');
}

TEST_F(StringVariables, SyncLengthStopsAtTheFirstNulAndNeverLeavesTheBlock) {
    StrReset(a, 255);
    BlockFill(a.text, 255, 0);
    a.text[0] = 'C';
    TextView view = StrSyncLength(a);
    EXPECT_EQ(view.length, 1);
    EXPECT_EQ(a.position, 1);
    EXPECT_EQ(a.length, 1);

    BlockFill(a.text, a.capacity, 'x');
    view = StrSyncLength(a);
    EXPECT_EQ(view.length, a.capacity - 1) << "no NUL in the block: cut at its last byte";
    EXPECT_EQ(a.text[a.length], 0);
}

TEST(BlockRoutines, CopyAndFillHandleOddCountsAndOverlap) {
    for (int count : {0, 1, 3, 4, 5, 31, 32, 33, 67}) {
        std::string source(80, 0), target(80, '.');
        for (int i = 0; i < 80; ++i)
            source[i] = static_cast<char>('a' + i % 26);
        BlockCopy(source.data(), target.data() + 1, count);
        EXPECT_EQ(target.substr(1, count), source.substr(0, count)) << count;
        EXPECT_EQ(target[0], '.');
        EXPECT_EQ(target[1 + count], '.') << "no byte past the count, count " << count;

        std::string fill(80, '.');
        BlockFill(fill.data() + 3, count, 0xAB);
        EXPECT_EQ(fill.substr(3, count), std::string(count, '\xAB'));
        EXPECT_EQ(fill[3 + count], '.') << count;
        EXPECT_EQ(fill[2], '.');
    }
    std::string overlap = "0123456789";
    BlockCopy(overlap.data() + 3, overlap.data(), 7);
    EXPECT_EQ(overlap, "3456789789");
    EXPECT_EQ(TextLength("abc\0def"), 3);
}

TEST(Crc32, KnownValuesAndTheBitwiseDefinition) {
    EXPECT_EQ(Crc32(0, "", 0), 0u);
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(Crc32(0, "12345", 5), "6789", 4), 0xCBF43926u) << "continued over two calls";
    // Lengths around the eight-byte steps and the folding's 64-byte blocks, from an odd address.
    std::string source(3 * 16384 + 11, '\0');
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<char>(i * 131 + (i >> 9));
    for (uint32_t count :
         {1u, 7u, 8u, 9u, 64u, 79u, 1000u, 16383u, 16384u, 16385u, 3u * 16384u + 10u}) {
        uint32_t summed = Crc32(0, source.data() + 1, count);
        uint32_t bitwise = 0xFFFFFFFFu;
        for (uint32_t i = 0; i < count; ++i) {
            bitwise ^= static_cast<uint8_t>(source[1 + i]);
            for (int bit = 0; bit < 8; ++bit)
                bitwise = (bitwise >> 1) ^ (0xEDB88320u & (0u - (bitwise & 1)));
        }
        EXPECT_EQ(summed, ~bitwise) << "against the bitwise definition, " << count;
    }
}

TEST(TemporaryRing, NinthTemporaryIsTheFirstAgain) {
    StringVariable* first = &NextTemporary();
    std::set<StringVariable*> seen = {first};
    for (int i = 1; i < 8; ++i)
        seen.insert(&NextTemporary());
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_EQ(&NextTemporary(), first);
}

TEST(FailedAllocations, TryResetReportsInsteadOfEnding) {
    ResetMemoryLog();
    StringVariable var = {};
    RecordedMemory.remainingSuccesses = 0;
    EXPECT_FALSE(StrTryReset(var, 59));
    EXPECT_EQ(var.block, nullptr);
    RecordedMemory.remainingSuccesses = -1;
    EXPECT_FALSE(StrTryReset(var, INT32_MAX - 8)) << "more than a capacity can describe";
    EXPECT_EQ(RecordedMemory.allocations, 1) << "and nothing was asked of the heap for it";
    EXPECT_TRUE(StrTryReset(var, 59));
    BlockRelease(var.block);
}

} // namespace
