#include "radio/codecDigits.h"

#include "codecTestSupport.h"
#include "entryTestImage.h"
#include "radio/codecSteps.h"
#include "radio/listRecord.h"
#include "sheets/cellModel.h"

#include <gtest/gtest.h>

using namespace marlo;

using namespace codec;
using namespace codecTest;
using Bytes = std::vector<std::uint8_t>;

namespace {

class DigitCodecs : public ::testing::Test {
protected:
    void SetUp() override { makeImage(image); }

    MemoryImage image;
    ListRecord entry{&image};
    std::uint8_t result = kResultNone;
};

const Bytes kCleared3(3, 0xFF);

} // namespace

TEST_F(DigitCodecs, SelCallIdIsRightAlignedWithZerosOrCleared) {
    const std::tuple<std::string, bool, Bytes, const char*> rows[] = {
        {"12", false, {0, 0, 12}, "  0012"},
        {"12", true, {0, 0, 12}, "000012"},
        {"123456", true, {12, 34, 56}, "123456"},
        {"12-34", false, {0, 12, 34}, "  1234"},
        {"", true, kCleared3, ""}};
    for (const auto& [input, longIds, stored, text] : rows) {
        entry.Load(listSelCallId, 3);
        CellRequest request = typed(input);
        EXPECT_TRUE(selCallId(request, entry.callId, longIds, result));
        EXPECT_EQ(request.text, text) << input;
        entry.StoreAndReload();
        EXPECT_EQ(bytesAt(image, 21574 + 38 * 3 + 15, 3), stored) << input;
        EXPECT_EQ(entry.isUsed(), stored != kCleared3);
    }
    entry.callId = {0, 0, 12};
    CellRequest space = keyed(' ');
    selCallId(space, entry.callId, false, result);
    EXPECT_EQ(result, kResultOpenEditor);
    EXPECT_EQ(space.text, "0012");
}

// A digit too few or too many is a typo: it keeps the ID and says why, where
// switching the ID off would lose it without a word. Empty switches it off.
TEST_F(DigitCodecs, SelfIdTakesExactlyNineDigitsWithinItsFiveBytes) {
    const std::int32_t at = 700;
    image.SetByte(at + 5, 0x5A);
    const Bytes id = {12, 34, 56, 78, 90};
    const std::tuple<const char*, bool, Bytes, const char*> rows[] = {
        {"1234 5678 9", true, id, "123456789"},
        {"12345678", false, id, "123456789"},
        {"1234567890", false, id, "123456789"},
        {"", true, Bytes(5, 0xFF), ""},
        {"98765-4321", true, {98, 76, 54, 32, 10}, "987654321"}};
    for (const auto& [input, changed, stored, text] : rows) {
        CellRequest request = typed(input);
        EXPECT_EQ(selfId(request, {image.Data() + at, 8}, result), changed) << input;
        EXPECT_EQ(bytesAt(image, at, 5), stored) << input;
        EXPECT_EQ(request.text, text) << input;
        EXPECT_EQ(request.refusedHint.find("exactly 9 digits") != std::string::npos, !changed)
            << input;
    }
    EXPECT_EQ(image.GetByte(at + 5), 0x5A);
    CellRequest request = typed("123456789");
    EXPECT_FALSE(selfId(request, {image.Data() + at, 4}, result)); // too short a field
    EXPECT_EQ(image.GetByte(at), 98);
}

TEST_F(DigitCodecs, TelephoneNumberPacksUpToSixteenDigits) {
    entry.Load(listTelNumber, 9);
    const std::tuple<std::string, Bytes, const char*> rows[] = {
        {"+61 (8) 9", {0x61, 0x89, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "6189"},
        {"1234567890123456", {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56}, "1234567890123456"},
        {"", Bytes(8, 0xFF), ""}};
    for (const auto& [input, stored, text] : rows) {
        CellRequest request = typed(input);
        EXPECT_TRUE(telNumber(request, entry.telNumber, result));
        EXPECT_EQ(Bytes(entry.telNumber.begin(), entry.telNumber.end()), stored) << input;
        EXPECT_EQ(request.text, text);
    }
    entry.telNumber = {0x12, 0x3A, 0x45, 0, 0, 0, 0, 0};
    CellRequest paint;
    telNumber(paint, entry.telNumber, result);
    EXPECT_EQ(paint.text, "123");
}

// More than a key field takes would erase the entry, and a stray character would
// store another ID: each is refused instead, and the request says why.
TEST_F(DigitCodecs, KeyFieldsRefuseTooManyDigitsAndKeepTheEntry) {
    const std::tuple<std::string, bool, std::int32_t> selCalls[] = {
        {"12345", false, 4}, {"1234567", true, 6}, {kManyDigits, true, 6}};
    for (const auto& [input, longIds, most] : selCalls) {
        std::array<std::uint8_t, 3> id = {0, 12, 34};
        CellRequest request = typed(input);
        EXPECT_FALSE(selCallId(request, id, longIds, result)) << input;
        EXPECT_EQ(id, (std::array<std::uint8_t, 3>{0, 12, 34})) << input;
        EXPECT_EQ(request.refusedAbove, most) << input;
        EXPECT_EQ(request.text, longIds ? "001234" : "  1234") << input;
    }
    // A letter in an ID is a typo, not a separator: dropping it stores another ID.
    for (const char* input : {"12X4", "1O23", "12.4",
                              "\xc2\xa0"
                              "1234\xef\xbc\x95"}) {
        std::array<std::uint8_t, 3> id = {0, 12, 34};
        CellRequest request = typed(input);
        EXPECT_FALSE(selCallId(request, id, false, result)) << input;
        EXPECT_EQ(id, (std::array<std::uint8_t, 3>{0, 12, 34})) << input;
        EXPECT_NE(request.refusedHint.find("only digits"), std::string::npos) << input;
    }
    std::array<std::uint8_t, 8> number = {0x12, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const auto kept = number;
    CellRequest request = typed("12345678901234567");
    EXPECT_FALSE(telNumber(request, number, result));
    EXPECT_EQ(number, kept);
    EXPECT_EQ(request.refusedAbove, 16);
    EXPECT_EQ(request.text, "123");
}

TEST_F(DigitCodecs, ChannelRangeStoresThePairInOrder) {
    CellModel cell;
    cell.parameter = "2";
    const std::tuple<const char*, bool, std::uint16_t, std::uint16_t, const char*> rows[] = {
        {"20-5", true, 5, 20, "5-20"},
        {"7", true, 7, 7, "7"},
        {"0", true, 0xFFFF, 0xFFFF, ""},
        {"-5", true, 1, 5, "1-5"},
        {"0-5", true, 5, 5, "5"},
        {"3+4", true, 34, 34, "34"},
        {"1-10000", false, 100, 200, "100-200"},
        {"12345678901", false, 100, 200, "100-200"},
        {"", false, 100, 200, "100-200"}};
    for (auto [input, changed, from, to, text] : rows) {
        entry.Load(listAleId, 2);
        entry.channelRanges.fill(0xFF);
        entry.SetRange(2, 100, 200);
        CellRequest request = typed(input);
        request.cell = &cell;
        EXPECT_EQ(channelRange(request, entry, result), changed) << input;
        EXPECT_EQ(std::pair(entry.RangeFrom(2), entry.RangeTo(2)), std::pair(from, to)) << input;
        EXPECT_EQ(request.text, text);
        EXPECT_EQ(Bytes(entry.channelRanges.begin(), entry.channelRanges.begin() + 8),
                  Bytes(8, 0xFF));
    }
    const auto before = entry.channelRanges;
    for (const char* parameter : {"5", "-1", "x"}) {
        cell.parameter = parameter;
        CellRequest request = typed("8-9");
        request.cell = &cell;
        EXPECT_FALSE(channelRange(request, entry, result)) << parameter;
    }
    EXPECT_EQ(entry.channelRanges, before);
}

TEST(CodeDisplay, GroupsDigitsAndStopsAtTheFirstNonDigit) {
    const std::pair<Bytes, const char*> rows[] = {{{0x12, 0x34, 0x56, 0x78, 0x90}, "123-456-7890"},
                                                  {{0x12, 0x3F, 0x56, 0x78, 0x90}, "123"},
                                                  {{0x12, 0x34, 0xFF}, "123-4"},
                                                  {{0xA1}, ""}};
    for (const auto& [bytes, text] : rows) {
        CellRequest paint;
        codeDisplay(paint, bytes);
        EXPECT_EQ(paint.text, text);
    }
}
