#include "core/memoryImage.h"
#include "core/modelIdentity.h"

#include <array>
#include <gtest/gtest.h>

using namespace marlo;

namespace {

constexpr std::int32_t size = marloModel::imageSize;

class Eeprom : public ::testing::Test {
protected:
    void SetUp() override {
        image.Resize(size);
        image.Fill(0x5A);
    }
    MemoryImage image;
};

TEST_F(Eeprom, ResizeToTheSameSizeClearsEveryByte) {
    image.Resize(size);
    EXPECT_EQ(image.Size(), size);
    EXPECT_EQ(image.GetByte(0), 0);
    EXPECT_EQ(image.GetByte(size - 1), 0);
}

TEST_F(Eeprom, ResizeToZeroOrLessGivesAnEmptyImage) {
    for (std::int32_t n : {0, -5}) {
        image.Resize(size);
        image.Resize(n);
        EXPECT_EQ(image.Size(), 0) << n;
        EXPECT_EQ(image.Data(), nullptr) << n;
        EXPECT_FALSE(image.IsValidAddress(0)) << n;
    }
}

TEST_F(Eeprom, BlockCopiesRefuseAnyBlockNotWhollyInside) {
    const std::array<std::uint8_t, 3> source{1, 2, 3};
    image.Write(size - 2, source.data(), 3);
    image.Write(-1, source.data(), 3);
    image.Write(0, source.data(), 0);
    image.Write(0, source.data(), -1);
    for (std::int32_t a : {0, 1, size - 2, size - 1})
        EXPECT_EQ(image.GetByte(a), 0x5A) << a;

    image.Write(size - 3, source.data(), 3);
    EXPECT_EQ(image.GetByte(size - 3), 1);
    EXPECT_EQ(image.GetByte(size - 1), 3);

    std::array<std::uint8_t, 3> out{9, 9, 9};
    image.Read(size - 2, out.data(), 3);
    image.Read(0, out.data(), 0);
    EXPECT_EQ(out, (std::array<std::uint8_t, 3>{9, 9, 9}));
    image.Read(size - 3, out.data(), 3);
    EXPECT_EQ(out, source);
}

TEST_F(Eeprom, WriteFromItsOwnOverlappingBytesShiftsCleanly) {
    for (int a = 0; a < 64; ++a)
        image.SetByte(a, static_cast<std::uint8_t>(a));
    image.Write(1, image.Data(), 63); // list operations shift entries in place
    EXPECT_EQ(image.GetByte(1), 0);
    EXPECT_EQ(image.GetByte(63), 62);
}

TEST_F(Eeprom, AssignAndEqualsCompareSizeAndEveryByte) {
    MemoryImage empty;
    MemoryImage copy;
    copy.Assign(image);
    EXPECT_TRUE(copy.Equals(image));
    copy.SetByte(size - 1, 0);
    EXPECT_TRUE(copy.Differs(image));

    MemoryImage shorter;
    shorter.Resize(size - 1);
    shorter.Fill(0x5A); // the common bytes agree
    EXPECT_FALSE(shorter.Equals(image));

    copy.Assign(empty);
    EXPECT_EQ(copy.Size(), 0);
    EXPECT_TRUE(copy.Equals(empty));
}

using EepromDeathTest = Eeprom;

TEST_F(EepromDeathTest, ByteAccessOutsideTheImageEndsTheProgram) {
    EXPECT_EXIT(image.GetByte(size), ::testing::ExitedWithCode(3),
                "Out of EEPROM image address \\(GetByte\\)\\.");
    EXPECT_EXIT(image.SetByte(-1, 0), ::testing::ExitedWithCode(3),
                "Out of EEPROM image address \\(SetByte\\)\\.");
    image.Resize(-5);
    EXPECT_EXIT(image.GetByte(0), ::testing::ExitedWithCode(3),
                "Out of EEPROM image address \\(GetByte\\)\\.");
}

} // namespace
