#include "radio/listRecord.h"

#include "entryTestImage.h"

#include <gtest/gtest.h>

using namespace marlo;

using Bytes = std::vector<std::uint8_t>;

namespace {

class ListEntryTest : public ::testing::Test {
protected:
    void SetUp() override { makeImage(image); }

    MemoryImage image;
    ListRecord entry{&image};
};

} // namespace

TEST(ListTable, TransmitEdgesHoldMoreRowsThanTheSheetAndUnknownTypesNone) {
    EXPECT_EQ(ListRecord::LastIndex(listTxEdge), 0);
    EXPECT_EQ(ListRecord::LastStoredIndex(listTxEdge), 10);
    EXPECT_FALSE(ListRecord::CanMoveRows(listModeReg));
    for (std::uint8_t unknown : {0, 8, 255}) {
        EXPECT_EQ(ListRecord::LastIndex(unknown), 0);
        EXPECT_FALSE(ListRecord::CanMoveRows(unknown));
        EXPECT_EQ(ListRecord::LastStoredIndex(unknown), -1);
    }
}

TEST_F(ListEntryTest, ChannelStoreWritesEveryFieldInPlace) {
    image.SetByte(975 + 9, 0x14); // low bits of the edit-flag byte belong to the radio
    entry.Load(listUserChannel, 10);
    entry.channelNumber = 1234;
    entry.scanGroup = 2;
    entry.rxFrequency = 7053450;
    entry.txFrequency = 14230000;
    entry.state = ListRecord::stateUsed;
    entry.mode = 3;
    entry.filter = 1;
    entry.callKind = 3;
    entry.editFlag = 1;
    entry.aleIndex = 7;
    entry.name = textField<15>("HARBOUR");
    entry.Store(listNone, 10);

    EXPECT_EQ(bytesAt(image, 975, 10), (Bytes{7, 5, 34, 14, 23, 0, 3, 1, 3, 0x94}));
    EXPECT_EQ(bytesAt(image, 985, 15), Bytes(entry.name.begin(), entry.name.end()));
    EXPECT_EQ(image.GetByte(1000), 7);
    EXPECT_EQ(bytesAt(image, 13735, 2), (Bytes{0xD2, 0x04}));
    EXPECT_EQ(image.GetByte(14725), 2);
    EXPECT_EQ(image.GetByte(32778), 3); // call-kind mirror

    ListRecord back(&image);
    back.Load(listUserChannel, 10);
    EXPECT_EQ(back.rxFrequency, 7053400); // 100 Hz resolution
    EXPECT_EQ(back.txFrequency, 14230000);
    EXPECT_EQ(back.channelNumber, 1234u);
    EXPECT_EQ(back.editFlag, 1);
    EXPECT_EQ(back.state, ListRecord::stateUsed);

    back.editFlag = 0;
    back.Store(listNone, 10);
    EXPECT_EQ(image.GetByte(975 + 9), 0x14);
}

TEST_F(ListEntryTest, ChannelUsedAndEmptyBits) {
    const struct {
        Bytes number;
        Bytes frequencies;
        std::uint8_t state;
    } rows[] = {
        {{0xFF, 0xFF}, {7, 5, 34, 7, 5, 34}, 0}, // no number: unused whatever else is set
        {{0, 0}, {0, 0, 0, 0, 0, 1}, ListRecord::stateUsed | ListRecord::stateRxEmpty},
        {{1, 0}, {7, 5, 34, 0, 0, 0}, ListRecord::stateUsed | ListRecord::stateTxEmpty},
    };
    for (const auto& row : rows) {
        image.Write(13715, row.number.data(), 2);
        image.Write(715, row.frequencies.data(), 6);
        entry.Load(listUserChannel, 0);
        EXPECT_EQ(entry.state, row.state) << int(row.number[0]);
    }
}

TEST_F(ListEntryTest, AnEmptyBitStoresZeroFrequency) {
    putBytes(image, 715, {7, 5, 34, 7, 5, 34});
    entry.Load(listUserChannel, 0);
    entry.state |= ListRecord::stateTxEmpty; // what the codec does when the text is cleared
    entry.StoreAndReload();
    EXPECT_EQ(bytesAt(image, 718, 3), (Bytes{0, 0, 0}));
    EXPECT_EQ(entry.rxFrequency, 7053400);
    EXPECT_EQ(entry.txFrequency, 0);
}

TEST_F(ListEntryTest, ScanGroupIsLimitedToThreeBothWays) {
    const std::uint8_t raw[] = {0, 2, 3, 4, 7, 255};
    for (std::uint8_t v : raw) {
        image.SetByte(14715 + 42, v);
        entry.Load(listUserChannel, 42);
        const std::uint8_t expected = std::min<std::uint8_t>(v, 3);
        EXPECT_EQ(entry.scanGroup, expected) << int(v);
        entry.Store(listNone, 42);
        EXPECT_EQ(image.GetByte(14715 + 42), expected) << int(v);
    }
    entry.scanGroup = 9;
    entry.Store(listNone, 42);
    EXPECT_EQ(image.GetByte(14715 + 42), 3);
}

TEST_F(ListEntryTest, CallKindMirrorFollowsEveryChannelStore) {
    for (int slot : {0, 17, 499}) {
        entry.Load(listUserChannel, slot);
        entry.callKind = ListRecord::aleCallKind;
        entry.Store(listNone, slot);
    }
    EXPECT_EQ(image.GetByte(32768), 3);
    EXPECT_EQ(image.GetByte(32768 + 499), 3);
    EXPECT_EQ(entry.AleChannelCount(), 3);

    entry.Load(listUserChannel, 17);
    entry.callKind = 1;
    entry.Store(listNone, 17);
    EXPECT_EQ(image.GetByte(32768 + 17), 1);
    EXPECT_EQ(entry.AleChannelCount(), 2);
}

TEST_F(ListEntryTest, BandEdgesAreSignedLittleEndian) {
    entry.Load(listRxEdge, 0);
    entry.low = 30000;
    entry.high = 29999999;
    entry.Store(listNone, 0);
    EXPECT_EQ(bytesAt(image, 15313, 8), (Bytes{0x30, 0x75, 0, 0, 0x7F, 0xC3, 0xC9, 0x01}));

    entry.Load(listTxEdge, 10); // beyond the sheet's one row, still in the image
    entry.low = -1;
    entry.high = 1600000;
    entry.Store(listNone, 10);
    EXPECT_EQ(bytesAt(image, 15401, 8), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x6A, 0x18, 0x00}));
    entry.Reload();
    EXPECT_EQ(entry.low, -1);
    EXPECT_EQ(entry.high, 1600000);
}

TEST_F(ListEntryTest, ModeRegistrationNameAndUseFlag) {
    putText(image, 15409 + 10, "AM   ");
    image.SetByte(15289 + 2, 1);
    entry.Load(listModeReg, 2);
    EXPECT_EQ(entry.modeName, textField<5>("AM"));
    EXPECT_EQ(entry.modeUse, 1);
    EXPECT_TRUE(entry.isUsed());
    EXPECT_EQ(entry.ModeNameOf(2), "AM   ");
    EXPECT_TRUE(entry.ModeIsUsable(2));
    EXPECT_FALSE(entry.ModeIsUsable(3));

    entry.modeName = textField<5>("A3E");
    entry.modeUse = 0;
    entry.Store(listNone, 2);
    EXPECT_EQ(entry.ModeNameOf(2), "A3E  ");
    EXPECT_FALSE(entry.ModeIsUsable(2));
    // mode indexes from a corrupt channel never reach outside the table
    EXPECT_EQ(entry.ModeNameOf(200), "");
    EXPECT_FALSE(entry.ModeIsUsable(9));
    EXPECT_FALSE(entry.ModeIsUsable(-1));
}

TEST_F(ListEntryTest, SelectiveCallIdUnusedTest) {
    const std::int32_t rec = 21574 + 38 * 3;
    putText(image, rec, "PORT OFFICE    ");
    putBytes(image, rec + 15, {100, 12, 34});
    entry.Load(listSelCallId, 3);
    EXPECT_FALSE(entry.isUsed());
    EXPECT_EQ(entry.callId, (std::array<std::uint8_t, 3>{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(entry.name, textField<15>("PORT OFFICE"));

    entry.callId = {12, 34, 56};
    entry.SetRange(0, 5, 20);
    entry.StoreAndReload();
    EXPECT_TRUE(entry.isUsed());
    EXPECT_EQ(bytesAt(image, rec + 15, 7), (Bytes{12, 34, 56, 5, 0, 20, 0}));

    EXPECT_EQ(entry.RangeFrom(0), 5);
    EXPECT_EQ(entry.RangeTo(0), 20);
    entry.SetRange(1, 0, 10000); // 0 and above 9999 read as none
    EXPECT_EQ(entry.RangeFrom(1), ListRecord::noChannel);
    EXPECT_EQ(entry.RangeTo(1), ListRecord::noChannel);

    entry.callId = {150, 1, 2}; // the store applies the same test to what it writes
    entry.Store(listNone, 3);
    EXPECT_FALSE(entry.isUsed());
    EXPECT_EQ(bytesAt(image, rec + 15, 3), (Bytes{0xFF, 0xFF, 0xFF}));
}

TEST_F(ListEntryTest, AleAddressAndIdn) {
    const std::int32_t rec = 15454 + 51 * 5;
    image.Write(rec, std::vector<std::uint8_t>(51, 0xFF).data(), 51);
    putText(image, rec, "SHIP1");
    putBytes(image, rec + 15, {0xFF, 'J', 'U', 'N', 'K'});
    image.SetByte(rec + 50, 40);
    entry.Load(listAleId, 5);
    EXPECT_TRUE(entry.isUsed());
    EXPECT_FALSE(entry.idnPresent);
    EXPECT_EQ(Bytes(entry.aleIdn.begin(), entry.aleIdn.end()), Bytes(15, 0xFF));
    EXPECT_EQ(entry.slotTime, 40);
    EXPECT_EQ(entry.AleAddressOf(5), "SHIP1" + std::string(10, ' ')); // 0xFF shown as spaces
    entry.Store(listNone, 5);
    EXPECT_EQ(bytesAt(image, rec + 15, 15), Bytes(15, 0xFF));

    // An IDN typed into the bytes is stored even though the loaded flag said absent.
    entry.aleIdn = textField<15>("NET");
    entry.StoreAndReload();
    EXPECT_TRUE(entry.idnPresent);
    EXPECT_EQ(bytesAt(image, rec + 15, 3), (Bytes{'N', 'E', 'T'}));

    entry.aleAddress.fill(0xFF);
    entry.aleAddress[3] = 'X';
    entry.Store(listNone, 5);
    EXPECT_FALSE(entry.isUsed());
    EXPECT_EQ(bytesAt(image, rec, 15), Bytes(15, 0xFF));
}

TEST_F(ListEntryTest, AleDuplicatesLookOnlyAtEarlierUsedEntries) {
    for (int i = 0; i < 120; ++i)
        image.Write(15454 + 51 * i, Bytes(15, 0xFF).data(), 15);
    putText(image, 15454 + 51 * 2, "SHIP1");
    putText(image, 15454 + 51 * 6, "SHIP1");
    EXPECT_FALSE(entry.AleAddressIsDuplicated(2));
    EXPECT_TRUE(entry.AleAddressIsDuplicated(6));
    EXPECT_FALSE(entry.AleAddressIsDuplicated(7)); // unused entries are no repeats
    EXPECT_FALSE(entry.AleAddressIsDuplicated(255));
    EXPECT_EQ(entry.AleAddressOf(255), "");
}

TEST_F(ListEntryTest, TelephoneNumberUnusedTest) {
    const std::int32_t rec = 25374 + 23 * 4;
    putBytes(image, rec + 15, {0x12, 0x34, 0x5F, 0, 0, 0, 0, 0});
    entry.Load(listTelNumber, 4);
    EXPECT_TRUE(entry.isUsed());
    EXPECT_EQ(entry.telNumber[2], 0x5F);

    image.SetByte(rec + 15, 0xA0);
    entry.Reload();
    EXPECT_FALSE(entry.isUsed());
    EXPECT_EQ(Bytes(entry.telNumber.begin(), entry.telNumber.end()), Bytes(8, 0xFF));
}

TEST_F(ListEntryTest, BlankEntriesAsStored) {
    fillRandom(image, 3);
    image.SetByte(715 + 26 * 2 + 9, 0xFF);
    const Bytes spaces(15, ' ');
    const Bytes ff(20, 0xFF);
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    const struct {
        std::uint8_t type;
        std::int32_t at;
        Bytes bytes;
    } rows[] = {
        {listUserChannel, 715 + 26 * 2, join({{0, 0, 0, 0, 0, 0, 1, 0, 0, 0x7F}, spaces, {255}})},
        {listUserChannel, 13715 + 2 * 2, {0xFF, 0xFF}},
        {listUserChannel, 14715 + 2, {0}},
        {listUserChannel, 32768 + 2, {0}},
        {listSelCallId, 21574 + 38 * 2, join({spaces, Bytes(3, 0xFF), ff})},
        {listAleId, 15454 + 51 * 2, join({Bytes(30, 0xFF), ff, {1}})},
        {listTelNumber, 25374 + 23 * 2, join({spaces, Bytes(8, 0xFF)})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at);
        entry.MakeBlank(row.type, 2);
        entry.Store(listNone, 2);
        EXPECT_EQ(bytesAt(image, row.at, static_cast<std::int32_t>(row.bytes.size())), row.bytes);
        entry.Reload();
        EXPECT_FALSE(entry.isUsed());
        EXPECT_FALSE(entry.idnPresent);
    }
}

TEST_F(ListEntryTest, IndexesOutsideTheListAreNeitherReadNorWritten) {
    MemoryImage before;
    const struct {
        std::uint8_t type;
        std::int32_t index;
    } rows[] = {{listUserChannel, 500}, {listUserChannel, -1},
                {listRxEdge, 1},        {listTxEdge, 11},
                {listModeReg, 9},       {listSelCallId, 100},
                {listAleId, 120},       {listTelNumber, 100},
                {listNone, 0},          {9, 0}};
    fillRandom(image, 7);
    before.Assign(image);
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << int(row.type) << "/" << row.index);
        entry.MakeBlank(row.type, row.index);
        entry.Store(row.type, row.index);
        EXPECT_TRUE(image.Equals(before));
        entry.Load(row.type, row.index);
        EXPECT_FALSE(entry.isUsed());
        EXPECT_EQ(entry.type, row.type);
        EXPECT_EQ(entry.index, row.index);
        EXPECT_EQ(entry.channelNumber, 0u);
    }
}
