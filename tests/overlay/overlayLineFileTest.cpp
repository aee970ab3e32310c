#include "overlay/overlayLineFile.h"
#include "overlayFixture.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

constexpr std::size_t kBlock = OverlayLineFile::kBlockSize;

// Offsets count every byte, the dropped CR included, wherever the file's
// blocks happen to split a CR LF pair.
TEST(LineFile, CrLfAcrossBlockEdgesKeepsTextAndOffsets) {
    for (std::size_t length : {kBlock - 2, kBlock - 1, kBlock, kBlock + 1}) {
        TempFile file(std::string(length, 'x') + "\r\nnext\r\n");
        OverlayLineFile lines;
        ASSERT_TRUE(lines.Open(file.path()));
        std::uint64_t pos = 0;
        std::string line;
        ASSERT_TRUE(lines.ReadLine(pos, line)) << length;
        EXPECT_EQ(line.size(), length + 1) << length;
        EXPECT_EQ(line.find_first_not_of('x'), length) << length;
        EXPECT_EQ(line.back(), '\n') << length;
        EXPECT_EQ(pos, length + 2);
        ASSERT_TRUE(lines.ReadLine(pos, line)) << length;
        EXPECT_EQ(line, "next\n");
        EXPECT_EQ(pos, length + 8);
        EXPECT_FALSE(lines.ReadLine(pos, line));
    }
}

TEST(LineFile, ReadsFromAnyOffsetAndFailsBeyondTheEnd) {
    TempFile file(std::string("ab\0c\nlast", 9));
    OverlayLineFile lines;
    ASSERT_TRUE(lines.Open(file.path()));
    std::string line;
    std::uint64_t pos = 1;
    ASSERT_TRUE(lines.ReadLine(pos, line));
    EXPECT_EQ(line, std::string("b\0c\n", 4)); // a NUL byte is text like any other
    EXPECT_EQ(pos, 5u);
    ASSERT_TRUE(lines.ReadLine(pos, line));
    EXPECT_EQ(line, "last");
    EXPECT_EQ(pos, 9u);
    EXPECT_FALSE(lines.ReadLine(pos, line));
    pos = 1000;
    EXPECT_FALSE(lines.ReadLine(pos, line));
    EXPECT_EQ(pos, 1000u);
}

} // namespace
