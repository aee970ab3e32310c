#include "sheets/selectionListCache.h"
#include "sheets/bitPickerSheet.h"
#include "sheets/cellNames.h"
#include "sheets/cellParser.h"
#include "sheets/overlayLineStore.h"
#include "sheets/sheetDef.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

const int kMode = labelNumber("CL_Sel_Mode_U");
const int kCall = labelNumber("CL_Sel_Call_U");

OverlayLineStore& overlay() {
    static OverlayLineStore store({
        "#CellModel_Basic",
        "",
        "#CellModel_iChI",
        "^",
        "#CellModel_iQp",
        "(%CL_Misc_QuarterPillar)",
        "#CellModel_eWh",
        "S<_WHB",
        "#CellModel_Sel",
        "S<W",
        "#Column_Cells",
        "{(%CL_Sel_Mode_U[0])}Zero",
        "{(%CL_Sel_Mode_U[1])}One",
        "{(%CL_Sel_Mode_U[2])}Two",
        "#",
        "#Grid_Cells",
        "|{($Sel)(%CL_Sel_Mode_U[4])}D|{($Sel)(%CL_Sel_Mode_U[1])}A",
        ":(LoopFrom 3)",
        "|{($Sel)(%CL_Sel_Mode_U[3])}C|{($Sel)(%CL_Sel_Mode_U[2])}B|{(%CL_Sel_Call_U[7]:Seven)}x",
        "",
        "#",
        "#Counted_Cells",
        "{(%CL_Sel_Mode_U[@ch0])(@ch0++)}first|{(%CL_Sel_Mode_U[@ch0])(@ch0++)}second",
        "{(%CL_Sel_Mode_U[@ch0])(@ch0++)}third|{(%CL_Sel_Call_U[@ch0])}call",
        "#",
        "#Reused_Cells",
        "{(%CT_UserCh.CL_Sel_Mode_U[5])}a|{(%CL_Sel_Mode_U)}b|{(%CL_Sel_Mode_U[1])}c",
        "#",
        "#Twins_Cells",
        "{(%CL_Sel_Mode_U[1])}first one|{(%CL_Sel_Mode_U[0])}zero|{(%CL_Sel_Mode_U[1])}second one",
        "#",
        "#Empty_Cells",
        "nothing bound",
        "#",
    });
    return store;
}

SelectionListCache makeCache() {
    return SelectionListCache(overlay().Store(), overlay().Store());
}

TEST(Hash2, HashesAsTheNameTablesDo) {
    EXPECT_EQ(SelectionListIndex::Bucket("", 1031), 0u);
    EXPECT_EQ(SelectionListIndex::Bucket("abc", 1031), 937u);
    EXPECT_EQ(SelectionListIndex::Bucket("abc", 101), 99u);
    EXPECT_EQ(SelectionListIndex::Bucket("abc", 0), 937u);
    EXPECT_EQ(SelectionListIndex().BucketCount(), 1031u);
}

TEST(Hash2, FindsWhatWasFiledByExactKey) {
    SelectionListIndex index(7);
    SelectionList a;
    SelectionList b;
    index.Add("S#1", &a);
    index.Add("S#10", &b);
    EXPECT_EQ(index.Find("S#1"), &a);
    EXPECT_EQ(index.Find("S#10"), &b);
    EXPECT_EQ(index.Find("s#1"), nullptr);
    EXPECT_EQ(index.Find(""), nullptr);
}

TEST(Hash2DeathTest, AKeyFiledTwiceEndsTheProgram) {
    SelectionListIndex index;
    SelectionList a;
    index.Add("S#1", &a);
    EXPECT_EXIT(index.Add("S#1", &a), ::testing::ExitedWithCode(3), "Overlapped Hash2 table\\.");
}

TEST(SelectionList, TextsOfValuesAndErrorForOthers) {
    SelectionListCache cache = makeCache();
    EXPECT_EQ(cache.TextOf("Column", kMode, 0), "Zero");
    EXPECT_EQ(cache.TextOf("Column", kMode, 2), "Two");
    EXPECT_EQ(cache.TextOf("Column", kMode, 5), "error");
    EXPECT_EQ(cache.TextOf("Column", kMode, -1), "error");
    EXPECT_EQ(cache.TextOf("Column", kCall, 0), "error") << "another label is another list";
}

struct StepCase {
    const char* sheet;
    std::int32_t from;
    int direction;
    std::int32_t to;
};

TEST(SelectionList, StepsInReadingOrderAndWraps) {
    SelectionListCache cache = makeCache();
    cache.TextOf("Column", kMode, 0);
    cache.TextOf("Grid", kMode, 0);
    const StepCase cases[] = {
        {"Column", 0, +1, 1},
        {"Column", 2, +1, 0},
        {"Column", 0, -1, 2},
        {"Column", 1, -1, 0},
        {"Column", 9, +1, 0}, // an unknown value: forward to the first entry,
        {"Column", 9, -1, 2}, // back to the last
        // Down the first column (D, C), then the second (A, B).
        {"Grid", 4, +1, 3},
        {"Grid", 3, +1, 1},
        {"Grid", 1, +1, 2},
        {"Grid", 2, +1, 4},
        {"Grid", 4, -1, 2},
        {"Grid", 9, +1, 4},
        {"Grid", 9, -1, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cache.Step(c.sheet, kMode, c.from, c.direction), c.to)
            << c.sheet << " " << c.from << " " << c.direction;
    }
}

TEST(SelectionList, StepNeedsABuiltListWithEntries) {
    SelectionListCache cache = makeCache();
    EXPECT_FALSE(cache.Step("Column", kMode, 0, +1));
    EXPECT_EQ(cache.Find("Column", kMode), nullptr);
    EXPECT_EQ(cache.TextOf("Empty", kMode, 0), "error");
    EXPECT_FALSE(cache.Step("Empty", kMode, 0, +1));
    EXPECT_FALSE(cache.Step("Empty", kMode, 0, -1));
}

TEST(SelectionList, ListsRecordTheirShape) {
    SelectionListCache cache = makeCache();
    cache.TextOf("Grid", kMode, 0);
    const SelectionList* grid = cache.Find("Grid", kMode);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->lineCount, 4);
    EXPECT_EQ(grid->widestLine, 4);
    ASSERT_EQ(grid->entries.size(), 4u) << "loops are not expanded in lists";
    EXPECT_EQ(grid->entries[2].line, 2);
    EXPECT_EQ(grid->entries[2].column, 1);
    EXPECT_EQ(grid->entries[2].value, 3);
    EXPECT_EQ(grid->entries[2].text, "C");
    EXPECT_EQ(cache.TextOf("Grid", kCall, 7), "Seven") << "the parameter comes before the text";
}

TEST(SelectionList, CountersStartFromZeroForEveryList) {
    SelectionListCache cache = makeCache();
    EXPECT_EQ(cache.TextOf("Counted", kMode, 0), "first");
    EXPECT_EQ(cache.TextOf("Counted", kMode, 2), "third");
    EXPECT_EQ(cache.TextOf("Counted", kMode, 3), "error") << "both passes count alike";
    // The second list of the sheet counts from zero again: three increments.
    EXPECT_EQ(cache.TextOf("Counted", kCall, 3), "call");
    ASSERT_EQ(cache.Find("Counted", kCall)->entries.size(), 1u);
}

TEST(SelectionList, OneReusedModelKeepsTheIndexOfTheCellBefore) {
    SelectionListCache cache = makeCache();
    EXPECT_EQ(cache.TextOf("Reused", kMode, 5), "a");
    const SelectionList* list = cache.Find("Reused", kMode);
    ASSERT_EQ(list->entries.size(), 3u);
    EXPECT_EQ(list->entries[1].value, 5);
    EXPECT_EQ(list->entries[1].text, "b");
}

TEST(SelectionList, EqualValuesKeepTheirReadingOrder) {
    SelectionListCache cache = makeCache();
    EXPECT_EQ(cache.TextOf("Twins", kMode, 1), "first one");
    EXPECT_EQ(cache.Step("Twins", kMode, 1, +1), 0);
}

TEST(BitPicker, BuiltInEntriesDefineTheBitSheetWithoutTheOverlayFile) {
    // Every entry the picker's sheet names is in its own store: an overlay with
    // none of them (the shipped one has no cell models) is never asked.
    BitPickerSheet bits;
    SheetDef def(bits.Store(), BitPickerSheet::kSheetKey, bits.Store());
    def.Build();
    EXPECT_EQ(def.Style().fixedCols, 1);
    EXPECT_EQ(def.Style().fixedRows, 1);
    EXPECT_EQ(def.BaseCell().popupMenu, "GI_PMenu_NoItem");
    EXPECT_EQ(def.RowCount(), 6);
    ASSERT_EQ(def.ColCount(), 16);
    for (int bit = 7; bit >= 0; --bit) {
        const int col = 1 + 2 * (7 - bit);
        EXPECT_EQ(def.Cell(col, 1).model.Text(), std::to_string(bit));
        EXPECT_GT(def.ColWidth(col), 8); // headings and bits fit their text
        const CellModel& cell = def.Cell(col, 3).model;
        EXPECT_EQ(cell.label, labelNumber("CL_FBits"));
        EXPECT_EQ(cell.index, bit);
        EXPECT_TRUE(cell.IsSelectable());
        EXPECT_EQ(cell.HAlign(), 1);
        if (bit > 0) {
            EXPECT_EQ(def.Cell(col + 1, 3).model.label, labelNumber("CL_Misc_QuarterPillar"));
        }
    }
    EXPECT_EQ(def.FirstSelectableCol(), 1);
    EXPECT_EQ(def.FirstSelectableRow(), 3);

    SelectionListCache cache(bits.Store(), bits.Store());
    EXPECT_EQ(cache.TextOf(BitPickerSheet::kSheetKey, labelNumber("CL_FBits"), 3), "9");
    EXPECT_EQ(cache.Step(BitPickerSheet::kSheetKey, labelNumber("CL_FBits"), 0, +1), 7);

    // Its context menu: one item, the engine's "no item".
    CellModel base;
    CellModel item;
    const CellParser parser(bits.Store());
    parser.SplitCell(bits.Store().GetLine("GI_PMenu_NoItem_BasicCell"), base, nullptr, nullptr);
    const std::string line = bits.Store().GetLine("GI_PMenu_NoItem_Body");
    parser.SplitCell(line.substr(line.find('+') + 1), item, &base, nullptr);
    EXPECT_EQ(item.category, categoryNumber("CT_PopupMenu"));
    EXPECT_EQ(item.label, labelNumber("CL_PMenu_NoItem"));
    EXPECT_EQ(bits.Store().GetLine("GI_PMenu_NoItem_Body", 1)[0], '#');
}

} // namespace
