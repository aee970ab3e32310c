#pragma once

#include "sheets/cellModel.h"
#include "sheets/cellParser.h"
#include "sheets/textMeasure.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPaintDevice;

namespace marlo {

class OverlayTexts;

// What the program lends a sheet for its builds.
struct SheetSetup {
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
struct SheetStyle {
    std::optional<std::string> titleText;
    Colour titleColour = kClGrayText;
    std::unique_ptr<CellFont> titleFont; // none: the platform default
    int fixedCols = 0;
    int fixedRows = 0;
    bool noPrint = false;
    int printFontRatio = 100;
    enum MultiSelect { MultiSelectOff, MultiSelectCells, MultiSelectLines };
    int multiSelect = MultiSelectOff;
};

namespace CellMark {
constexpr std::uint8_t MultiSelectable = 0x01;
constexpr std::uint8_t Selected = 0x02;
constexpr std::uint8_t LineMarked = 0x04;
} // namespace CellMark

struct SheetCell {
    CellModel model;
    std::uint8_t marks = CellMark::MultiSelectable;
};

struct SheetRow {
    int line; // the "_Cells" line the row is built from
    bool multiSelectable;
    bool operator==(const SheetRow&) const = default;
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
class SheetDef {
public:
    // Far above the largest real sheet (the raw-byte table, about 2,100 rows of
    // 17 cells); a loop count or line that would pass them is a broken entry and
    // ends with "Illegal Cell assign" before the table is allocated.
    static constexpr int kMaxRows = 65536;
    static constexpr std::int64_t kMaxCells = 262144;

    // `store` holds the sheet's entries, `models` the named cell models; both
    // are borrowed.
    SheetDef(OverlayTexts& store, std::string key, OverlayTexts& models);
    virtual ~SheetDef();
    SheetDef(const SheetDef&) = delete;
    SheetDef& operator=(const SheetDef&) = delete;

    // Once a printer is set, it decides `printing` and `marginUnit` whatever
    // the setup says.
    void SetSetup(const SheetSetup& setup);
    const SheetSetup& Setup() const { return setup_; }
    // Measures on the printer's paint device (borrowed) from now on, with its
    // margin unit; nullptr goes back to the screen.
    void SetPrinter(QPaintDevice* printer);
    // Measures with `measure` (borrowed); nullptr measures on the screen.
    void SetMeasure(TextMeasure* measure) { measure_ = measure; }

    // (Re)builds everything: style, base cell, row table, cell table, cells.
    void Build();

    const std::string& Key() const { return key_; }
    const SheetStyle& Style() const { return style_; }
    const CellModel& BaseCell() const { return base_; }
    const CellFont& BaseFont() const;
    const std::vector<SheetRow>& Rows() const { return rows_; }
    int ColCount() const { return colCount_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // The cell at (col, row); one outside the table ends the program.
    SheetCell& Cell(int col, int row);
    const SheetCell& Cell(int col, int row) const;
    int ColWidth(int col) const { return colWidths_.at(static_cast<std::size_t>(col)); }
    int RowHeight(int row) const { return rowHeights_.at(static_cast<std::size_t>(row)); }
    int FirstSelectableCol() const { return firstSelCol_; }
    int FirstSelectableRow() const { return firstSelRow_; }
    ChannelCounters& Counters() { return counters_; }

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
    TextMeasure& Measure();

    OverlayTexts& store_;
    std::string key_;
    CellParser parser_;
    SheetSetup setup_;
    QPaintDevice* printer_ = nullptr;
    TextMeasure* measure_ = nullptr;
    std::unique_ptr<TextMeasure> ownMeasure_;

    SheetStyle style_;
    CellModel base_;
    ChannelCounters counters_{};
    BuildState state_;
    int skip_ = 0;
    std::vector<SheetRow> rows_;
    int colCount_ = 0;
    std::vector<SheetCell> cells_;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    int firstSelCol_ = 0;
    int firstSelRow_ = 0;
};

} // namespace marlo
