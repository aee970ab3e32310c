// The sheet's cursor: moves by keys, clicks and the timed scroll.
#include "views/sheet.h"

#include "core/notificationHub.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <cstdlib>

namespace marlo {

namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

} // namespace

bool Sheet::IsSelectable(int col, int row) const {
    return def_ && col >= 0 && row >= 0 && col < def_->ColCount() && row < def_->RowCount() &&
           def_->Cell(col, row).model.IsSelectable();
}

// One step: on from `from` in the direction until a selectable cell; off the
// table the walk fails, or in wrap mode comes in again from the other edge.
std::optional<GridCell> Sheet::Walk(GridCell from, int sx, int sy, bool wrap) const {
    const int cols = def_->ColCount();
    const int rows = def_->RowCount();
    GridCell at = from;
    for (;;) {
        at.col += sx;
        at.row += sy;
        if (at.col < 0 || at.row < 0 || at.col >= cols || at.row >= rows) {
            if (!wrap)
                return std::nullopt;
            at.col = (at.col + cols) % cols;
            at.row = (at.row + rows) % rows;
        }
        if (at == from)
            return std::nullopt;
        if (IsSelectable(at.col, at.row))
            return at;
    }
}

// Line by line in the move's direction: in each next column (row) the
// selectable cell nearest to the remembered row (column), the first on a tie.
std::optional<GridCell> Sheet::LineSearch(GridCell from, int sx, int sy) const {
    const int cols = def_->ColCount();
    const int rows = def_->RowCount();
    if (sx != 0) {
        for (int col = from.col + sx; col >= 0 && col < cols; col += sx) {
            std::optional<GridCell> best;
            for (int row = 0; row < rows; ++row)
                if (IsSelectable(col, row) && (!best || std::abs(row - remembered_.row) <
                                                            std::abs(best->row - remembered_.row)))
                    best = GridCell{col, row};
            if (best)
                return best;
        }
        return std::nullopt;
    }
    for (int row = from.row + sy; row >= 0 && row < rows; row += sy) {
        std::optional<GridCell> best;
        for (int col = 0; col < cols; ++col)
            if (IsSelectable(col, row) &&
                (!best || std::abs(col - remembered_.col) < std::abs(best->col - remembered_.col)))
                best = GridCell{col, row};
        if (best)
            return best;
    }
    return std::nullopt;
}

bool Sheet::MoveCursor(int dx, int dy) {
    if (!def_ || grid_ == nullptr || (dx == 0 && dy == 0))
        return false;
    const int sx = sign(dx);
    const int sy = dx != 0 ? 0 : sign(dy);
    const int steps = dx != 0 ? std::abs(dx) : std::abs(dy);
    const bool wrap = popup_ && std::abs(dx) <= 1 && std::abs(dy) <= 1 && !grid_->ShowsScrollBars();
    const GridCell start{grid_->Col(), grid_->Row()};
    GridCell at = start;
    for (int n = 0; n < steps; ++n) {
        std::optional<GridCell> next = Walk(at, sx, sy, wrap);
        if (!next && !popup_) {
            const GridCell from =
                sx != 0 ? GridCell{at.col, remembered_.row} : GridCell{remembered_.col, at.row};
            next = LineSearch(from, sx, sy);
        }
        if (!next)
            break;
        at = *next;
        remembered_ = at;
    }
    if (at == start)
        return false;
    SetCursor(at.col, at.row);
    return grid_->Col() != start.col || grid_->Row() != start.row;
}

void Sheet::SetCursor(int col, int row) {
    if (grid_ == nullptr || !IsSelectable(col, row))
        return;
    grid_->SelectCell(col, row);
    ScrollToFirstSelectable();
}

// At the first selectable column (row) the headers' neighbours come into view.
void Sheet::ScrollToFirstSelectable() {
    if (def_->FirstSelectableCol() >= grid_->Col())
        grid_->SetLeftCol(grid_->Layout().FixedCols());
    if (def_->FirstSelectableRow() >= grid_->Row())
        grid_->SetTopRow(grid_->Layout().FixedRows());
}

void Sheet::GridSelectCell(int col, int row, bool& allow) {
    ClearStatus();
    if ((interaction_ & kInternalMove) == 0) {
        const bool multiActive = (interaction_ & kMultiActive) != 0;
        allow = IsSelectable(col, row) &&
                (!multiActive || (def_->Cell(col, row).marks & CellMark::MultiSelectable) != 0);
        if (allow) {
            const GridCell from{grid_->Col(), grid_->Row()};
            // The menu follows the cell that is becoming current.
            UpdateContextMenu(col, row, false);
            UpdateSelection(from, {col, row});
        }
    }
    CloseEditor(true);
    if (allow)
        ShowMarkReason(col, row);
}

// A click stands for the selectable cell of a tail cell under it.
std::optional<GridCell> Sheet::HeadUnder(const QPoint& point) const {
    const GridCell at = grid_->CellAt(point);
    if (!at.IsValid())
        return std::nullopt;
    if (IsSelectable(at.col, at.row))
        return at;
    for (int col = at.col; col >= 0; --col) {
        const CellModel& model = def_->Cell(col, at.row).model;
        if (model.IsSelectable())
            return GridCell{col, at.row};
        if (!model.IsTail())
            return std::nullopt;
    }
    return std::nullopt;
}

bool Sheet::GridKeyDown(QKeyEvent& event) {
    CloseEditor(true);
    ClearStatus();
    shiftHeld_ = (event.modifiers() & Qt::ShiftModifier) != 0;
    const int col = grid_->Col();
    const int row = grid_->Row();
    const auto modifiers = event.modifiers() & ~Qt::KeypadModifier;
    // The keyboard's way to the context menu: at the cursor cell.
    if (event.key() == Qt::Key_Menu ||
        (event.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        shiftHeld_ = false;
        const GridRect r = grid_->CellRect(col, row);
        const QPoint at(std::clamp(r.left + 4, 0, grid_->viewport()->width() - 1),
                        std::clamp(r.bottom, 0, grid_->viewport()->height() - 1));
        ShowContextMenu(grid_->viewport()->mapToGlobal(at));
        return true;
    }
    // Text from elsewhere pastes value by value even while the entry
    // clipboard holds nothing for the Paste item to take.
    if (!popup_ && event.matches(QKeySequence::Paste) && PasteFromSystemClipboard())
        return true;
    // Alt+Enter in a picker takes the pick to every row the owner had selected.
    if (popup_ && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
        (modifiers & Qt::AltModifier) != 0) {
        altEnter_ = true;
        Dispatch(col, row, CellRequest::kEnter);
        altEnter_ = false;
        return true;
    }
    switch (event.key()) {
    case Qt::Key_PageUp:
        MoveCursor(0, -10);
        break;
    case Qt::Key_PageDown:
        MoveCursor(0, 10);
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool right = event.key() == Qt::Key_Right;
        if (!MoveCursor(right ? 1 : -1, 0))
            Dispatch(col, row, right ? CellRequest::kRightKey : CellRequest::kLeftKey);
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (modifiers != Qt::ControlModifier)
            MoveCursor(0, event.key() == Qt::Key_Down ? 1 : -1);
        break;
    default:
        if (event.key() >= Qt::Key_F1 && event.key() <= Qt::Key_F12) {
            Dispatch(col, row, CellRequest::FunctionKey(event.key() - Qt::Key_F1 + 1));
            break;
        }
        {
            const QString text = event.text();
            const int code = text.size() == 1 ? text.at(0).unicode() : 0;
            shiftHeld_ = false;
            if (code < 1 || code > CellRequest::kLastCharacter)
                return false;
            Dispatch(col, row, code);
        }
    }
    shiftHeld_ = false;
    return true;
}

bool Sheet::GridMousePress(QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    shiftHeld_ = (event.modifiers() & Qt::ShiftModifier) != 0;
    if (event.button() == Qt::RightButton) {
        if ((interaction_ & kMultiActive) == 0) {
            const auto head = HeadUnder(at);
            if (!head)
                return true;
            if (!IsCursor(head->col, head->row) && !grid_->SelectCell(head->col, head->row))
                return true;
        }
        ShowContextMenu(grid_->viewport()->mapToGlobal(at));
        return true;
    }
    if (event.button() == Qt::LeftButton) {
        if (const auto head = HeadUnder(at); head && !IsCursor(head->col, head->row))
            grid_->SelectCell(head->col, head->row);
        interaction_ |= kMouseHeld;
    }
    shiftHeld_ = false;
    return true;
}

bool Sheet::GridMouseRelease(QMouseEvent& event) {
    interaction_ &= ~kMouseHeld;
    if (popup_ && event.button() == Qt::LeftButton) {
        const auto head = HeadUnder(event.position().toPoint());
        if (head && IsCursor(head->col, head->row))
            Dispatch(head->col, head->row, CellRequest::kClick);
    }
    return true;
}

bool Sheet::GridMouseMove(QMouseEvent& event) {
    const auto head = HeadUnder(event.position().toPoint());
    if (popup_) {
        if (head && !(head->col == lastHover_.col && head->row == lastHover_.row)) {
            lastHover_ = *head;
            if (!IsCursor(head->col, head->row))
                grid_->SelectCell(head->col, head->row);
        }
        return true;
    }
    if ((event.buttons() & Qt::LeftButton) != 0 && head && !IsCursor(head->col, head->row))
        grid_->SelectCell(head->col, head->row);
    return true;
}

bool Sheet::GridDoubleClick(QMouseEvent& event) {
    const auto head = HeadUnder(event.position().toPoint());
    if (event.button() == Qt::LeftButton && head && IsCursor(head->col, head->row))
        Dispatch(head->col, head->row, CellRequest::kClick);
    return true;
}

bool Sheet::GridTimedScroll(int directions) {
    const int dx = ((directions & kRight) ? 1 : 0) - ((directions & kLeft) ? 1 : 0);
    const int dy = ((directions & kDown) ? 1 : 0) - ((directions & kUp) ? 1 : 0);
    MoveCursor(dx, dy);
    return true;
}

} // namespace marlo
