#include "radio/encoding.h"

#include <gtest/gtest.h>

#include <vector>

using namespace marlo;

using namespace encoding;
using Bytes = std::vector<std::uint8_t>;

TEST(Base100, ReadAndWrite) {
    const struct {
        Bytes stored;
        std::uint64_t value;
        Bytes written; // what writing the value back gives
    } rows[] = {
        {{7, 5, 34}, 70534, {7, 5, 34}},
        {{0, 0, 5}, 5, {0, 0, 5}},
        {{99, 99, 99}, 999999, {99, 99, 99}},
        {{255, 255, 255}, 2575755, {57, 57, 55}}, // garbage: the top digits do not fit
    };
    for (const auto& row : rows) {
        EXPECT_EQ(readBase100(row.stored), row.value) << row.value;
        Bytes bytes{0xEE, 0xEE, 0xEE};
        writeBase100(bytes, row.value);
        EXPECT_EQ(bytes, row.written) << row.value;
    }
}

TEST(TwoDigitBytes, ReadWriteAndEmptyMarker) {
    const Bytes bytes{12, 34, 255};
    const int digits[] = {1, 2, 3, 4, 5, 5, -1};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(twoDigitGet(bytes, k), digits[k]) << k;

    // Writing keeps the other digit, and from an empty marker still gives 0..99.
    Bytes field{0xFF, 12};
    twoDigitSet(field, 1, 7);
    twoDigitSet(field, 2, 9);
    EXPECT_EQ(field, (Bytes{57, 92}));
    twoDigitSet(field, 4, 1);  // no such position
    twoDigitSet(field, 0, 10); // not a digit
    EXPECT_EQ(field, (Bytes{57, 92}));

    EXPECT_FALSE(twoDigitIsEmpty(Bytes{99}));
    EXPECT_TRUE(twoDigitIsEmpty(Bytes{100}));
    EXPECT_TRUE(twoDigitIsEmpty(Bytes{}));
}

TEST(PackedNibbles, HighNibbleFirstAndOnlyItsNibbleWritten) {
    const Bytes bytes{0x12, 0x3F};
    const int digits[] = {1, 2, 3, 15, -1};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(nibbleGet(bytes, k), digits[k]) << k;

    Bytes field{0xFF, 0xFF};
    nibbleSet(field, 1, 9);
    nibbleSet(field, 2, 0);
    nibbleSet(field, 4, 1);
    nibbleSet(field, 3, 16);
    EXPECT_EQ(field, (Bytes{0xF9, 0x0F}));
}
