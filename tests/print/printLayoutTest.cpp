// The arithmetic of a printout: margins and point sizes read from the overlay,
// the page area they leave, the cutting of a sheet into pages, and the nodes
// that print all walks through.
#include "print/printPagination.h"
#include "print/printSettings.h"
#include "print/printTreeNodes.h"
#include "radio/cellLabels.h"
#include "sheets/overlayLineStore.h"
#include "sheets/sheetDescriptor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace marlo;

namespace {

TEST(PrintSettings, MarginsAreFourNumbersOfMillimetres) {
    struct Case {
        const char* text;
        std::optional<PrintMargins> expected;
    };
    const Case cases[] = {
        {"15,12,12,12", PrintMargins{15, 12, 12, 12}},
        {" 10 , 0,\t20 ,1000", PrintMargins{10, 0, 20, 1000}},
        {"10,10,10", std::nullopt},
        {"10,10,10,10,10", std::nullopt},
        {"10,10,,10", std::nullopt},
        {"a,b,c,d", std::nullopt},
        {"10mm,10,10,10", std::nullopt},
        {"-5,10,10,10", std::nullopt},
        {"10,10,10,1001", std::nullopt},
        {"99999999999,1,1,1", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parsePrintMargins(c.text), c.expected) << '"' << c.text << '"';
}

TEST(PrintSettings, PointSizesFromOneToSeventyTwo) {
    EXPECT_EQ(parsePrintPoints("9"), 9);
    EXPECT_EQ(parsePrintPoints(" 72 "), 72);
    EXPECT_EQ(parsePrintPoints("1"), 1);
    for (const char* bad : {"0", "73", "1000", "-9", "9pt", "", "nine"})
        EXPECT_EQ(parsePrintPoints(bad), std::nullopt) << bad;
}

TEST(PrintSettings, MarginsConvertWithTheVerticalResolutionAndDropTheFraction) {
    // 10 mm at 600 dpi: 236.22 pixels; the right and bottom edges are cut from
    // the page size minus the exact margin.
    EXPECT_EQ(printPageRect({10, 10, 10, 10}, 600, 4960, 7016), (PageRect{236, 236, 4723, 6779}));
    EXPECT_EQ(printPageRect({15, 12, 0, 25}, 1200, 9921, 14031), (PageRect{708, 566, 9921, 12849}));
    EXPECT_EQ(printPointsToPixels(9, 600), 75);
    EXPECT_EQ(printPointsToPixels(8, 1200), 133);
}

std::vector<int> widthsOf(int first, int count, int each) {
    std::vector<int> widths(static_cast<std::size_t>(count) + 1, each);
    widths[0] = first;
    return widths;
}

TEST(PrintPagination, ColumnsFillEachPageBesideTheFixedOnes) {
    struct Case {
        const char* what;
        std::vector<int> widths;
        int fixed;
        std::vector<bool> mayBegin; // empty: every column may begin a page
        int width;
        std::vector<PrintGroup> expected;
    };
    const Case cases[] = {
        {"fits on one page", widthsOf(10, 4, 10), 1, {}, 100, {{1, 4}}},
        {"39 columns of 100 beside a fixed 50, on 1000",
         widthsOf(50, 39, 100),
         1,
         {},
         1000,
         {{1, 9}, {10, 9}, {19, 9}, {28, 9}, {37, 3}}},
        {"exactly full pages", widthsOf(10, 4, 10), 0, {}, 20, {{0, 2}, {2, 2}, {4, 1}}},
        {"a column wider than the page gets a page of its own",
         {10, 30, 500, 30},
         1,
         {},
         100,
         {{1, 1}, {2, 1}, {3, 1}}},
        {"a page never begins at a continued header",
         widthsOf(10, 6, 10),
         1,
         {true, true, true, false, false, true, true},
         40,
         {{1, 1}, {2, 3}, {5, 2}}},
        {"a run without a break point stays on one page, too wide",
         {10, 30, 30, 30},
         1,
         {true, true, false, false},
         50,
         {{1, 3}}},
        {"only fixed columns", {10}, 1, {}, 100, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printColumnGroups(c.widths, c.fixed, c.mayBegin, c.width), c.expected) << c.what;
}

TEST(PrintPagination, RowsFillEachPageBelowTheFixedOnes) {
    EXPECT_EQ(printRowGroups(std::vector<int>{20, 10, 10, 10, 10, 10}, 1, 45),
              (std::vector<PrintGroup>{{1, 2}, {3, 2}, {5, 1}}));
    EXPECT_EQ(printRowGroups(std::vector<int>{20, 100, 10}, 1, 45),
              (std::vector<PrintGroup>{{1, 1}, {2, 1}}));
    EXPECT_EQ(printRowGroups(std::vector<int>{10, 10, 10}, 0, 1000),
              (std::vector<PrintGroup>{{0, 3}}));
    // Rows of no height never make a group longer than its count can hold.
    const auto flat = printRowGroups(std::vector<int>(70000, 0), 0, 100);
    ASSERT_EQ(flat.size(), 2U);
    EXPECT_EQ(flat[0], (PrintGroup{0, 65535}));
    EXPECT_EQ(flat[1], (PrintGroup{65535, 70000 - 65535}));
}

TEST(PrintNodes, DescriptorsAndTreeOrder) {
    const auto d = parseSheetDescriptor("[St_Common]GI_Sheet_Common_General,Top");
    EXPECT_EQ(d.className, "St_Common");
    EXPECT_EQ(d.key, "GI_Sheet_Common_General");
    EXPECT_EQ(d.options, "Top");
    EXPECT_EQ(parseSheetDescriptor("GI_Sheet_UserCh").key, "GI_Sheet_UserCh");
    EXPECT_EQ(parseSheetDescriptor("[Open").key, "[Open");

    OverlayLineStore lines(
        {"#T_BasicCell", "{(%CT_Null.)}", "#T_Body", "+{(%CT_Null.CallSheet:[St_Common]K1)}A",
         " +{(%CT_Null.CallSheet:K2)}B", "   +Folder", " +{(%CT_Null.CallSheet:K3,opt)}C", "+D",
         "#U_BasicCell", "{(%CT_Null.)}", "#U_Body", "  +A", "+{(%CT_Null.CallSheet:K9)}B", "#"});
    const auto nodes = printTreeNodes(lines.Store(), "T");
    ASSERT_EQ(nodes.size(), 5U);
    EXPECT_EQ(nodes[0].label, CellLabel::CallSheet);
    EXPECT_EQ(nodes[0].parameter, "[St_Common]K1");
    EXPECT_EQ(nodes[1].parameter, "K2");
    EXPECT_NE(nodes[2].label, CellLabel::CallSheet);
    EXPECT_EQ(nodes[3].parameter, "K3,opt");
    EXPECT_EQ(nodes[4].parameter, "");
    // A line shallower than the first ends the tree.
    EXPECT_EQ(printTreeNodes(lines.Store(), "U").size(), 1U);
}

} // namespace
