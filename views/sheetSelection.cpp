// The sheet's multi-selection: cells, or whole lines, between an anchor and
// the cursor.
#include "views/sheet.h"

#include <algorithm>

namespace marlo {

namespace {

bool between(int v, int a, int b) {
    return v >= std::min(a, b) && v <= std::max(a, b);
}

} // namespace

void Sheet::SetMarks(int col, int row, std::uint8_t marks) {
    std::uint8_t& cell = def_->Cell(col, row).marks;
    if (cell == marks)
        return;
    cell = marks;
    InvalidateCell(col, row);
}

int Sheet::FirstDataCol() const {
    return grid_ != nullptr ? grid_->Layout().FixedCols() : 0;
}

void Sheet::ClearSelection() {
    if (!def_)
        return;
    constexpr std::uint8_t kMarks = CellMark::Selected | CellMark::LineMarked;
    for (int row = 0; row < def_->RowCount(); ++row)
        for (int col = 0; col < def_->ColCount(); ++col) {
            const std::uint8_t marks = def_->Cell(col, row).marks;
            if ((marks & kMarks) != 0)
                SetMarks(col, row, static_cast<std::uint8_t>(marks & ~kMarks));
        }
    interaction_ &= ~kMultiActive;
    interaction_ |= kLineMarksClear;
}

// The cursor goes from `from` to `to`: with Shift or a held button the
// selection stretches from the anchor, otherwise it starts again at `to`.
void Sheet::UpdateSelection(GridCell from, GridCell to) {
    const int mode = def_->Style().multiSelect;
    if (mode == SheetStyle::MultiSelectOff)
        return;
    const auto multi = [this](GridCell c) {
        return c.IsValid() && c.col < def_->ColCount() && c.row < def_->RowCount() &&
               (def_->Cell(c.col, c.row).marks & CellMark::MultiSelectable) != 0;
    };
    const bool active = (interaction_ & kMultiActive) != 0;
    const bool extending = shiftHeld_ || (interaction_ & kMouseHeld) != 0;
    const bool canExtend = extending && multi(from) && multi(to) && (from != to || active);
    if (!canExtend || !anchor_.IsValid())
        anchor_ = to;
    if (canExtend) {
        const int left = std::min({anchor_.col, from.col, to.col});
        const int right = std::max({anchor_.col, from.col, to.col});
        const int top = std::min({anchor_.row, from.row, to.row});
        const int bottom = std::max({anchor_.row, from.row, to.row});
        for (int row = top; row <= bottom; ++row)
            for (int col = left; col <= right; ++col) {
                if (!IsSelectable(col, row))
                    continue;
                const std::uint8_t marks = def_->Cell(col, row).marks;
                const bool in =
                    between(col, anchor_.col, to.col) && between(row, anchor_.row, to.row);
                SetMarks(col, row,
                         in ? static_cast<std::uint8_t>(marks | CellMark::Selected)
                            : static_cast<std::uint8_t>(marks & ~CellMark::Selected));
            }
        interaction_ |= kMultiActive;
    } else if (active) {
        ClearSelection();
    } else if (from.IsValid() && from.col < def_->ColCount() && from.row < def_->RowCount()) {
        SetMarks(from.col, from.row,
                 static_cast<std::uint8_t>(def_->Cell(from.col, from.row).marks &
                                           ~(CellMark::Selected | CellMark::LineMarked)));
    }
    if (IsSelectable(to.col, to.row))
        SetMarks(to.col, to.row,
                 static_cast<std::uint8_t>(def_->Cell(to.col, to.row).marks | CellMark::Selected));
    UpdateLineMarks();
}

void Sheet::UpdateLineMarks() {
    if (def_->Style().multiSelect == SheetStyle::MultiSelectOff)
        return;
    if ((interaction_ & kMultiActive) != 0 &&
        def_->Style().multiSelect == SheetStyle::MultiSelectLines) {
        interaction_ &= ~kLineMarksClear;
        for (int row = 0; row < def_->RowCount(); ++row) {
            bool selected = false;
            for (int col = 0; col < def_->ColCount() && !selected; ++col)
                selected = (def_->Cell(col, row).marks & CellMark::Selected) != 0;
            for (int col = FirstDataCol(); col < def_->ColCount(); ++col) {
                const std::uint8_t marks = def_->Cell(col, row).marks;
                SetMarks(col, row,
                         selected ? static_cast<std::uint8_t>(marks | CellMark::LineMarked)
                                  : static_cast<std::uint8_t>(marks & ~CellMark::LineMarked));
            }
        }
    } else if ((interaction_ & kMultiActive) == 0 && (interaction_ & kLineMarksClear) == 0) {
        for (int row = 0; row < def_->RowCount(); ++row)
            for (int col = 0; col < def_->ColCount(); ++col)
                SetMarks(
                    col, row,
                    static_cast<std::uint8_t>(def_->Cell(col, row).marks & ~CellMark::LineMarked));
        interaction_ |= kLineMarksClear;
    }
}

// The engine chose a block of rows (a paste, a move): every selectable cell of
// the cursor's label within it is selected, the anchor at the block's far end.
void Sheet::SelectBlock(const CellRequest& request) {
    ClearSelection();
    const int col = grid_->Col();
    const int row = grid_->Row();
    const CellModel& cursor = def_->Cell(col, row).model;
    const std::int32_t farEnd =
        cursor.index == request.block.first ? request.block.last : request.block.first;
    anchor_ = {col, row};
    for (int r = 0; r < def_->RowCount(); ++r)
        for (int c = 0; c < def_->ColCount(); ++c) {
            const SheetCell& cell = def_->Cell(c, r);
            if (!cell.model.IsSelectable() || cell.model.label != cursor.label ||
                !between(cell.model.index, request.block.first, request.block.last))
                continue;
            SetMarks(c, r, static_cast<std::uint8_t>(cell.marks | CellMark::Selected));
            if (cell.model.index == farEnd)
                anchor_.row = r;
        }
    interaction_ |= kMultiActive;
    UpdateLineMarks();
}

} // namespace marlo
