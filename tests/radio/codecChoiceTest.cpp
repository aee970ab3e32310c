#include "radio/codecChoice.h"

#include "codecTestSupport.h"
#include "radio/codecSteps.h"
#include "sheets/cellModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace marlo;

using namespace codec;
using namespace codecTest;

namespace {

// The items Low (0), Mid (2), High (5) in that order; records what it opened.
class ThreeItems : public SelectionLists {
public:
    std::string TextOf(std::string_view, int, std::int32_t v) override {
        return v == 0 ? "Low" : v == 2 ? "Mid" : v == 5 ? "High" : "error";
    }
    std::optional<std::int32_t> Step(std::string_view, int, std::int32_t v, int dir) override {
        const auto n = static_cast<int>(values.size());
        const auto at = std::find(values.begin(), values.end(), v) - values.begin();
        return n == 0 ? std::nullopt : std::optional(values[(at + dir + n) % n]);
    }
    void OpenList(CellRequest&, std::string_view key, int, std::int32_t v) override {
        opened.emplace_back(key, v);
    }

    std::vector<std::int32_t> values{0, 2, 5};
    std::vector<std::pair<std::string, std::int32_t>> opened;
};

class Selection : public ::testing::Test {
protected:
    // The request that brings a pick back: the picked item's request as partner.
    CellRequest pick(int label, std::int32_t index, std::uint8_t inputMode = 2) {
        item.label = label;
        item.index = index;
        itemRequest.cell = &item;
        CellRequest request;
        request.partner = &itemRequest;
        request.inputMode = inputMode;
        return request;
    }

    std::string run(CellRequest request, bool* changed = nullptr) {
        lastResult = kResultNone;
        const bool c = selectionByte(request, form, value, lists, lastResult);
        if (changed != nullptr)
            *changed = c;
        return request.text;
    }

    ThreeItems lists;
    const SelectionForm form{.listKey = "GI_Sheet_Sel_Comm_PwrSel", .kind = 1};
    CellModel item;
    CellRequest itemRequest;
    std::uint8_t value = 2;
    std::uint8_t lastResult = kResultNone;
};

} // namespace

TEST_F(Selection, APickOfTheListsKindSetsTheValueAndOthersChangeNothing) {
    EXPECT_EQ(run({}), "Mid");
    bool changed = false;
    EXPECT_EQ(run(pick(1, 5), &changed), "High");
    EXPECT_TRUE(changed);
    const std::tuple<int, std::int32_t, std::uint8_t> refused[] = {
        {2, 0, 2}, {1, 0, 1}, {1, 0, 0}, {1, 300, 2}, {1, -1, 2}}; // kind, index, input mode
    for (auto [label, index, mode] : refused) {
        EXPECT_EQ(run(pick(label, index, mode), &changed), "");
        EXPECT_FALSE(changed);
        EXPECT_EQ(value, 5) << label << " " << index << " " << int(mode);
    }
}

TEST_F(Selection, SpaceAndBackspaceStepAndEnterOpensTheList) {
    for (auto [action, after] : {std::pair{32, 5}, {32, 0}, {8, 5}}) {
        EXPECT_EQ(run(keyed(action)), lists.TextOf("", 1, after));
        EXPECT_EQ(value, after);
    }
    lists.values = {5, 300}; // a value the byte cannot hold is not stepped to
    bool changed = true;
    run(keyed(32), &changed);
    EXPECT_FALSE(changed);
    EXPECT_EQ(value, 5);

    run(keyed(13));
    EXPECT_EQ(lastResult, kResultListOpened);
    ASSERT_EQ(lists.opened.size(), 1u);
    EXPECT_EQ(lists.opened[0], std::pair(std::string("GI_Sheet_Sel_Comm_PwrSel"), 5));
}

class RecordingBitEditor : public BitEditorOpener {
public:
    void OpenBitEditor(CellRequest&, std::uint8_t v, std::string_view key) override {
        opened.emplace_back(key, v);
    }
    std::vector<std::pair<std::string, int>> opened;
};

TEST(HexByte, TypedOrChosenByteShownAsTwoDigitsRedWhileItDiffers) {
    // clang-format off
    const std::tuple<const char*, bool, std::uint8_t> rows[] = {
        {"a", true, 0x0A}, {"1f", true, 0x1F}, {"123", true, 0x12}, {"g7", true, 0x07},
        {"xyz", false, 0x55}, {"\xc3\xa9" "Fe", true, 0xFE}};
    // clang-format on
    std::uint8_t result = kResultNone;
    for (auto [input, changed, after] : rows) {
        std::uint8_t value = 0x55;
        CellRequest request = typed(input);
        EXPECT_EQ(hexByte(request, value, 0x55, nullptr, result), changed) << input;
        EXPECT_EQ(value, after) << input;
        EXPECT_EQ(request.fontColour.has_value(), after != 0x55);
    }
    CellModel chosen;
    CellRequest chooser;
    chooser.cell = &chosen;
    for (auto [index, after] :
         {std::pair{(0xAB << 18) | 0x3FFFF, 0xAB}, {0x100 << 18, 0x55}, {-1, 0x55}}) {
        chosen.index = index;
        CellRequest request;
        request.partner = &chooser;
        request.inputMode = CellRequest::kChosen;
        std::uint8_t value = 0x55;
        hexByte(request, value, 0, nullptr, result);
        EXPECT_EQ(request.text, after == 0xAB ? "AB" : "55") << index;
        EXPECT_EQ(request.fontColour, std::optional<Colour>(0x0000FF));
    }
}

TEST(HexByte, EnterOpensTheBitEditorAndHexDigitsTheTextEditor) {
    RecordingBitEditor editor;
    std::uint8_t value = 0x3C;
    for (auto [key, result] : {std::pair{13, kResultListOpened},
                               {'f', kResultOpenEditor},
                               {'g', kResultNone},
                               {' ', kResultNone}}) {
        CellRequest request = keyed(key);
        std::uint8_t got = kResultNone;
        hexByte(request, value, 0, &editor, got);
        EXPECT_EQ(got, result) << key;
    }
    EXPECT_EQ(editor.opened,
              (std::vector<std::pair<std::string, int>>{{"GI_Sheet_Sel_Bit_EeDebugWin", 0x3C}}));
}
