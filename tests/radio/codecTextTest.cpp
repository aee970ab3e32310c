#include "radio/codecText.h"

#include "codecTestSupport.h"
#include "entryTestImage.h"
#include "radio/ListEntry.h"
#include "radio/codecSteps.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace cmcCodec;
using namespace codecTest;

namespace {

class NameTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeImage(image);
        entry.load(listTelNumber, 4);
    }

    bool apply(cmcCellCapsule& request) {
        lastResult = kResultNone;
        return nameText(request, entry.name, lastResult);
    }

    cmcEeprom image;
    ListEntry entry{&image};
    std::uint8_t lastResult = kResultNone;
};

struct NameRow {
    const char* name;
    std::string input;
    const char* field; // 15 characters
};

class NameInputTest : public NameTextTest, public ::testing::WithParamInterface<NameRow> {};

TEST_P(NameInputTest, FillsTheFieldWithPrintableCharacters) {
    cmcCellCapsule request = typed(GetParam().input);
    EXPECT_TRUE(apply(request));
    EXPECT_EQ(entry.name, textField<15>(GetParam().field));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NameInputTest,
    ::testing::Values(NameRow{"Short", "Harbour", "Harbour        "},
                      NameRow{"Cut", "Harbour master's office", "Harbour master'"},
                      NameRow{"Controls",
                              "A\tB\x01"
                              "C\x7f",
                              "A B C          "},
                      // one place per UTF-8 character, not per byte
                      NameRow{"Utf8",
                              "Gr\xc3\xb6\xc3\x9f"
                              "e",
                              "Gr  e          "},
                      NameRow{"StrayContinuationBytes",
                              "\x80\x80"
                              "A",
                              "  A            "},
                      NameRow{"Empty", "", "               "},
                      NameRow{"LongUtf8", std::string(40, '\xe2'), "               "}),
    rowName<NameRow>);

TEST_F(NameTextTest, ShownTrimmedAndStoredThroughTheEntry) {
    cmcCellCapsule request = typed("  Port  ");
    apply(request);
    EXPECT_EQ(request.text, "Port");
    EXPECT_EQ(request.selLength, 4);
    entry.storeAndReload();
    const auto stored = textField<15>("  Port");
    EXPECT_EQ(bytesAt(image, 25374 + 23 * 4, 15),
              std::vector<std::uint8_t>(stored.begin(), stored.end()));
}

TEST_F(NameTextTest, NeverWritesPastAFieldOfTheImage) {
    // The clone comment: 16 characters at 699, followed by the radio's own byte.
    image.SetByte(715, 0xA5);
    cmcCellCapsule request = typed(std::string(200, 'Z'));
    std::uint8_t result = kResultNone;
    EXPECT_TRUE(nameText(request, {image.Data() + 699, 16}, result));
    EXPECT_EQ(bytesAt(image, 699, 16), std::vector<std::uint8_t>(16, 'Z'));
    EXPECT_EQ(image.GetByte(715), 0xA5);
    EXPECT_EQ(image.GetByte(698), 0);
}

TEST_F(NameTextTest, KeysOpenTheEditor) {
    cmcCellCapsule name = typed(" Bay ");
    apply(name);
    struct {
        std::int32_t action;
        std::uint8_t result;
        const char* text;
    } const rows[] = {{13, 2, "Bay"}, {32, 2, "Bay"}, {8, 2, "Bay"},     {'#', 2, "#"},
                      {'~', 2, "~"},  {1, 0, "Bay"},  {0x7200, 0, "Bay"}};
    for (const auto& row : rows) {
        cmcCellCapsule request = keyed(row.action);
        EXPECT_FALSE(apply(request));
        EXPECT_EQ(lastResult, row.result) << row.action;
        EXPECT_EQ(request.text, row.text) << row.action;
    }
}

TEST(NameAlphabet, EveryOtherCharacterBecomesASpace) {
    std::array<std::uint8_t, 15> field = textField<15>("A#b~c\"d;e?f'g@");
    field[14] = 0xFF;
    keepNameAlphabet(field);
    EXPECT_EQ(field, textField<15>("A b c d e f'g@ "));

    std::vector<std::uint8_t> whole(kNameAlphabet.begin(), kNameAlphabet.end());
    const auto before = whole;
    keepNameAlphabet(whole);
    EXPECT_EQ(whole, before);
}

class AleTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeImage(image);
        entry.load(listAleId, 7);
    }

    bool apply(cmcCellCapsule& request) {
        lastResult = kResultNone;
        return aleText(request, entry.aleAddress, lastResult);
    }

    cmcEeprom image;
    ListEntry entry{&image};
    std::uint8_t lastResult = kResultNone;
};

struct AleRow {
    const char* name;
    std::string input;
    const char* stored; // empty: cleared to 0xFF
};

class AleInputTest : public AleTextTest, public ::testing::WithParamInterface<AleRow> {};

TEST_P(AleInputTest, KeepsTheAlphabetUpperCasedOrClears) {
    const AleRow& row = GetParam();
    cmcCellCapsule request = typed(row.input);
    EXPECT_TRUE(apply(request));
    entry.storeAndReload();
    std::array<std::uint8_t, 15> expected{};
    expected.fill(0xFF);
    std::copy(row.stored, row.stored + std::strlen(row.stored), expected.begin());
    EXPECT_EQ(entry.aleAddress, expected);
    EXPECT_EQ(entry.isUsed(), *row.stored != '\0');
}

INSTANTIATE_TEST_SUITE_P(Rows, AleInputTest,
                         ::testing::Values(AleRow{"UpperCased", "ship1", "SHIP1"},
                                           AleRow{"OthersDropped", "ab-c d!e", "ABCDE"},
                                           AleRow{"Marks", "@?_", "@?_"},
                                           AleRow{"Fifteen", "abcdefghijklmno", "ABCDEFGHIJKLMNO"},
                                           AleRow{"SixteenClears", "abcdefghijklmnop", ""},
                                           AleRow{"Empty", "", ""},
                                           AleRow{"OnlyOthers", "!!! ---", ""},
                                           AleRow{"Utf8Dropped", "\xc3\xa9mile", "MILE"},
                                           AleRow{"ThousandDigits", manyDigits('1'), ""}),
                         rowName<AleRow>);

TEST_F(AleTextTest, ShownWithUnusedBytesAsSpaces) {
    cmcCellCapsule request = typed("net7");
    apply(request);
    EXPECT_EQ(request.text, "NET7");
    cmcCellCapsule clear = typed("");
    apply(clear);
    EXPECT_EQ(clear.text, "");
}

TEST_F(AleTextTest, KeysOfTheAlphabetOpenTheEditor) {
    struct {
        std::int32_t action;
        std::uint8_t result;
    } const rows[] = {{'x', 2}, {'?', 2}, {'7', 2}, {32, 2}, {8, 2}, {13, 2}, {'!', 0}, {'-', 0}};
    for (const auto& row : rows) {
        cmcCellCapsule request = keyed(row.action);
        apply(request);
        EXPECT_EQ(lastResult, row.result) << row.action;
    }
}

} // namespace
