#include "radio/codecDigits.h"

#include "codecTestSupport.h"
#include "entryTestImage.h"
#include "radio/ListEntry.h"
#include "radio/codecSteps.h"
#include "sheets/cmcCellObj.h"

#include <gtest/gtest.h>

using namespace cmcCodec;
using namespace codecTest;
using Bytes = std::vector<std::uint8_t>;

namespace {

class DigitFieldTest : public ::testing::Test {
protected:
    void SetUp() override { makeImage(image); }

    cmcEeprom image;
    ListEntry entry{&image};
    std::uint8_t result = kResultNone;
};

struct SelCallRow {
    const char* name;
    std::string input;
    bool longIds;
    Bytes stored;
    const char* text;
};

class SelCallIdTest : public DigitFieldTest, public ::testing::WithParamInterface<SelCallRow> {};

TEST_P(SelCallIdTest, DigitsAreRightAlignedOrTheEntryIsCleared) {
    const SelCallRow& row = GetParam();
    entry.load(listSelCallId, 3);
    cmcCellCapsule request = typed(row.input);
    EXPECT_TRUE(selCallId(request, entry.callId, row.longIds, result));
    EXPECT_EQ(request.text, row.text);
    entry.storeAndReload();
    EXPECT_EQ(bytesAt(image, 21574 + 38 * 3 + 15, 3), row.stored);
    EXPECT_EQ(entry.isUsed(), row.stored[0] < 100);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SelCallIdTest,
    ::testing::Values(SelCallRow{"ShortShowsFourPlaces", "12", false, {0, 0, 12}, "  0012"},
                      SelCallRow{"LongShowsSix", "12", true, {0, 0, 12}, "000012"},
                      SelCallRow{"LongFull", "123456", true, {12, 34, 56}, "123456"},
                      SelCallRow{"ShortTooLongClears", "12345", false, {255, 255, 255}, ""},
                      SelCallRow{"LongTooLongClears", "1234567", true, {255, 255, 255}, ""},
                      SelCallRow{"SeparatorsDropped", "12-34", false, {0, 12, 34}, "  1234"},
                      SelCallRow{"EmptyClears", "", true, {255, 255, 255}, ""},
                      SelCallRow{"ThousandDigitsClear", manyDigits(), true, {255, 255, 255}, ""}),
    rowName<SelCallRow>);

TEST_F(DigitFieldTest, SelCallKeysEditTheTrimmedId) {
    entry.load(listSelCallId, 0);
    entry.callId = {0, 0, 12};
    for (auto [action, opens, text] : {std::tuple{32, true, "0012"},
                                       {13, true, "0012"},
                                       {'4', true, "4"},
                                       {'-', false, "  0012"}}) {
        cmcCellCapsule request = keyed(action);
        result = kResultNone;
        EXPECT_FALSE(selCallId(request, entry.callId, false, result));
        EXPECT_EQ(result, opens ? kResultOpenEditor : kResultNone) << action;
        EXPECT_EQ(request.text, text) << action;
    }
}

TEST_F(DigitFieldTest, SelfIdTakesExactlyNineDigitsWithinItsFiveBytes) {
    const std::int32_t at = 700;
    image.SetByte(at + 5, 0x5A);
    struct {
        const char* input;
        Bytes stored;
        const char* text;
    } const rows[] = {{"123456789", {12, 34, 56, 78, 90}, "123456789"},
                      {"1234 5678 9", {12, 34, 56, 78, 90}, "123456789"},
                      {"12345678", {255, 255, 255, 255, 255}, ""},
                      {"1234567890", {255, 255, 255, 255, 255}, ""},
                      {"", {255, 255, 255, 255, 255}, ""}};
    for (const auto& row : rows) {
        cmcCellCapsule request = typed(row.input);
        EXPECT_TRUE(selfId(request, {image.Data() + at, 8}, result)) << row.input;
        EXPECT_EQ(bytesAt(image, at, 5), row.stored) << row.input;
        EXPECT_EQ(request.text, row.text) << row.input;
        EXPECT_EQ(image.GetByte(at + 5), 0x5A);
    }

    // Too short a field, as at the very end of the image, is left alone.
    cmcCellCapsule request = typed("123456789");
    EXPECT_FALSE(selfId(request, {image.Data() + at, 4}, result));
    EXPECT_EQ(image.GetByte(at), 255);
    EXPECT_EQ(request.text, "");
}

TEST_F(DigitFieldTest, TelephoneNumberPacksUpToSixteenDigits) {
    entry.load(listTelNumber, 9);
    struct {
        std::string input;
        Bytes stored;
        const char* text;
    } const rows[] = {
        {"0123456789", {0x01, 0x23, 0x45, 0x67, 0x89, 0xFF, 0xFF, 0xFF}, "0123456789"},
        {"+61 (8) 9", {0x61, 0x89, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "6189"},
        {"1234567890123456", {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56}, "1234567890123456"},
        {"12345678901234567", Bytes(8, 0xFF), ""},
        {"", Bytes(8, 0xFF), ""},
        {manyDigits(), Bytes(8, 0xFF), ""},
    };
    for (const auto& row : rows) {
        cmcCellCapsule request = typed(row.input);
        EXPECT_TRUE(telNumber(request, entry.telNumber, result));
        EXPECT_EQ(Bytes(entry.telNumber.begin(), entry.telNumber.end()), row.stored) << row.input;
        EXPECT_EQ(request.text, row.text) << row.input;
    }

    entry.telNumber = {0x12, 0x3A, 0x45, 0, 0, 0, 0, 0};
    cmcCellCapsule paint = shown();
    telNumber(paint, entry.telNumber, result);
    EXPECT_EQ(paint.text, "123");
}

struct RangeRow {
    const char* input;
    bool changed;
    std::uint16_t from;
    std::uint16_t to;
    const char* text;
};

class ChannelRangeTest : public DigitFieldTest, public ::testing::WithParamInterface<RangeRow> {
protected:
    void SetUp() override {
        DigitFieldTest::SetUp();
        entry.load(listAleId, 2);
        entry.channelRanges.fill(0xFF);
        entry.setRange(2, 100, 200);
        cell.parameter = "2";
    }

    cmcCellObj cell;
};

TEST_P(ChannelRangeTest, StoresThePairInOrder) {
    const RangeRow& row = GetParam();
    const auto others = entry.channelRanges;
    cmcCellCapsule request = typed(row.input);
    request.cell = &cell;
    EXPECT_EQ(channelRange(request, entry, result), row.changed);
    EXPECT_EQ(entry.rangeFrom(2), row.from);
    EXPECT_EQ(entry.rangeTo(2), row.to);
    EXPECT_EQ(request.text, row.text);
    for (int pair : {0, 1, 3, 4}) {
        EXPECT_EQ(entry.rangeFrom(pair), ListEntry::noChannel);
        EXPECT_EQ(entry.rangeTo(pair), ListEntry::noChannel);
    }
    EXPECT_TRUE(std::equal(others.begin(), others.begin() + 8, entry.channelRanges.begin()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChannelRangeTest,
    ::testing::Values(RangeRow{"20-5", true, 5, 20, "5-20"}, RangeRow{"7", true, 7, 7, "7"},
                      RangeRow{"0", true, 0xFFFF, 0xFFFF, ""}, RangeRow{"-5", true, 1, 5, "1-5"},
                      RangeRow{"5-", true, 5, 5, "5"}, RangeRow{"0-5", true, 5, 5, "5"},
                      RangeRow{"3+4", true, 34, 34, "34"},
                      RangeRow{"1-10000", false, 100, 200, "100-200"},
                      RangeRow{"12345678901", false, 100, 200, "100-200"},
                      RangeRow{"", false, 100, 200, "100-200"},
                      RangeRow{"ch", false, 100, 200, "100-200"}));

TEST_F(DigitFieldTest, ChannelRangeNeedsAPairNumberOnTheCell) {
    entry.load(listSelCallId, 1);
    entry.setRange(0, 4, 4);
    const auto before = entry.channelRanges;
    for (const char* parameter : {"5", "99999999999", "-1"}) {
        cmcCellObj cell;
        cell.parameter = parameter;
        cmcCellCapsule request = typed("8-9");
        request.cell = &cell;
        EXPECT_FALSE(channelRange(request, entry, result)) << parameter;
        EXPECT_EQ(request.text, "");
    }
    cmcCellObj bare;
    cmcCellCapsule request = typed("8-9");
    request.cell = &bare;
    EXPECT_FALSE(channelRange(request, entry, result));
    EXPECT_EQ(entry.channelRanges, before);
}

TEST_F(DigitFieldTest, ChannelRangeKeysAcceptSigns) {
    entry.load(listSelCallId, 1);
    cmcCellObj cell;
    cell.parameter = "0";
    for (auto [action, opens] : {std::pair{'-', true}, {'+', true}, {' ', true}, {'.', false}}) {
        cmcCellCapsule request = keyed(action);
        request.cell = &cell;
        result = kResultNone;
        channelRange(request, entry, result);
        EXPECT_EQ(result, opens ? kResultOpenEditor : kResultNone) << action;
    }
}

TEST(CodeDisplay, GroupsDigitsAndStopsAtTheFirstNonDigit) {
    struct {
        Bytes bytes;
        const char* text;
    } const rows[] = {{{0x12, 0x34, 0x56, 0x78, 0x90}, "123-456-7890"},
                      {{0x12, 0x3F, 0x56, 0x78, 0x90}, "123"},
                      {{0x12, 0x34, 0xFF, 0x78, 0x90}, "123-4"},
                      {{0xA1, 0x34, 0x56, 0x78, 0x90}, ""},
                      {{0x12}, "12"}};
    for (const auto& row : rows) {
        cmcCellCapsule paint = shown();
        codeDisplay(paint, row.bytes);
        EXPECT_EQ(paint.text, row.text);
    }
}

} // namespace
