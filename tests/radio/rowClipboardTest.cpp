#include "radio/rowClipboard.h"

#include "entryTestImage.h"

#include <gtest/gtest.h>

using namespace marlo;

using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::int32_t telRecord(std::int32_t i) {
    return 25374 + 23 * i;
}

// Telephone entry i gets the name "T<i>" and the number digits of i.
void putTel(MemoryImage& image, std::int32_t i) {
    ListRecord entry(&image);
    entry.Load(listTelNumber, i);
    entry.name = textField<15>("T" + std::to_string(i));
    entry.telNumber.fill(0xFF);
    entry.telNumber[0] = static_cast<std::uint8_t>(0x10 + i % 10);
    entry.Store(listNone, i);
}

class EntryClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeImage(image);
        for (std::int32_t i = 0; i < 100; ++i)
            putTel(image, i);
        before.Assign(image);
    }

    MemoryImage image;
    MemoryImage before;
    ProgramRowClipboard clipboard;
};

} // namespace

TEST_F(EntryClipboardTest, CarriesEntriesBetweenImages) {
    MemoryImage source;
    makeImage(source);
    fillRandom(source, 5);
    ListRecord canonical(&source);
    for (std::int32_t i = 10; i <= 12; ++i) { // bring the garbage into stored form first
        canonical.Load(listSelCallId, i);
        canonical.Store(listNone, i);
    }
    clipboard.CopyFrom(source, listSelCallId, 10, 3);
    EXPECT_EQ(clipboard.heldType(), listSelCallId);
    EXPECT_EQ(clipboard.heldFirst(), 10);
    EXPECT_EQ(clipboard.heldCount(), 3);

    clipboard.PasteTo(image, listSelCallId, 40, 3);
    EXPECT_EQ(bytesAt(image, 21574 + 38 * 40, 3 * 38), bytesAt(source, 21574 + 38 * 10, 3 * 38));
}

TEST_F(EntryClipboardTest, PastesOnlyOntoItsOwnList) {
    clipboard.CopyFrom(image, listSelCallId, 0, 4);
    EXPECT_TRUE(clipboard.Accepts(listSelCallId));
    EXPECT_FALSE(clipboard.Accepts(listAleId));
    clipboard.PasteTo(image, listAleId, 0, 4);
    clipboard.PasteTo(image, listNone, 0, 4);
    EXPECT_TRUE(image.Equals(before));

    clipboard.Clear();
    EXPECT_FALSE(clipboard.Accepts(listSelCallId));
    EXPECT_FALSE(clipboard.Accepts(listNone));
    EXPECT_EQ(clipboard.heldCount(), 0);
}

TEST_F(EntryClipboardTest, PastesAtMostTheRoomGiven) {
    const struct {
        std::int32_t room;
        std::int32_t stored;
    } rows[] = {{3, 3}, {5, 5}, {10, 5}, {0, 0}, {-2, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.room);
        image.Assign(before);
        clipboard.CopyFrom(image, listTelNumber, 0, 5);
        clipboard.PasteTo(image, listTelNumber, 50, row.room);
        for (std::int32_t i = 0; i < 6; ++i) {
            const std::int32_t from = i < row.stored ? i : 50 + i;
            EXPECT_EQ(bytesAt(image, telRecord(50 + i), 23), bytesAt(before, telRecord(from), 23))
                << "row " << 50 + i;
        }
    }
}

TEST_F(EntryClipboardTest, HeldEntriesAreCopiesSoBlocksMayOverlap) {
    clipboard.CopyFrom(image, listTelNumber, 0, 3);
    clipboard.PasteTo(image, listTelNumber, 1, 3);
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(bytesAt(image, telRecord(i + 1), 23), bytesAt(before, telRecord(i), 23));
    EXPECT_EQ(bytesAt(image, telRecord(0), 23), bytesAt(before, telRecord(0), 23));
}

TEST_F(EntryClipboardTest, CountIsCutToTheList) {
    clipboard.CopyFrom(image, listTelNumber, 0, 1000000);
    EXPECT_EQ(clipboard.heldCount(), 100);
    const struct {
        std::uint8_t type;
        std::int32_t count;
    } refused[] = {{listTelNumber, 0}, {listTelNumber, -3}, {listNone, 4}, {12, 4}};
    for (const auto& row : refused) {
        clipboard.CopyFrom(image, row.type, 0, row.count);
        EXPECT_EQ(clipboard.heldCount(), 0);
        EXPECT_EQ(clipboard.heldType(), listNone);
    }
}

TEST_F(EntryClipboardTest, BlockPastTheEndHoldsOnlyTheRowsInside) {
    clipboard.CopyFrom(image, listTelNumber, 98, 5);
    EXPECT_EQ(clipboard.heldCount(), 2);
    clipboard.PasteTo(image, listTelNumber, 0, 5);
    EXPECT_EQ(bytesAt(image, telRecord(1), 23), bytesAt(before, telRecord(99), 23));
    EXPECT_EQ(bytesAt(image, telRecord(2), 23), bytesAt(before, telRecord(2), 23));
}

TEST_F(EntryClipboardTest, FillBlankChannelsDropsTheirAleCallKind) {
    ListRecord channel(&image);
    for (std::int32_t slot = 0; slot < 4; ++slot) {
        channel.Load(listUserChannel, slot);
        channel.channelNumber = static_cast<std::uint32_t>(slot + 1);
        channel.callKind = ListRecord::aleCallKind;
        channel.Store(listNone, slot);
    }
    ASSERT_EQ(channel.AleChannelCount(), 4);
    clipboard.FillBlank(image, listUserChannel, 1, 2);
    EXPECT_EQ(clipboard.heldFirst(), 1);
    EXPECT_EQ(clipboard.heldCount(), 2);
    EXPECT_EQ(clipboard.Held(1).index, 2);
    clipboard.PasteTo(image, listUserChannel, 1, 2);
    EXPECT_EQ(channel.AleChannelCount(), 2);
    // An emptied channel keeps its call kind but no longer counts.
    channel.Load(listUserChannel, 3);
    channel.channelNumber = ListRecord::noChannel;
    channel.Store(listNone, 3);
    EXPECT_EQ(channel.AleChannelCount(), 1);
    channel.channelNumber = 4;
    channel.Store(listNone, 3);
    channel.Load(listUserChannel, 2);
    EXPECT_FALSE(channel.isUsed());
    EXPECT_EQ(channel.mode, 1);
    EXPECT_EQ(channel.aleIndex, ListRecord::noAle);
    channel.Load(listUserChannel, 3);
    EXPECT_EQ(channel.channelNumber, 4u);
}
