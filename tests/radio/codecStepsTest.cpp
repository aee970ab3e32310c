#include "radio/codecSteps.h"

#include "codecTestSupport.h"
#include "sheets/cellModel.h"

#include <gtest/gtest.h>

using namespace marlo;

using namespace codec;
using namespace codecTest;

TEST(CodecSteps, TypedNumberIsBoundedAndRoundsHalfAwayFromZero) {
    // clang-format off
    const std::pair<std::string, std::int64_t> rows[] = {
        {"2.5", 3}, {"-2.5", -3}, {"0.49", 0}, {".5", 1}, {"1-2", 1}, {"--5", 0}, {"1.2.3", 1},
        {"", 0}, {"x7y", 7}, {"\xd9\xa3", 0}, {"12345678901", 123456789},
        {kManyDigits, 999999999}, {"-" + kManyDigits, -99999999}};
    // clang-format on
    for (const auto& [text, value] : rows)
        EXPECT_EQ(typedNumber(text), value) << text;
}

TEST(CodecSteps, EditorStartOpensOnTheKeysItAccepts) {
    struct {
        std::int32_t action;
        bool allowDot;
        const char* signs;
        bool spaceIsEnter;
        const char* text; // what the editor starts on; null: it does not start
        std::int32_t selStart, selLength;
    } const rows[] = {
        // clang-format off
        {13,  false, "",   false, "42", 0, 2}, {'7', false, "", false, "7", 1, 0},
        {'.', true,  "",   false, ".", 1, 0},  {'.', false, "", false, nullptr, 0, 0},
        {'+', false, "-",  false, nullptr, 0, 0}, {'+', false, "-+", false, "+", 1, 0},
        {32,  false, "",   true,  "42", 0, 2}, {8, false, "", true, "42", 0, 2},
        {32,  false, "",   false, nullptr, 0, 0}, {0x7200, true, "-+", true, nullptr, 0, 0}};
    // clang-format on
    for (const auto& row : rows) {
        CellRequest request = keyed(row.action);
        showText(request, "  42 ");
        std::uint8_t result = kResultNone;
        editorStart(request, row.allowDot, row.signs, row.spaceIsEnter, result);
        SCOPED_TRACE(row.action);
        EXPECT_EQ(result, row.text ? kResultOpenEditor : kResultNone);
        EXPECT_EQ(request.text, row.text ? row.text : "  42 ");
        if (row.text) {
            EXPECT_EQ(std::pair(request.selStart, request.selLength),
                      std::pair(row.selStart, row.selLength));
        }
    }
    CellRequest display = keyed(13);
    display.grid = nullptr; // display only: keys mean nothing
    std::uint8_t result = kResultNone;
    editorStart(display, true, "-", true, result);
    EXPECT_EQ(result, kResultNone);
}

TEST(CodecSteps, EditRestrictionSwallowsTypedCharactersOnly) {
    for (auto [action, swallowed] :
         {std::pair{'x', true}, {13, true}, {126, true}, {0, false}, {0x7200, false}}) {
        CellRequest request = keyed(action);
        EXPECT_EQ(editRestriction(request, false), swallowed) << action;
        EXPECT_EQ(request.action, swallowed ? 0 : action);
        EXPECT_EQ(request.fontColour, std::optional<Colour>(0x008080));
    }
    CellRequest editable = keyed('x');
    EXPECT_FALSE(editRestriction(editable, true));
    EXPECT_EQ(editable.action, 'x');
    EXPECT_FALSE(editable.fontColour);
}

TEST(CellCapsule, ACopyOwnsItsTextsAndSharesItsLinks) {
    CellModel cell;
    CellRequest partner;
    int calls = 0;
    CellRequest request;
    request.partner = &partner;
    request.cell = &cell;
    request.text = "shown";
    request.block = {&partner, CellBlock::Selected, 3, 9};
    request.onChange = {
        [](void* user, CellRequest&, std::uint8_t bits) { *static_cast<int*>(user) += bits; },
        &calls};

    CellRequest copy = request;
    copy.text += " more";
    EXPECT_EQ(request.text, "shown");
    EXPECT_EQ(copy.partner, &partner);
    EXPECT_EQ(copy.cell, &cell);
    EXPECT_EQ(copy.block.last, 9);
    copy.onChange(copy, 8);
    EXPECT_EQ(calls, 8);

    copy.Reset();
    EXPECT_EQ(copy.partner, nullptr);
    EXPECT_FALSE(copy.onChange.IsAssigned());
    EXPECT_TRUE(copy.text.empty());
    EXPECT_EQ(copy.block.owner, nullptr);
}
