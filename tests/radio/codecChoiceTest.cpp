#include "radio/codecChoice.h"

#include "codecTestSupport.h"
#include "radio/cmcCellCapsule.h"
#include "radio/codecSteps.h"
#include "sheets/cmcCellObj.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace cmcCodec;
using namespace codecTest;

namespace {

// A list of the values 0, 2 and 5 in that order, answering for one key and kind.
class ThreeItemList : public cmcSelectionLists {
public:
    std::string TextOf(std::string_view listKey, int kind, std::int32_t value) override {
        if (listKey != key || kind != itemKind)
            return "wrong list";
        return value == 0 ? "Low" : value == 2 ? "Mid" : value == 5 ? "High" : "error";
    }

    std::optional<std::int32_t> Step(std::string_view listKey, int kind, std::int32_t value,
                                     int direction) override {
        if (listKey != key || kind != itemKind || values.empty())
            return std::nullopt;
        const auto at = std::find(values.begin(), values.end(), value);
        const auto n = static_cast<std::ptrdiff_t>(values.size());
        const std::ptrdiff_t i = at == values.end() ? 0 : (at - values.begin() + direction + n) % n;
        return values[static_cast<std::size_t>(i)];
    }

    void OpenList(cmcCellCapsule& request, std::string_view listKey, int kind,
                  std::int32_t value) override {
        opened.push_back({&request, std::string(listKey), kind, value});
    }

    struct Opened {
        cmcCellCapsule* request;
        std::string key;
        int kind;
        std::int32_t value;
    };

    std::string key = "GI_Sheet_Sel_Comm_PwrSel";
    int itemKind = 1;
    std::vector<std::int32_t> values{0, 2, 5};
    std::vector<Opened> opened;
};

class SelectionTest : public ::testing::Test {
protected:
    // The request that delivers a pick: the picked item's request as partner.
    cmcCellCapsule pickOf(int label, std::int32_t index, std::uint8_t inputMode = 2) {
        item.label = label;
        item.index = index;
        itemRequest.cell = &item;
        cmcCellCapsule request;
        request.partner = &itemRequest;
        request.inputMode = inputMode;
        return request;
    }

    bool apply(cmcCellCapsule& request) {
        lastResult = kResultNone;
        return selectionByte(request, form, value, lists, lastResult);
    }

    ThreeItemList lists;
    cmcSelectionForm form{.listKey = "GI_Sheet_Sel_Comm_PwrSel", .kind = 1};
    cmcCellObj item;
    cmcCellCapsule itemRequest;
    std::uint8_t value = 2;
    std::uint8_t lastResult = kResultNone;
};

TEST_F(SelectionTest, ShowsTheItemTextOfTheValue) {
    cmcCellCapsule paint = shown();
    EXPECT_FALSE(apply(paint));
    EXPECT_EQ(paint.text, "Mid");
    EXPECT_EQ(paint.selLength, 3);
}

TEST_F(SelectionTest, APickOfTheListsKindSetsTheValue) {
    cmcCellCapsule pick = pickOf(1, 5);
    EXPECT_TRUE(apply(pick));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(pick.text, "High");
}

TEST_F(SelectionTest, OtherPicksChangeNothingAndShowNothing) {
    struct {
        const char* name;
        int label;
        std::int32_t index;
        std::uint8_t inputMode;
    } const rows[] = {{"another kind", 2, 5, 2},
                      {"edited text, not a pick", 1, 5, 1},
                      {"no input", 1, 5, 0},
                      {"beyond a byte", 1, 300, 2},
                      {"negative", 1, -1, 2}};
    for (const auto& row : rows) {
        cmcCellCapsule pick = pickOf(row.label, row.index, row.inputMode);
        EXPECT_FALSE(apply(pick)) << row.name;
        EXPECT_EQ(value, 2) << row.name;
        EXPECT_EQ(pick.text, "") << row.name;
    }
    cmcCellCapsule noCell;
    noCell.partner = &itemRequest;
    itemRequest.cell = nullptr;
    noCell.inputMode = 2;
    EXPECT_FALSE(apply(noCell));
}

TEST_F(SelectionTest, SpaceAndBackspaceStepThroughTheList) {
    cmcCellCapsule space = keyed(cmcCellCapsule::kSpace);
    EXPECT_TRUE(apply(space));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(space.text, "High");
    EXPECT_TRUE(apply(space));
    EXPECT_EQ(value, 0);
    cmcCellCapsule back = keyed(cmcCellCapsule::kBackspace);
    EXPECT_TRUE(apply(back));
    EXPECT_EQ(value, 5);

    lists.values.clear(); // a list that offers nothing to step to
    EXPECT_FALSE(apply(space));
    EXPECT_EQ(value, 5);

    lists.values = {0, 300};
    value = 0;
    EXPECT_FALSE(apply(space)); // a value the byte cannot hold is not stepped to
    EXPECT_EQ(value, 0);
}

TEST_F(SelectionTest, EnterOpensTheListWithTheValueMarked) {
    cmcCellCapsule enter = keyed(cmcCellCapsule::kEnter);
    EXPECT_FALSE(apply(enter));
    EXPECT_EQ(lastResult, kResultListOpened);
    ASSERT_EQ(lists.opened.size(), 1u);
    EXPECT_EQ(lists.opened[0].request, &enter);
    EXPECT_EQ(lists.opened[0].key, "GI_Sheet_Sel_Comm_PwrSel");
    EXPECT_EQ(lists.opened[0].value, 2);

    cmcCellCapsule letter = keyed('m');
    apply(letter);
    EXPECT_EQ(lastResult, kResultNone);
    EXPECT_EQ(lists.opened.size(), 1u);
}

class RecordingBitEditor : public cmcBitEditorOpener {
public:
    void OpenBitEditor(cmcCellCapsule& request, std::uint8_t value,
                       std::string_view listKey) override {
        requests.push_back(&request);
        values.push_back(value);
        keys.emplace_back(listKey);
    }

    std::vector<cmcCellCapsule*> requests;
    std::vector<std::uint8_t> values;
    std::vector<std::string> keys;
};

TEST(HexByte, TypedHexDigitsSetTheByte) {
    struct {
        const char* input;
        bool changed;
        std::uint8_t value;
    } const rows[] = {{"a", true, 0x0A},
                      {"1f", true, 0x1F},
                      {"123", true, 0x12},
                      {"g7", true, 0x07},
                      {"xyz", false, 0x55},
                      {"", false, 0x55},
                      {"\xc3\xa9"
                       "Fe",
                       true, 0xFE}};
    for (const auto& row : rows) {
        std::uint8_t value = 0x55;
        std::uint8_t result = kResultNone;
        cmcCellCapsule request = typed(row.input);
        EXPECT_EQ(hexByte(request, value, 0x55, nullptr, result), row.changed) << row.input;
        EXPECT_EQ(value, row.value) << row.input;
    }
}

TEST(HexByte, ShownAsTwoDigitsAndRedWhileItDiffers) {
    std::uint8_t value = 0x0A;
    std::uint8_t result = kResultNone;
    cmcCellCapsule paint = shown();
    hexByte(paint, value, 0x0A, nullptr, result);
    EXPECT_EQ(paint.text, "0A");
    EXPECT_FALSE(paint.fontColour.has_value());

    cmcCellCapsule differs = shown();
    hexByte(differs, value, 0x0B, nullptr, result);
    EXPECT_EQ(differs.fontColour, std::optional<cmcColour>(0x0000FF));
}

TEST(HexByte, TheBitEditorsChoiceComesBackShifted) {
    cmcCellObj chosen;
    cmcCellCapsule chooser;
    chooser.cell = &chosen;
    for (auto [index, changed, expected] : {std::tuple{0xAB << 18, true, 0xAB},
                                            {(0xAB << 18) | 0x3FFFF, true, 0xAB},
                                            {0x100 << 18, false, 0x55},
                                            {-1, false, 0x55}}) {
        chosen.index = index;
        cmcCellCapsule request;
        request.partner = &chooser;
        request.inputMode = cmcCellCapsule::kChosen;
        std::uint8_t value = 0x55;
        std::uint8_t result = kResultNone;
        EXPECT_EQ(hexByte(request, value, 0, nullptr, result), changed) << index;
        EXPECT_EQ(value, expected) << index;
    }
}

TEST(HexByte, EnterOpensTheBitEditorAndHexDigitsTheTextEditor) {
    RecordingBitEditor editor;
    std::uint8_t value = 0x3C;
    std::uint8_t result = kResultNone;
    cmcCellCapsule enter = keyed(cmcCellCapsule::kEnter);
    hexByte(enter, value, 0, &editor, result);
    EXPECT_EQ(result, kResultListOpened);
    ASSERT_EQ(editor.values.size(), 1u);
    EXPECT_EQ(editor.values[0], 0x3C);
    EXPECT_EQ(editor.keys[0], "GI_Sheet_Sel_Bit_EeDebugWin");
    EXPECT_EQ(editor.requests[0], &enter);

    for (auto [key, opens] : {std::pair{'f', true}, {'9', true}, {'g', false}, {' ', false}}) {
        cmcCellCapsule request = keyed(key);
        result = kResultNone;
        hexByte(request, value, 0, &editor, result);
        EXPECT_EQ(result, opens ? kResultOpenEditor : kResultNone) << key;
    }
    EXPECT_EQ(editor.values.size(), 1u);
}

} // namespace
