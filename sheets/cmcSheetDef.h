#pragma once

#include "sheets/cmcCellObj.h"
#include "sheets/cmcCellParser.h"
#include "sheets/cmcTextMeasure.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class cmcGTex;
class QPaintDevice;

// What the program lends a sheet for its builds.
struct cmcSheetSetup {
    int fontZoom = 100;         // program-wide font zoom, percent
    int explicitFontHeight = 0; // printing: the font height in printer pixels; 0 for none
    bool printing = false;
    int marginUnit = 1;   // 1 on screen, the printer's dpi / 120 on paper
    int modelVariant = 0; // consulted by model-specific directives
    bool factoryMode = false;
    // Widens the column of each bound cell: room for the mark of the engine's
    // verdict beside the widest text (pickers, whose items fit their texts).
    int markRoom = 0;
};

// Style properties of a sheet, from the groups of its "_Style" entry.
struct cmcSheetStyle {
    std::optional<std::string> titleText;
    cmcColour titleColour = kClGrayText;
    std::unique_ptr<cmcFont> titleFont; // none: the platform default
    int fixedCols = 0;
    int fixedRows = 0;
    bool noPrint = false;
    int printFontRatio = 100;
    int multiSelect = 0; // 0 off, 1 cells, 2 lines
};

namespace cmcCellMark {
constexpr std::uint8_t MultiSelectable = 0x01;
constexpr std::uint8_t Selected = 0x02;
constexpr std::uint8_t LineMarked = 0x04;
} // namespace cmcCellMark

struct cmcSheetCell {
    cmcCellObj model;
    std::uint8_t marks = cmcCellMark::MultiSelectable;
};

struct cmcSheetRow {
    int line; // the "_Cells" line the row is built from
    bool multiSelectable;
    bool operator==(const cmcSheetRow&) const = default;
};

// The layout of one overlay-defined sheet, built from three entries of its key K:
//
//   #K_Style       (FixedCols=1)(FixedRows=1)(TitleString=Channels)
//   #K_BasicCell   {($Basic)(PopupMenu=GI_PMenu_Ch)}
//   #K_Cells       |{($iChI)}Ch|{($iChI)}Receive|...
//                  :(LoopFrom 500)
//                  |{($iCh)(%CT_UserCh.CL_UCh_CH[0])}|{($eFq)(%CT_UserCh.CL_UCh_FreqR[0])}|...
//                  :(LoopTo)
//                  #
//
// It needs no window: the sheet window shows what it builds, printing builds
// one with a printer. Broken entries end the program with their message.
class cmcSheetDef {
public:
    // Far above the largest real sheet (the raw-byte table, about 2,100 rows of
    // 17 cells); a loop count or line that would pass them is a broken entry and
    // ends with "Illegal Cell assign" before the table is allocated.
    static constexpr int kMaxRows = 65536;
    static constexpr std::int64_t kMaxCells = 262144;

    // `store` holds the sheet's entries, `models` the named cell models; both
    // are borrowed.
    cmcSheetDef(cmcGTex& store, std::string key, cmcGTex& models);
    virtual ~cmcSheetDef();
    cmcSheetDef(const cmcSheetDef&) = delete;
    cmcSheetDef& operator=(const cmcSheetDef&) = delete;

    // Once a printer is set, it decides `printing` and `marginUnit` whatever
    // the setup says.
    void SetSetup(const cmcSheetSetup& setup);
    const cmcSheetSetup& Setup() const { return setup_; }
    // Measures on the printer's paint device (borrowed) from now on, with its
    // margin unit; nullptr goes back to the screen.
    void SetPrinter(QPaintDevice* printer);
    // Measures with `measure` (borrowed); nullptr measures on the screen.
    void SetMeasure(cmcTextMeasure* measure) { measure_ = measure; }

    // (Re)builds everything: style, base cell, row table, cell table, cells.
    void Build();

    const std::string& Key() const { return key_; }
    const cmcSheetStyle& Style() const { return style_; }
    const cmcCellObj& BaseCell() const { return base_; }
    const cmcFont& BaseFont() const;
    const std::vector<cmcSheetRow>& Rows() const { return rows_; }
    int ColCount() const { return colCount_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // The cell at (col, row); one outside the table ends the program.
    cmcSheetCell& Cell(int col, int row);
    const cmcSheetCell& Cell(int col, int row) const;
    int ColWidth(int col) const { return colWidths_.at(static_cast<std::size_t>(col)); }
    int RowHeight(int row) const { return rowHeights_.at(static_cast<std::size_t>(row)); }
    int FirstSelectableCol() const { return firstSelCol_; }
    int FirstSelectableRow() const { return firstSelRow_; }
    cmcChCounters& Counters() { return counters_; }

protected:
    // The build steps, in the order Build runs them.
    virtual void ApplyStyle();
    virtual void ApplyStyleProperty(std::string_view group);
    virtual void BuildBaseCell();
    virtual void BuildRowTable();
    virtual void ApplyDirective(std::string_view group);
    virtual void AllocateCells();
    virtual void BuildCellsFromRows();
    virtual void BeforeRow(int /*row*/) {}
    virtual void BeforeCell(int /*col*/, int /*row*/) {}

    // For directive handlers: ignore the next n lines of "_Cells".
    void SkipLines(int n) { skip_ = n; }

private:
    struct BuildState {
        int line = 0; // the "_Cells" line being read
        int loopStart = -1;
        int loopEnd = -1;
        int loopCount = -1;
        std::vector<int> loopBody; // cell lines read since the loop started
        bool multiSelectable = true;
    };

    void ReadDirectiveLine(std::string_view line);
    void RepeatLoopBody();
    void AddRow(int line);
    void BuildRow(int row, int& previousLine, int& previousBuilt);
    void SizeCell(int col, int row);
    cmcTextMeasure& Measure();

    cmcGTex& store_;
    std::string key_;
    cmcCellParser parser_;
    cmcSheetSetup setup_;
    QPaintDevice* printer_ = nullptr;
    cmcTextMeasure* measure_ = nullptr;
    std::unique_ptr<cmcTextMeasure> ownMeasure_;

    cmcSheetStyle style_;
    cmcCellObj base_;
    cmcChCounters counters_{};
    BuildState state_;
    int skip_ = 0;
    std::vector<cmcSheetRow> rows_;
    int colCount_ = 0;
    std::vector<cmcSheetCell> cells_;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    int firstSelCol_ = 0;
    int firstSelRow_ = 0;
};
