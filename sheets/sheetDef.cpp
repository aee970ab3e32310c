#include "sheets/sheetDef.h"

#include "overlay/overlayTexts.h"
#include "platform/fatalError.h"
#include "sheets/textUtil.h"

#include <algorithm>
#include <utility>

namespace marlo {

namespace {

[[noreturn]] void illegalAssign() {
    fatalError("Illegal Cell assign");
}

// Calls `handle` with the inside of every "(...)" group of `line`. A backslash
// has no meaning here; an unclosed group runs to the end of the line.
template <typename Handler>
void forEachGroup(std::string_view line, Handler handle) {
    for (auto open = line.find('('); open != std::string_view::npos; open = line.find('(')) {
        line.remove_prefix(open + 1);
        const auto close = line.find(')');
        handle(line.substr(0, close));
        if (close == std::string_view::npos)
            return;
        line.remove_prefix(close + 1);
    }
}

std::optional<std::string_view> valueOf(std::string_view group) {
    const auto at = group.find('=');
    if (at == std::string_view::npos)
        return std::nullopt;
    return group.substr(at + 1);
}

std::string fontSuffix(std::string_view height) {
    return "{(Font=,,," + std::string(height) + ",,,)}";
}

} // namespace

SheetDef::SheetDef(OverlayTexts& store, std::string key, OverlayTexts& models)
    : store_(store), key_(std::move(key)), parser_(models) {}

SheetDef::~SheetDef() = default;

void SheetDef::SetSetup(const SheetSetup& setup) {
    setup_ = setup;
    if (printer_ != nullptr) {
        setup_.printing = true;
        setup_.marginUnit = marginUnitOf(printer_);
    }
}

void SheetDef::SetPrinter(QPaintDevice* printer) {
    printer_ = printer;
    ownMeasure_ = std::make_unique<QtTextMeasure>(printer);
    measure_ = ownMeasure_.get();
    setup_.printing = printer != nullptr;
    setup_.marginUnit = marginUnitOf(printer);
}

TextMeasure& SheetDef::Measure() {
    if (measure_ == nullptr) {
        ownMeasure_ = std::make_unique<QtTextMeasure>();
        measure_ = ownMeasure_.get();
    }
    return *measure_;
}

const CellFont& SheetDef::BaseFont() const {
    static const CellFont platformDefault;
    return base_.font ? *base_.font : platformDefault;
}

void SheetDef::Build() {
    // Counters start from zero on every build: a rebuild (font size, printing)
    // must bind every row to the same entry as the first build did.
    counters_ = {};
    ApplyStyle();
    BuildBaseCell();
    BuildRowTable();
    AllocateCells();
    BuildCellsFromRows();
}

SheetCell& SheetDef::Cell(int col, int row) {
    return const_cast<SheetCell&>(std::as_const(*this).Cell(col, row));
}

const SheetCell& SheetDef::Cell(int col, int row) const {
    if (cells_.empty() || col < 0 || row < 0 || col >= colCount_ || row >= RowCount())
        fatalError("Illegal Cell selection");
    return cells_[static_cast<std::size_t>(col) + static_cast<std::size_t>(row) * colCount_];
}

void SheetDef::ApplyStyle() {
    style_ = SheetStyle{};
    const std::string line = store_.GetLine(key_ + "_Style", 0);
    forEachGroup(line, [this](std::string_view group) { ApplyStyleProperty(group); });
}

void SheetDef::ApplyStyleProperty(std::string_view group) {
    if (group == "NoPrint") {
        style_.noPrint = true;
        return;
    }
    if (group.starts_with("MultiSelect")) {
        const auto mode = valueOf(group);
        style_.multiSelect = mode == "Cell"   ? SheetStyle::MultiSelectCells
                             : mode == "Line" ? SheetStyle::MultiSelectLines
                                              : SheetStyle::MultiSelectOff;
        return;
    }
    const auto value = valueOf(group);
    if (!value)
        return;
    if (group.starts_with("TitleString")) {
        if (!value->empty())
            style_.titleText = std::string(*value);
    } else if (group.starts_with("TitleColor")) {
        colourFromName(*value, style_.titleColour);
    } else if (group.starts_with("TitleFont")) {
        style_.titleFont = std::make_unique<CellFont>();
        style_.titleFont->ApplySpec(*value);
    } else if (group.starts_with("FixedCols")) {
        style_.fixedCols = std::max(0, readDecimal(*value));
    } else if (group.starts_with("FixedRows")) {
        style_.fixedRows = std::max(0, readDecimal(*value));
    } else if (group.starts_with("PrintFontRatio")) {
        style_.printFontRatio = readDecimal(*value);
    }
}

void SheetDef::BuildBaseCell() {
    std::string line = store_.GetLine(key_ + "_BasicCell", 0);
    if (setup_.explicitFontHeight != 0)
        line += fontSuffix(std::to_string(setup_.explicitFontHeight));
    else
        line += fontSuffix("%" + std::to_string(setup_.fontZoom));
    if (setup_.printing && style_.printFontRatio != 100)
        line += fontSuffix("%" + std::to_string(style_.printFontRatio));
    parser_.SplitCell(line, base_, nullptr, &counters_);
}

void SheetDef::BuildRowTable() {
    state_ = BuildState{};
    skip_ = 0; // a count left over from a sheet's last lines would eat the next build's first
    rows_.clear();
    colCount_ = 0;
    const std::string entry = key_ + "_Cells";
    for (state_.line = 0;; ++state_.line) {
        const std::string line = store_.GetLine(entry, state_.line);
        if (line.starts_with('#'))
            break;
        if (skip_ > 0) {
            --skip_;
            continue;
        }
        if (line.starts_with(':')) {
            ReadDirectiveLine(line);
            continue;
        }
        AddRow(state_.line);
        colCount_ = std::max(colCount_, static_cast<int>(std::min<std::size_t>(
                                            CellParser::CountCells(line), kMaxCells + 1)));
        if (state_.loopStart >= 0 && state_.loopEnd < 0)
            state_.loopBody.push_back(state_.line);
        else
            state_.loopBody.clear();
    }
    if (rows_.empty() || colCount_ == 0 ||
        static_cast<std::int64_t>(colCount_) * RowCount() > kMaxCells)
        illegalAssign();
}

void SheetDef::ReadDirectiveLine(std::string_view line) {
    forEachGroup(line, [this](std::string_view group) { ApplyDirective(group); });
    if (state_.loopStart >= 0 && state_.loopEnd >= 0 && state_.loopCount > 0)
        RepeatLoopBody();
}

void SheetDef::ApplyDirective(std::string_view group) {
    if (group.starts_with("LoopFrom")) {
        state_.loopStart = state_.line;
        state_.loopCount = std::max(1, readDecimal(group.substr(8)));
        state_.loopBody.clear();
    } else if (group.starts_with("LoopTo")) {
        // Without a loop to close it would close the next loop as soon as it opens.
        if (state_.loopStart >= 0)
            state_.loopEnd = state_.line;
    } else if (group.starts_with("SelectON")) {
        state_.multiSelectable = true;
    } else if (group.starts_with("SelectOFF")) {
        state_.multiSelectable = false;
    }
}

// The body's first pass was the ordinary reading of its lines; the loop adds
// count - 1 copies. The body is the cell lines as read, so directive or skipped
// lines inside it are not repeated.
void SheetDef::RepeatLoopBody() {
    const std::int64_t added = static_cast<std::int64_t>(state_.loopCount - 1) *
                               static_cast<std::int64_t>(state_.loopBody.size());
    if (RowCount() + added > kMaxRows)
        illegalAssign();
    for (int n = 1; n < state_.loopCount; ++n) {
        for (int line : state_.loopBody)
            AddRow(line);
    }
    state_.loopStart = state_.loopEnd = state_.loopCount = -1;
    state_.loopBody.clear();
}

void SheetDef::AddRow(int line) {
    if (RowCount() >= kMaxRows)
        illegalAssign();
    rows_.push_back({line, state_.multiSelectable});
}

void SheetDef::AllocateCells() {
    cells_.clear();
    cells_.resize(static_cast<std::size_t>(colCount_) * rows_.size());
    colWidths_.assign(static_cast<std::size_t>(colCount_), setup_.marginUnit);
    rowHeights_.assign(rows_.size(), setup_.marginUnit);
    firstSelCol_ = colCount_;
    firstSelRow_ = RowCount();
}

void SheetDef::BuildCellsFromRows() {
    int previousLine = -1;
    int previousBuilt = 0;
    for (int row = 0; row < RowCount(); ++row) {
        BeforeRow(row);
        BuildRow(row, previousLine, previousBuilt);
        const bool multiSelectable =
            style_.multiSelect != 0 && rows_[static_cast<std::size_t>(row)].multiSelectable;
        for (int col = 0; col < colCount_; ++col) {
            SheetCell& cell = Cell(col, row);
            if (cell.model.IsSelectable()) {
                firstSelCol_ = std::min(firstSelCol_, col);
                firstSelRow_ = std::min(firstSelRow_, row);
            }
            cell.marks = multiSelectable ? CellMark::MultiSelectable : 0;
        }
    }
}

// A row read from the same line as the row above (a one-line loop body) copies
// the cells above with the next index; any other row parses its line.
void SheetDef::BuildRow(int row, int& previousLine, int& previousBuilt) {
    const int line = rows_[static_cast<std::size_t>(row)].line;
    if (line == previousLine) {
        for (int col = 0; col < previousBuilt; ++col) {
            BeforeCell(col, row);
            CellModel& model = Cell(col, row).model;
            model = Cell(col, row - 1).model;
            model.index = static_cast<std::int32_t>(static_cast<std::uint32_t>(model.index) + 1);
        }
        rowHeights_[static_cast<std::size_t>(row)] = rowHeights_[static_cast<std::size_t>(row - 1)];
        return;
    }
    const std::string text = store_.GetLine(key_ + "_Cells", line);
    std::string_view rest = text;
    int col = 0;
    for (; !rest.empty() && col < colCount_; ++col) {
        BeforeCell(col, row);
        rest = parser_.SplitCell(rest, Cell(col, row).model, &base_, &counters_);
        SizeCell(col, row);
    }
    previousLine = line;
    previousBuilt = col;
}

void SheetDef::SizeCell(int col, int row) {
    const CellModel& model = Cell(col, row).model;
    const bool fitWidth = model.Has(CellLayout::FitWidth);
    const bool fitHeight = model.Has(CellLayout::FitHeight);
    if (!fitWidth && !fitHeight)
        return;
    const TextExtent extent = Measure().Extent(model.font ? *model.font : BaseFont(), model.Text());
    const int m = setup_.marginUnit;
    if (fitWidth) {
        int& width = colWidths_[static_cast<std::size_t>(col)];
        const int mark = model.IsBound() ? setup_.markRoom : 0;
        width = std::max(width, extent.width + 8 * m + mark);
    }
    if (fitHeight) {
        int& height = rowHeights_[static_cast<std::size_t>(row)];
        height = std::max(height, extent.height + 2 * m);
    }
}

} // namespace marlo
