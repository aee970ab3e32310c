#include "core/byteQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marlo;

namespace {

std::string contents(const ByteQueue& b) {
    return std::string(reinterpret_cast<const char*>(b.Data()),
                       static_cast<std::size_t>(b.Count()));
}

ByteQueue filled(const std::string& text) {
    ByteQueue b;
    b.AssignBytes(text.data(), static_cast<std::int32_t>(text.size()));
    return b;
}

} // namespace

struct GrowthRow {
    const char* name;
    std::int32_t startCount; // reached by one AppendFill from empty (capacity == count)
    std::int32_t resizeTo;
    std::int32_t count;
    std::int32_t capacity;
};

class BuffGrowth : public ::testing::TestWithParam<GrowthRow> {};

TEST_P(BuffGrowth, LeavesAQuarterOfTheOldCountAsHeadroom) {
    const GrowthRow& row = GetParam();
    ByteQueue b;
    b.AppendFill(0x11, row.startCount);
    EXPECT_EQ(b.Resize(row.resizeTo), row.count);
    EXPECT_EQ(b.Count(), row.count);
    EXPECT_EQ(b.Capacity(), row.capacity);
}

INSTANTIATE_TEST_SUITE_P(Rows, BuffGrowth,
                         ::testing::Values(GrowthRow{"FirstByteFitsTheInitialByte", 0, 1, 1, 1},
                                           GrowthRow{"SecondByte", 1, 2, 2, 2},
                                           GrowthRow{"From100To101", 100, 101, 101, 126},
                                           GrowthRow{"WithinCapacityKeepsIt", 100, 50, 50, 100},
                                           GrowthRow{"NegativeCountsAsZero", 100, -3, 0, 100},
                                           GrowthRow{"LargeJump", 8, 1000, 1000, 1002}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Buff, ShrinkThenGrowWithinCapacityBringsTheOldBytesBack) {
    ByteQueue b = filled("abcdefgh");
    b.Resize(3);
    EXPECT_EQ(contents(b), "abc");
    b.Resize(8);
    EXPECT_EQ(contents(b), "abcdefgh");
}

TEST(Buff, GrowingPastCapacityMovesOnlyTheCountedBytes) {
    ByteQueue b = filled("abcdefgh");
    b.Resize(3);
    b.Resize(20);
    EXPECT_EQ(contents(b), "abc" + std::string(17, '\0'));
}

TEST(Buff, PopFrontIsFirstInFirstOutAndMinusOneWhenEmpty) {
    ByteQueue b;
    EXPECT_EQ(b.PopFront(), -1);
    EXPECT_EQ(b.Capacity(), 1);
    b.AppendBytes("xyz", 3);
    b.AppendByte(0xFF);
    EXPECT_EQ(b.PopFront(), 'x');
    EXPECT_EQ(b.PopFront(), 'y');
    b.AppendByte('!');
    EXPECT_EQ(b.PopFront(), 'z');
    EXPECT_EQ(b.PopFront(), 0xFF);
    EXPECT_EQ(b.PopFront(), '!');
    EXPECT_EQ(b.PopFront(), -1);
}

TEST(Buff, CompactsOnceWhenMoreThan4096BytesHaveBeenTaken) {
    ByteQueue b;
    std::vector<std::uint8_t> bytes(6000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 251);
    // Two appends leave headroom (5000 + 1000 + 5000/4 = 7250), which the compaction
    // drops: that makes it visible in the capacity.
    b.AppendBytes(bytes.data(), 5000);
    b.AppendBytes(bytes.data() + 5000, 1000);
    ASSERT_EQ(b.Capacity(), 7250);

    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(b.PopFront(), i % 251);
    EXPECT_EQ(b.Capacity(), 7250 - 4096) << "compacted too early";
    ASSERT_EQ(b.PopFront(), 4096 % 251);
    EXPECT_EQ(b.Capacity(), 6000 - 4097) << "not compacted after the 4097th byte";
    for (int i = 4097; i < 5000; ++i)
        ASSERT_EQ(b.PopFront(), i % 251);
    EXPECT_EQ(b.Capacity(), 1000) << "compacted a second time";

    ASSERT_EQ(b.Count(), 1000);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(*b.At(i), (5000 + i) % 251) << "byte " << i;
}

TEST(Buff, ClearAndCompactReleaseTheSpare) {
    ByteQueue b = filled("hello world");
    b.AppendFill('.', 100);
    b.PopFront();
    b.Compact();
    EXPECT_EQ(b.Capacity(), b.Count());
    EXPECT_EQ(contents(b), "ello world" + std::string(100, '.'));
    b.Clear();
    EXPECT_EQ(b.Count(), 0);
    EXPECT_EQ(b.Capacity(), 1);
    b.Compact();
    EXPECT_EQ(b.Capacity(), 1);
}

TEST(Buff, AssignAppendAndCopyAreIndependentCopies) {
    ByteQueue a = filled("one");
    ByteQueue copy(a);
    a.Append(filled("two"));
    a.AppendFill('-', 2);
    EXPECT_EQ(contents(a), "onetwo--");
    EXPECT_EQ(contents(copy), "one");
    copy = a;
    a.AssignBytes("x", 1);
    EXPECT_EQ(contents(copy), "onetwo--");
    EXPECT_EQ(contents(a), "x");
}

TEST(Buff, NothingHappensForEmptyOrNullSources) {
    ByteQueue b = filled("keep");
    b.AppendBytes(nullptr, 5);
    b.AppendBytes("zz", 0);
    b.AppendBytes("zz", -1);
    b.AppendFill('z', -4);
    EXPECT_EQ(contents(b), "keep");
    b.AssignBytes(nullptr, 3);
    EXPECT_EQ(b.Count(), 0);
}

TEST(Buff, SourcesInsideTheBufferSurviveGrowth) {
    ByteQueue b = filled("abcd");
    b.Compact();
    b.AppendBytes(b.Data(), b.Count()); // grows, releasing the source allocation
    EXPECT_EQ(contents(b), "abcdabcd");
    b.Append(b);
    EXPECT_EQ(contents(b), "abcdabcdabcdabcd");
    b.AssignBytes(b.Data() + 2, 4);
    EXPECT_EQ(contents(b), "cdab");
    b.Assign(b);
    EXPECT_EQ(contents(b), "cdab");
}

TEST(BuffDeathTest, AtOutsideTheCountEndsTheProgram) {
    ByteQueue b = filled("ab");
    b.Resize(1); // the second byte is still allocated but no longer counted
    EXPECT_EXIT(b.At(1), ::testing::ExitedWithCode(3), "Out of cmcBuff element !");
    EXPECT_EXIT(b.At(-1), ::testing::ExitedWithCode(3), "Out of cmcBuff element !");
    ByteQueue empty;
    EXPECT_EXIT(empty.At(0), ::testing::ExitedWithCode(3), "Out of cmcBuff element !");
}
