#include "radio/cmcEncoding.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace cmcEncoding;
using Bytes = std::vector<std::uint8_t>;

TEST(Base100, ReadsMostSignificantByteFirst) {
    const struct {
        Bytes bytes;
        std::uint64_t value;
    } rows[] = {
        {{7, 5, 34}, 70534},
        {{0, 0, 0}, 0},
        {{99, 99, 99}, 999999},
        {{255, 255, 255}, 2575755}, // garbage is read as it is, without overflow
        {{}, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(readBase100(row.bytes), row.value) << ::testing::PrintToString(row.bytes);
}

TEST(Base100, WritesFromTheLastByteAndDropsWhatDoesNotFit) {
    const struct {
        std::uint64_t value;
        Bytes expected;
    } rows[] = {
        {70534, {7, 5, 34}},
        {5, {0, 0, 5}},
        {0, {0, 0, 0}},
        {1234567, {23, 45, 67}},
    };
    for (const auto& row : rows) {
        Bytes bytes{0xEE, 0xEE, 0xEE};
        writeBase100(bytes, row.value);
        EXPECT_EQ(bytes, row.expected) << row.value;
    }
}

TEST(TwoDigitBytes, DigitsReadFromBinaryPairs) {
    const Bytes bytes{12, 34, 56};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(twoDigitGet(bytes, k), k + 1);
    EXPECT_EQ(twoDigitGet(bytes, 6), -1);
    EXPECT_EQ(twoDigitGet(bytes, -1), -1);
    // 255: the tens digit is 25 mod 10
    EXPECT_EQ(twoDigitGet(Bytes{255}, 0), 5);
    EXPECT_EQ(twoDigitGet(Bytes{255}, 1), 5);
}

TEST(TwoDigitBytes, WritingADigitKeepsTheOtherOne) {
    Bytes bytes{12};
    twoDigitSet(bytes, 0, 9);
    EXPECT_EQ(bytes[0], 92);
    twoDigitSet(bytes, 1, 0);
    EXPECT_EQ(bytes[0], 90);

    // From an empty marker the result is always a valid 0..99 byte.
    Bytes empty{0xFF, 0xFF};
    twoDigitSet(empty, 1, 7);
    EXPECT_EQ(empty[0], 57);
    twoDigitSet(empty, 2, 3);
    EXPECT_EQ(empty[1], 35);

    Bytes untouched{12};
    twoDigitSet(untouched, 2, 1);  // no such position
    twoDigitSet(untouched, 0, 10); // not a digit
    twoDigitSet(untouched, 1, -1);
    EXPECT_EQ(untouched, Bytes{12});
}

TEST(TwoDigitBytes, FirstByteOfHundredOrMoreIsEmpty) {
    EXPECT_FALSE(twoDigitIsEmpty(Bytes{99, 200}));
    EXPECT_TRUE(twoDigitIsEmpty(Bytes{100, 0}));
    EXPECT_TRUE(twoDigitIsEmpty(Bytes{0xFF}));
    EXPECT_TRUE(twoDigitIsEmpty(Bytes{}));
}

TEST(PackedNibbles, HighNibbleFirst) {
    const Bytes bytes{0x12, 0x3F};
    const int expected[] = {1, 2, 3, 15};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(nibbleGet(bytes, k), expected[k]);
    EXPECT_EQ(nibbleGet(bytes, 4), -1);

    Bytes field{0xFF, 0xFF};
    nibbleSet(field, 1, 9);
    EXPECT_EQ(field[0], 0xF9);
    nibbleSet(field, 0, 0);
    EXPECT_EQ(field[0], 0x09);
    nibbleSet(field, 2, 4);
    EXPECT_EQ(field, (Bytes{0x09, 0x4F}));
    nibbleSet(field, 4, 1);
    nibbleSet(field, 3, 16);
    EXPECT_EQ(field, (Bytes{0x09, 0x4F}));
}

TEST(LittleEndian, RoundTripsAndByteOrder) {
    std::array<std::uint8_t, 4> b{};
    writeLe16(b.data(), 0x1234);
    EXPECT_EQ(b[0], 0x34);
    EXPECT_EQ(b[1], 0x12);
    EXPECT_EQ(readLe16(b.data()), 0x1234);

    writeLe32(b.data(), 1000000);
    EXPECT_EQ(b, (std::array<std::uint8_t, 4>{0x40, 0x42, 0x0F, 0x00}));
    writeLe32(b.data(), -1);
    EXPECT_EQ(b, (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(readLe32(b.data()), -1);
}
