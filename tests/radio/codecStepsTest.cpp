#include "radio/codecSteps.h"

#include "codecTestSupport.h"
#include "sheets/cmcCellObj.h"

#include <gtest/gtest.h>

using namespace cmcCodec;
using namespace codecTest;

namespace {

struct FilterRow {
    const char* text;
    const char* extra;
    const char* kept;
};

class FilterTest : public ::testing::TestWithParam<FilterRow> {};

TEST_P(FilterTest, KeepsDigitsAndTheExtraSetOnly) {
    EXPECT_EQ(filter(GetParam().text, GetParam().extra), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FilterTest,
    ::testing::Values(FilterRow{"7,053.4 kHz", ".", "7053.4"}, FilterRow{"a-b+1", "-", "-1"},
                      FilterRow{"", ".", ""}, FilterRow{"\x01\t9\x7f", "", "9"},
                      // UTF-8: neither the lead nor the continuation bytes survive
                      FilterRow{"\xc3\xa9"
                                "1\xe2\x82\xac"
                                "2",
                                "", "12"},
                      FilterRow{"\xd9\xa3", "", ""})); // an Arabic-Indic three is no digit

struct NumberRow {
    std::string text;
    std::int64_t value;
};

class TypedNumberTest : public ::testing::TestWithParam<NumberRow> {};

TEST_P(TypedNumberTest, ReadsBoundedAndRoundsHalfAwayFromZero) {
    EXPECT_EQ(typedNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TypedNumberTest,
    ::testing::Values(NumberRow{"12", 12}, NumberRow{"2.5", 3}, NumberRow{"-2.5", -3},
                      NumberRow{"0.49", 0}, NumberRow{".5", 1}, NumberRow{"1-2", 1},
                      NumberRow{"--5", 0}, NumberRow{"5-", 5}, NumberRow{"1.2.3", 1},
                      NumberRow{"", 0}, NumberRow{"-", 0}, NumberRow{"x7y", 7},
                      NumberRow{"12345678901", 123456789}, // cut to nine characters
                      NumberRow{manyDigits(), 999999999},
                      NumberRow{"-" + manyDigits(), -99999999}));

struct EditorRow {
    const char* name;
    std::int32_t action;
    bool allowDot;
    const char* signs;
    bool spaceIsEnter;
    std::uint8_t result;
    const char* text; // the text the editor starts on (the shown text when none starts)
    std::int32_t selStart;
    std::int32_t selLength;
};

class EditorStartTest : public ::testing::TestWithParam<EditorRow> {};

TEST_P(EditorStartTest, OpensOnTheKeysItAccepts) {
    const EditorRow& row = GetParam();
    cmcCellCapsule request = keyed(row.action);
    showText(request, "  42 ");
    std::uint8_t result = kResultNone;
    editorStart(request, row.allowDot, row.signs, row.spaceIsEnter, result);
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(request.text, row.text);
    EXPECT_EQ(request.selStart, row.selStart);
    EXPECT_EQ(request.selLength, row.selLength);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EditorStartTest,
    ::testing::Values(EditorRow{"EnterTrims", 13, false, "", false, 2, "42", 0, 2},
                      EditorRow{"Digit", '7', false, "", false, 2, "7", 1, 0},
                      EditorRow{"DotAllowed", '.', true, "", false, 2, ".", 1, 0},
                      EditorRow{"DotRefused", '.', false, "", false, 0, "  42 ", 0, 5},
                      EditorRow{"Minus", '-', false, "-", false, 2, "-", 1, 0},
                      EditorRow{"PlusNotInSigns", '+', false, "-", false, 0, "  42 ", 0, 5},
                      EditorRow{"Plus", '+', false, "-+", false, 2, "+", 1, 0},
                      EditorRow{"SpaceAsEnter", 32, false, "", true, 2, "42", 0, 2},
                      EditorRow{"BackspaceAsEnter", 8, false, "", true, 2, "42", 0, 2},
                      EditorRow{"SpaceIgnored", 32, false, "", false, 0, "  42 ", 0, 5},
                      EditorRow{"Letter", 'a', true, "-+", true, 0, "  42 ", 0, 5},
                      EditorRow{"SpecialKey", 0x7200, true, "-+", true, 0, "  42 ", 0, 5}),
    rowName<EditorRow>);

TEST(EditorStart, NeedsAGrid) {
    cmcCellCapsule request = keyed(cmcCellCapsule::kEnter);
    request.grid = nullptr;
    std::uint8_t result = kResultNone;
    editorStart(request, true, "-", true, result);
    EXPECT_EQ(result, kResultNone);
}

struct RestrictionRow {
    bool editable;
    std::int32_t action;
    bool swallowed;
    bool olive;
};

class EditRestrictionTest : public ::testing::TestWithParam<RestrictionRow> {};

TEST_P(EditRestrictionTest, SwallowsTypedCharactersOfCellsThatMayNotBeEdited) {
    const RestrictionRow& row = GetParam();
    cmcCellCapsule request = keyed(row.action);
    EXPECT_EQ(editRestriction(request, row.editable), row.swallowed);
    EXPECT_EQ(request.action, row.swallowed ? 0 : row.action);
    EXPECT_EQ(request.fontColour, row.olive ? std::optional<cmcColour>(0x008080) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Rows, EditRestrictionTest,
                         ::testing::Values(RestrictionRow{true, 'x', false, false},
                                           RestrictionRow{false, 'x', true, true},
                                           RestrictionRow{false, 13, true, true},
                                           RestrictionRow{false, 126, true, true},
                                           RestrictionRow{false, 0, false, true},
                                           RestrictionRow{false, 0x7200, false, true},
                                           RestrictionRow{false, 256, false, true}));

void countCall(void* user, cmcCellCapsule& request, std::uint8_t bits) {
    *static_cast<int*>(user) += bits;
    request.text += "!";
}

TEST(CellCapsule, ACopyOwnsItsTextsAndSharesItsLinks) {
    cmcCellObj cell;
    cmcCellCapsule partner;
    const std::string extra = "row data";
    int calls = 0;

    cmcCellCapsule request;
    request.partner = &partner;
    request.cell = &cell;
    request.extra = &extra;
    request.rect = cmcCellRect{1, 2, 3, 4};
    request.inputText = "typed";
    request.text = "shown";
    request.block = {&partner, cmcCellBlock::Selected, 3, 9};
    request.onChange = {countCall, &calls};
    request.status = cmcCellCapsule::kInvalid;

    cmcCellCapsule copy = request;
    copy.text += " more";
    copy.inputText.clear();
    EXPECT_EQ(request.text, "shown");
    EXPECT_EQ(request.inputText, "typed");
    EXPECT_EQ(copy.partner, &partner);
    EXPECT_EQ(copy.cell, &cell);
    EXPECT_EQ(copy.extra, &extra);
    EXPECT_EQ(copy.rect->bottom, 4);
    EXPECT_EQ(copy.block.last, 9);
    EXPECT_EQ(copy.status, cmcCellCapsule::kInvalid);
    copy.onChange(copy, 8);
    EXPECT_EQ(calls, 8);
    EXPECT_EQ(copy.text, "shown more!");

    copy.Reset();
    EXPECT_EQ(copy.partner, nullptr);
    EXPECT_FALSE(copy.onChange.IsAssigned());
    EXPECT_FALSE(copy.rect.has_value());
    EXPECT_TRUE(copy.text.empty());
    EXPECT_EQ(copy.block.owner, nullptr);
    EXPECT_EQ(copy.status, 0);
}

} // namespace
