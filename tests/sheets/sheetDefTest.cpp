#include "sheets/cellQtMapping.h"
#include "sheets/commonSettingsSheetDef.h"
#include "sheets/overlayLineStore.h"

#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marlo;

namespace {

// Every character 10 pixels wide, every line 16 high; remembers the fonts asked for.
class FakeMeasure : public TextMeasure {
public:
    TextExtent Extent(const CellFont& font, std::string_view text) override {
        fonts.push_back(font);
        TextExtent e;
        for (std::size_t start = 0;;) {
            const auto end = text.find('\n', start);
            const auto line = text.substr(start, end == std::string_view::npos ? end : end - start);
            e.width = std::max(e.width, 10 * static_cast<int>(line.size()));
            e.height += 16;
            if (end == std::string_view::npos)
                return e;
            start = end + 1;
        }
    }
    std::vector<CellFont> fonts;
};

std::vector<std::string> modelEntries() {
    return {"#CellModel_Basic", "~<", "#CellModel_eWh", "S<_WHB", "#CellModel_Hd", "^WH"};
}

// A sheet "S" with the given style line, base cell line and cell lines.
class SheetFixture {
public:
    SheetFixture(std::vector<std::string> cells, std::string style = "",
                 std::string basic = "{($Basic)}", std::string className = "")
        : overlay_(entries(std::move(cells), std::move(style), std::move(basic))),
          def_(createSheetDef(className, overlay_.Store(), "S", overlay_.Store())) {
        def_->SetMeasure(&measure_);
    }

    SheetDef& Def() { return *def_; }
    FakeMeasure& Measure() { return measure_; }
    SheetDef& Built(const SheetSetup& setup = {}) {
        def_->SetSetup(setup);
        def_->Build();
        return *def_;
    }
    std::vector<int> Lines() const {
        std::vector<int> lines;
        for (const auto& r : def_->Rows())
            lines.push_back(r.line);
        return lines;
    }

private:
    static std::vector<std::string> entries(std::vector<std::string> cells, std::string style,
                                            std::string basic) {
        std::vector<std::string> lines = modelEntries();
        lines.insert(lines.end(), {"#S_Style", style, "#S_BasicCell", basic, "#S_Cells"});
        lines.insert(lines.end(), cells.begin(), cells.end());
        lines.push_back("#");
        return lines;
    }

    OverlayLineStore overlay_;
    FakeMeasure measure_;
    std::unique_ptr<SheetDef> def_;
};

TEST(SheetRows, CellLinesMakeRowsAndTheWidestLineTheColumns) {
    SheetFixture sheet({"|a|b|", "|c|"});
    SheetDef& def = sheet.Built();
    EXPECT_EQ(def.RowCount(), 2);
    EXPECT_EQ(def.ColCount(), 3);
    EXPECT_EQ(def.Cell(1, 0).model.Text(), "a");
    EXPECT_EQ(def.Cell(1, 1).model.Text(), "c");
    const CellModel& fresh = def.Cell(2, 1).model;
    EXPECT_EQ(fresh.parent, nullptr);
    EXPECT_EQ(fresh.label, CellModel::kNoLabel);
    EXPECT_FALSE(fresh.text);
    EXPECT_EQ(def.Cell(2, 0).model.parent, &def.BaseCell());
}

struct LoopCase {
    const char* name;
    std::vector<std::string> cells;
    std::vector<int> lines;
};

TEST(SheetRows, LoopsRepeatTheirBody) {
    const LoopCase cases[] = {
        {"one line eight times", {":(LoopFrom 8)", "x", ":(LoopTo)"}, {1, 1, 1, 1, 1, 1, 1, 1}},
        {"two lines three times", {":(LoopFrom 3)", "a", "b", ":(LoopTo)"}, {1, 2, 1, 2, 1, 2}},
        // Read as 0, the count would leave the loop open and cancel the next one.
        {"count 0 is 1",
         {":(LoopFrom 0)", "a", ":(LoopTo)", ":(LoopFrom 2)", "b", ":(LoopTo)"},
         {1, 4, 4}},
        {"no count is 1", {":(LoopFrom)", "a", ":(LoopTo)"}, {1}},
        {"lines around", {"h", ":(LoopFrom 2)", "a", ":(LoopTo)", "f"}, {0, 2, 2, 4}},
        {"LoopTo alone", {"a", ":(LoopTo)", "b"}, {0, 2}},
        {"LoopTo alone before a loop",
         {"a", ":(LoopTo)", ":(LoopFrom 3)", "b", ":(LoopTo)"},
         {0, 3, 3, 3}},
        {"open loop", {":(LoopFrom 4)", "a"}, {1}},
        {"a directive in the body is not repeated",
         {":(LoopFrom 2)", "a", ":(SelectOFF)", "b", ":(LoopTo)"},
         {1, 3, 1, 3}},
        {"two loops",
         {":(LoopFrom 2)", "a", ":(LoopTo)", ":(LoopFrom 2)", "b", ":(LoopTo)"},
         {1, 1, 4, 4}},
        {"from and to on one line", {"a", ":(LoopFrom 5)(LoopTo)", "b"}, {0, 2}},
    };
    for (const auto& c : cases) {
        SheetFixture sheet(c.cells);
        sheet.Built();
        EXPECT_EQ(sheet.Lines(), c.lines) << c.name;
    }
}

TEST(SheetCells, AOneLineLoopCopiesTheRowAboveWithTheNextIndex) {
    SheetFixture sheet(
        {":(LoopFrom 8)", "|{(%CT_UserCh.CL_UCh_CH[10])WH(Font=,,,-30,,,)}ch|", ":(LoopTo)"});
    SheetDef& def = sheet.Built();
    ASSERT_EQ(def.RowCount(), 8);
    ASSERT_GT(def.RowHeight(0), 1) << "the cell sets the height the copies take";
    for (int row = 0; row < 8; ++row) {
        const CellModel& m = def.Cell(1, row).model;
        EXPECT_EQ(m.index, 10 + row);
        EXPECT_EQ(m.category, 2);
        EXPECT_EQ(m.Text(), "ch");
        ASSERT_TRUE(m.font);
        EXPECT_EQ(m.font->height, -30);
        EXPECT_EQ(def.RowHeight(row), def.RowHeight(0));
    }
    EXPECT_EQ(sheet.Measure().fonts.size(), 1u) << "copies are not measured again";
}

TEST(SheetCells, RepeatedLinesAreParsedAgainSoOnlyCountersDiffer) {
    SheetFixture sheet(
        {":(LoopFrom 3)", "{(%CL_UCh_CH[@ch0])}\\(@ch0+1)", "{(@ch0++)}b", ":(LoopTo)"});
    SheetDef& def = sheet.Built();
    ASSERT_EQ(def.RowCount(), 6);
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_EQ(def.Cell(0, 2 * pass).model.index, pass);
        EXPECT_EQ(def.Cell(0, 2 * pass).model.Text(), std::to_string(pass + 1));
    }
    EXPECT_EQ(def.Counters()[0], 3);
    // A rebuild (font size, printing) binds every row as the first build did.
    def.Build();
    EXPECT_EQ(def.Counters()[0], 3);
    for (int pass = 0; pass < 3; ++pass)
        EXPECT_EQ(def.Cell(0, 2 * pass).model.index, pass);
}

TEST(SheetCells, MultiSelectionFollowsSelectZonesOnlyWhenTheModeIsOn) {
    const std::vector<std::string> cells = {":(SelectOFF)", "{S}head", ":(SelectON)", "{S}a",
                                            "{S}b"};
    SheetFixture lines(cells, "(MultiSelect=Line)");
    SheetDef& def = lines.Built();
    EXPECT_EQ(def.Style().multiSelect, 2);
    EXPECT_EQ(def.Cell(0, 0).marks, 0);
    EXPECT_EQ(def.Cell(0, 1).marks, CellMark::MultiSelectable);
    EXPECT_EQ(def.Cell(0, 2).marks, CellMark::MultiSelectable);
    EXPECT_FALSE(def.Rows()[0].multiSelectable);

    SheetFixture off(cells);
    EXPECT_EQ(off.Built().Cell(0, 1).marks, 0);
}

TEST(SheetCells, FirstSelectableColumnAndRowAreFoundSeparately) {
    SheetFixture sheet({"a|b|c", "x|y|{S}z", "p|{S}q|r"});
    SheetDef& def = sheet.Built();
    EXPECT_EQ(def.FirstSelectableCol(), 1);
    EXPECT_EQ(def.FirstSelectableRow(), 1);

    SheetFixture none({"a|b", "c"});
    EXPECT_EQ(none.Built().FirstSelectableCol(), 2);
    EXPECT_EQ(none.Def().FirstSelectableRow(), 2);
}

TEST(SheetSizes, FitFlagsWidenColumnsAndHeightenRowsFromTheCellsFont) {
    SheetFixture sheet({"{W}abc|{H}x|plain", "", "{WH(Font=,,,-40,,,)}ab\\ncdef"});
    SheetDef& def = sheet.Built();
    EXPECT_EQ(def.ColWidth(0), 4 * 10 + 8) << "the widest of 'abc' and 'cdef'";
    EXPECT_EQ(def.ColWidth(1), 1);
    EXPECT_EQ(def.ColWidth(2), 1);
    EXPECT_EQ(def.RowHeight(0), 16 + 2);
    EXPECT_EQ(def.RowHeight(1), 1) << "an empty line with no H cell";
    EXPECT_EQ(def.RowHeight(2), 2 * 16 + 2);
    ASSERT_EQ(sheet.Measure().fonts.size(), 3u);
    EXPECT_EQ(sheet.Measure().fonts[0], def.BaseFont());
    EXPECT_EQ(sheet.Measure().fonts[2].height, -40);
    EXPECT_EQ(def.Cell(0, 1).model.parent, nullptr) << "an empty line keeps fresh cells";
}

TEST(SheetSizes, PrintingUsesTheMarginUnitAndTheExplicitFontHeight) {
    SheetFixture sheet({"{W}abc|{H}x"}, "(PrintFontRatio=50)");
    SheetSetup setup;
    setup.printing = true;
    setup.marginUnit = 5;
    setup.explicitFontHeight = 40;
    SheetDef& def = sheet.Built(setup);
    EXPECT_EQ(def.ColWidth(0), 30 + 8 * 5);
    EXPECT_EQ(def.ColWidth(1), 5) << "the default width is the margin unit";
    EXPECT_EQ(def.RowHeight(0), 16 + 2 * 5);
    EXPECT_EQ(def.BaseFont().height, 20) << "height 40, then the print ratio of 50 %";
}

TEST(SheetBase, BaseCellTakesTheZoomAndGivesTheGridItsColourAndFont) {
    SheetFixture sheet({"a"}, "", "{($Basic)(Color=clYellow)(PopupMenu=GI_PMenu_X)}");
    SheetSetup setup;
    setup.fontZoom = 150;
    SheetDef& def = sheet.Built(setup);
    EXPECT_EQ(def.BaseCell().colour, 0x0000FFFFu);
    EXPECT_EQ(def.BaseFont().height, CellFont{}.height * 150 / 100);
    EXPECT_EQ(*def.Cell(0, 0).model.FindPopupMenu(), "GI_PMenu_X");
    EXPECT_EQ(def.Cell(0, 0).model.colour, 0x0000FFFFu);

    setup.printing = true; // no explicit height: the zoom still applies, the ratio is 100
    EXPECT_EQ(sheet.Built(setup).BaseFont().height, CellFont{}.height * 150 / 100);
}

struct StyleCase {
    const char* line;
    void (*check)(const SheetStyle&);
};

TEST(SheetStyle, GroupsSetTheStyleProperties) {
    const StyleCase cases[] = {
        {"",
         [](const SheetStyle& s) {
             EXPECT_FALSE(s.titleText);
             EXPECT_EQ(s.titleColour, kClGrayText);
             EXPECT_FALSE(s.titleFont);
             EXPECT_EQ(s.fixedCols + s.fixedRows + s.multiSelect, 0);
             EXPECT_FALSE(s.noPrint);
             EXPECT_EQ(s.printFontRatio, 100);
         }},
        {"(TitleString=User channels)(TitleColor=clNavy)",
         [](const SheetStyle& s) {
             EXPECT_EQ(s.titleText, "User channels");
             EXPECT_EQ(s.titleColour, 0x00800000u);
         }},
        {"(TitleString=)(TitleColor=clNothing)",
         [](const SheetStyle& s) {
             EXPECT_FALSE(s.titleText);
             EXPECT_EQ(s.titleColour, kClGrayText);
         }},
        {"(TitleFont=,Serif,,,14,fsBold,)",
         [](const SheetStyle& s) {
             ASSERT_TRUE(s.titleFont);
             EXPECT_EQ(s.titleFont->face, "Serif");
             EXPECT_EQ(s.titleFont->size, 14);
             EXPECT_EQ(s.titleFont->style, fsBold);
         }},
        {"x(FixedCols=2) y (FixedRows=3)(PrintFontRatio=80)",
         [](const SheetStyle& s) {
             EXPECT_EQ(s.fixedCols, 2);
             EXPECT_EQ(s.fixedRows, 3);
             EXPECT_EQ(s.printFontRatio, 80);
         }},
        {"(FixedCols=-4)(FixedRows)",
         [](const SheetStyle& s) {
             EXPECT_EQ(s.fixedCols, 0);
             EXPECT_EQ(s.fixedRows, 0);
         }},
        {"(NoPrint)", [](const SheetStyle& s) { EXPECT_TRUE(s.noPrint); }},
        {"(NoPrint=1)( NoPrint)", [](const SheetStyle& s) { EXPECT_FALSE(s.noPrint); }},
        {"(MultiSelect=Cell)", [](const SheetStyle& s) { EXPECT_EQ(s.multiSelect, 1); }},
        {"(MultiSelect=Line)(MultiSelect)",
         [](const SheetStyle& s) { EXPECT_EQ(s.multiSelect, 0); }},
        {"(MultiSelect=Rows)", [](const SheetStyle& s) { EXPECT_EQ(s.multiSelect, 0); }},
        {"(Unknown=1)(FixedCols=1", [](const SheetStyle& s) { EXPECT_EQ(s.fixedCols, 1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SheetFixture sheet({"a"}, c.line);
        c.check(sheet.Built().Style());
    }
}

TEST(SheetStyle, ARebuildStartsFromTheDefaults) {
    SheetFixture sheet({"a"}, "(FixedCols=2)");
    sheet.Built();
    EXPECT_EQ(sheet.Built().Style().fixedCols, 2);
}

struct VariantCase {
    int variant;
    bool factory;
    std::vector<int> lines;
};

TEST(SheetDirectives, CommonSheetSkipsLinesForOtherVariantsAndFactoryMode) {
    const std::vector<std::string> cells = {
        "all",  ":(Only_Aus 1)",     "aus",     ":(Only_Oth 2)", "oth1",
        "oth2", ":(Only_Factory 1)", "factory", "end",
    };
    const VariantCase cases[] = {
        {0, false, {0, 2, 8}},
        {1, false, {0, 4, 5, 8}},
        {0, true, {0, 2, 7, 8}},
        {1, true, {0, 4, 5, 7, 8}},
    };
    for (const auto& c : cases) {
        SheetFixture sheet(cells, "", "{($Basic)}", "St_Common");
        SheetSetup setup;
        setup.modelVariant = c.variant;
        setup.factoryMode = c.factory;
        sheet.Built(setup);
        EXPECT_EQ(sheet.Lines(), c.lines) << c.variant << " " << c.factory;
    }
}

TEST(SheetDirectives, SkippedLinesIncludeDirectiveLines) {
    SheetFixture sheet({":(Only_Oth 2)", ":(LoopFrom 5)", "a", ":(LoopTo)", "b"}, "", "{($Basic)}",
                       "St_Common");
    sheet.Built();
    EXPECT_EQ(sheet.Lines(), (std::vector<int>{4}));
}

TEST(SheetDirectives, ThePlainSheetIgnoresTheCommonDirectives) {
    SheetFixture sheet({":(Only_Oth 1)(Bogus 3)", "a"});
    sheet.Built();
    EXPECT_EQ(sheet.Lines(), (std::vector<int>{1}));
}

TEST(SheetDirectives, ALeftOverSkipCountDoesNotReachIntoTheNextBuild) {
    SheetFixture sheet({"a", ":(Only_Factory 9)", "b"}, "", "{($Basic)}", "St_Common");
    sheet.Built();
    EXPECT_EQ(sheet.Lines(), (std::vector<int>{0}));
    sheet.Built();
    EXPECT_EQ(sheet.Lines(), (std::vector<int>{0}));
}

class HookedDef : public SheetDef {
public:
    using SheetDef::SheetDef;
    std::vector<std::pair<int, int>> calls;

protected:
    void BeforeRow(int row) override { calls.emplace_back(-1, row); }
    void BeforeCell(int col, int row) override { calls.emplace_back(col, row); }
};

TEST(SheetCells, HooksRunBeforeEachRowAndEachBuiltCell) {
    OverlayLineStore overlay({"#CellModel_Basic", "", "#K_Style", "", "#K_BasicCell", "",
                              "#K_Cells", "a|b", ":(LoopFrom 2)", "c", ":(LoopTo)", "#"});
    HookedDef def(overlay.Store(), "K", overlay.Store());
    FakeMeasure measure;
    def.SetMeasure(&measure);
    def.Build();
    const std::vector<std::pair<int, int>> expected = {{-1, 0}, {0, 0},  {1, 0}, {-1, 1},
                                                       {0, 1},  {-1, 2}, {0, 2}};
    EXPECT_EQ(def.calls, expected);
}

TEST(SheetSizes, TheQtMeasureUsesTheFontMetricsOfThePrinterDevice) {
    SheetFixture sheet({"{W(Font=,,,-20,,,)}Frequency"});
    QImage page(10, 10, QImage::Format_RGB32);
    page.setDotsPerMeterX(23622); // 600 dpi
    page.setDotsPerMeterY(23622);
    sheet.Def().SetPrinter(&page);
    sheet.Def().SetSetup({}); // zoom and model handed over after the printer
    sheet.Def().Build();
    EXPECT_TRUE(sheet.Def().Setup().printing);
    EXPECT_EQ(sheet.Def().Setup().marginUnit, 5);
    CellFont font;
    font.SetHeight(-20);
    const QFontMetrics metrics(toQFont(font), &page);
    EXPECT_EQ(sheet.Def().ColWidth(0), metrics.horizontalAdvance("Frequency") + 40);
    EXPECT_TRUE(sheet.Measure().fonts.empty());
}

TEST(SheetSizes, LongLinesMakeManyColumns) {
    SheetFixture sheet({std::string(8000, '|'), "{W}" + std::string(8000, 'x')});
    SheetDef& def = sheet.Built();
    EXPECT_EQ(def.ColCount(), 8000);
    EXPECT_EQ(def.ColWidth(0), 80008);
}

using SheetDefDeathTest = ::testing::Test;

TEST_F(SheetDefDeathTest, ASheetWithoutRowsOrColumnsEndsTheProgram) {
    for (const std::vector<std::string>& cells : std::vector<std::vector<std::string>>{
             {":(LoopFrom 3)", ":(LoopTo)"},
             {},
             {"", ""},
             {":(LoopFrom 2000000000)", "a", ":(LoopTo)"},
             {":(LoopFrom 70000)", "a", ":(LoopTo)"},
             {std::string(300, '|'), ":(LoopFrom 1000)", "a", ":(LoopTo)"}}) {
        EXPECT_EXIT(SheetFixture(cells).Built(), ::testing::ExitedWithCode(3),
                    "Illegal Cell assign")
            << cells.size();
    }
}

TEST_F(SheetDefDeathTest, CellsOutsideTheTableEndTheProgram) {
    SheetFixture sheet({"a|b"});
    EXPECT_EXIT(sheet.Def().Cell(0, 0), ::testing::ExitedWithCode(3), "Illegal Cell selection");
    sheet.Built();
    EXPECT_EXIT(sheet.Def().Cell(2, 0), ::testing::ExitedWithCode(3), "Illegal Cell selection");
    EXPECT_EXIT(sheet.Def().Cell(0, -1), ::testing::ExitedWithCode(3), "Illegal Cell selection");
}

TEST_F(SheetDefDeathTest, BrokenCellsAndMissingEntriesEndTheProgram) {
    EXPECT_EXIT(SheetFixture({"{(%CL_UCh_CH[@ch])}"}).Built(), ::testing::ExitedWithCode(3),
                "Ch No\\. Error");
    OverlayLineStore overlay({"#K_BasicCell", ""});
    SheetDef def(overlay.Store(), "K", overlay.Store());
    EXPECT_EXIT(def.Build(), ::testing::ExitedWithCode(3), "The index 'K_Style' was not found");
}

} // namespace
