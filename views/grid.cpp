#include "views/grid.h"

#include "views/gridAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace marlo {

Grid::Grid(QWidget* parent) : QAbstractScrollArea(parent) {
    installGridAccessibility();
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setAutoFillBackground(false);
    // Every pixel is painted here, so scrolling may move pixels instead of repainting.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    scrollTimer_.setInterval(kTimedScrollMs);
    connect(&scrollTimer_, &QTimer::timeout, this, &Grid::OnTimedScroll);
}

Grid::~Grid() = default;

void Grid::SetSizes(std::vector<int> colWidths, std::vector<int> rowHeights, int fixedCols,
                    int fixedRows) {
    layout_.SetSizes(std::move(colWidths), std::move(rowHeights), fixedCols, fixedRows);
    ++generation_;
    layout_.SetViewport(viewport()->width(), viewport()->height());
    current_.col = std::clamp(current_.col, 0, std::max(0, ColCount() - 1));
    current_.row = std::clamp(current_.row, 0, std::max(0, RowCount() - 1));
    UpdateScrollBars();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent reset(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
    }
}

void Grid::SetBackground(const QColor& colour) {
    background_ = colour;
    viewport()->update();
}

bool Grid::SelectCell(int col, int row) {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        return false;
    bool allow = true;
    if (owner_ != nullptr)
        owner_->GridSelectCell(col, row, allow);
    if (!allow)
        return false;
    SetCurrentQuiet(col, row);
    return true;
}

void Grid::SetCurrentQuiet(int col, int row) {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        return;
    const GridCell old = current_;
    current_ = {col, row};
    ScrollIntoView(col, row);
    if (old != current_) {
        InvalidateCell(old.col, old.row);
        InvalidateCell(col, row);
        emit CurrentChanged(col, row);
        if (QAccessible::isActive() && hasFocus()) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(row * ColCount() + col);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

GridCell Grid::CellAt(const QPoint& p) const {
    return layout_.CellAt(p.x(), p.y());
}

void Grid::InvalidateCell(int col, int row) {
    for (int c = col; c < ColCount(); ++c) {
        if (c > col && (owner_ == nullptr || !owner_->GridFollowsLeft(c, row)))
            return;
        const GridRect r = layout_.CellRect(c, row);
        if (r.Width() > 0 && r.Height() > 0)
            viewport()->update(QRect(r.left, r.top, r.Width(), r.Height()));
    }
}

void Grid::InvalidateAll() {
    viewport()->update();
}

void Grid::SetLeftCol(int col) {
    const GridRect before = layout_.CellRect(layout_.LeftCol(), 0);
    const int was = layout_.LeftCol();
    layout_.SetLeftCol(col);
    if (layout_.LeftCol() != was)
        Scrolled(layout_.CellRect(was, 0).left - before.left, 0);
}

void Grid::SetTopRow(int row) {
    const GridRect before = layout_.CellRect(0, layout_.TopRow());
    const int was = layout_.TopRow();
    layout_.SetTopRow(row);
    if (layout_.TopRow() != was)
        Scrolled(0, layout_.CellRect(0, was).top - before.top);
}

// Moves what is already painted and paints only what came into view; the
// fixed headers stay where they are.
void Grid::Scrolled(int dx, int dy) {
    UpdateScrollBars();
    const QRect view = viewport()->rect();
    const int fixedWidth = layout_.FixedWidth();
    const int fixedHeight = layout_.FixedHeight();
    if (std::abs(dx) < view.width() && std::abs(dy) < view.height()) {
        if (dx != 0)
            viewport()->scroll(dx, 0, view.adjusted(fixedWidth, 0, 0, 0));
        if (dy != 0)
            viewport()->scroll(0, dy, view.adjusted(0, fixedHeight, 0, 0));
    } else {
        viewport()->update();
    }
    if (owner_ != nullptr)
        owner_->GridTopLeftChanged();
}

void Grid::ScrollIntoView(int col, int row) {
    GridLayout moved = layout_;
    moved.ScrollIntoView(col, row);
    SetLeftCol(moved.LeftCol());
    SetTopRow(moved.TopRow());
}

void Grid::SetScrollBarsEnabled(bool on) {
    const auto policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
    UpdateScrollBars();
}

bool Grid::ShowsScrollBars() const {
    return horizontalScrollBar()->isVisible() || verticalScrollBar()->isVisible();
}

QSize Grid::ClientSize() const {
    const QScrollBar* v = verticalScrollBar();
    const QScrollBar* h = horizontalScrollBar();
    return {width() - (v->isVisible() ? v->width() : 0),
            height() - (h->isVisible() ? h->height() : 0)};
}

// Scroll bars count whole columns and rows past the fixed ones.
void Grid::UpdateScrollBars() {
    syncingBars_ = true;
    horizontalScrollBar()->setRange(0, layout_.MaxLeftCol() - layout_.FixedCols());
    horizontalScrollBar()->setPageStep(std::max(1, layout_.LastVisibleCol() - layout_.LeftCol()));
    horizontalScrollBar()->setValue(layout_.LeftCol() - layout_.FixedCols());
    verticalScrollBar()->setRange(0, layout_.MaxTopRow() - layout_.FixedRows());
    verticalScrollBar()->setPageStep(std::max(1, layout_.LastVisibleRow() - layout_.TopRow()));
    verticalScrollBar()->setValue(layout_.TopRow() - layout_.FixedRows());
    syncingBars_ = false;
}

void Grid::scrollContentsBy(int, int) {
    if (syncingBars_)
        return;
    SetLeftCol(horizontalScrollBar()->value() + layout_.FixedCols());
    SetTopRow(verticalScrollBar()->value() + layout_.FixedRows());
}

void Grid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layout_.SetViewport(viewport()->width(), viewport()->height());
    UpdateScrollBars();
}

void Grid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRegion dirty = event->region();
    const QColor fill = background_.isValid() ? background_ : palette().color(QPalette::Base);
    for (const QRect& r : dirty)
        painter.fillRect(r, fill);
    if (owner_ == nullptr || ColCount() == 0 || RowCount() == 0)
        return;
    const int lastCol = layout_.LastVisibleCol();
    const int lastRow = layout_.LastVisibleRow();
    const auto paintRows = [&](int fromRow, int toRow, int fromCol, int toCol) {
        for (int row = fromRow; row <= toRow; ++row) {
            for (int col = fromCol; col <= toCol; ++col) {
                const GridRect r = layout_.CellRect(col, row);
                if (r.Width() < 1 || r.Height() < 1 ||
                    !dirty.intersects(QRect(r.left, r.top, r.Width(), r.Height())))
                    continue;
                painter.save();
                owner_->GridDrawCell(painter, col, row, r);
                painter.restore();
            }
        }
    };
    const int fc = layout_.FixedCols();
    const int fr = layout_.FixedRows();
    paintRows(0, fr - 1, 0, fc - 1);
    paintRows(0, fr - 1, layout_.LeftCol(), lastCol);
    paintRows(layout_.TopRow(), lastRow, 0, fc - 1);
    paintRows(layout_.TopRow(), lastRow, layout_.LeftCol(), lastCol);
}

void Grid::keyPressEvent(QKeyEvent* event) {
    if (owner_ != nullptr && owner_->GridKeyDown(*event)) {
        event->accept();
        return;
    }
    DefaultKey(*event);
}

// Without an owner's word the arrows and page keys move the current cell.
void Grid::DefaultKey(QKeyEvent& event) {
    const int page = std::max(1, layout_.LastVisibleRow() - layout_.TopRow());
    int col = current_.col;
    int row = current_.row;
    switch (event.key()) {
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(&event);
        return;
    }
    SelectCell(std::clamp(col, 0, ColCount() - 1), std::clamp(row, 0, RowCount() - 1));
    event.accept();
}

void Grid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    lastMouse_ = event->position().toPoint();
    if (owner_ != nullptr && owner_->GridMousePress(*event))
        return;
    if (event->button() == Qt::LeftButton) {
        const GridCell cell = CellAt(lastMouse_);
        if (cell.IsValid())
            SelectCell(cell.col, cell.row);
    }
}

void Grid::mouseReleaseEvent(QMouseEvent* event) {
    scrollTimer_.stop();
    if (owner_ != nullptr)
        owner_->GridMouseRelease(*event);
}

void Grid::mouseMoveEvent(QMouseEvent* event) {
    lastMouse_ = event->position().toPoint();
    const bool held = (event->buttons() & Qt::LeftButton) != 0;
    if (held && DirectionsOutside(lastMouse_) != 0) {
        if (!scrollTimer_.isActive())
            scrollTimer_.start();
        return;
    }
    scrollTimer_.stop();
    if (owner_ != nullptr && owner_->GridMouseMove(*event))
        return;
    const GridCell cell = CellAt(lastMouse_);
    if (held && cell.IsValid() && cell != current_)
        SelectCell(cell.col, cell.row);
}

void Grid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (owner_ != nullptr && owner_->GridDoubleClick(*event))
        return;
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

int Grid::DirectionsOutside(const QPoint& p) const {
    const QRect view = viewport()->rect();
    int directions = 0;
    if (p.x() < 0)
        directions |= GridOwner::kLeft;
    if (p.x() >= view.width())
        directions |= GridOwner::kRight;
    if (p.y() < 0)
        directions |= GridOwner::kUp;
    if (p.y() >= view.height())
        directions |= GridOwner::kDown;
    return directions;
}

void Grid::OnTimedScroll() {
    const int directions = DirectionsOutside(lastMouse_);
    if (directions == 0) {
        scrollTimer_.stop();
        return;
    }
    if (owner_ == nullptr || !owner_->GridTimedScroll(directions))
        DefaultTimedScroll(directions);
}

void Grid::DefaultTimedScroll(int directions) {
    const int dx =
        ((directions & GridOwner::kRight) ? 1 : 0) - ((directions & GridOwner::kLeft) ? 1 : 0);
    const int dy =
        ((directions & GridOwner::kDown) ? 1 : 0) - ((directions & GridOwner::kUp) ? 1 : 0);
    SelectCell(std::clamp(current_.col + dx, 0, ColCount() - 1),
               std::clamp(current_.row + dy, 0, RowCount() - 1));
}

namespace {

// A popup menu or the menu bar borrows the keyboard and hands it back.
bool lends(Qt::FocusReason reason) {
    return reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

} // namespace

void Grid::focusInEvent(QFocusEvent* event) {
    // The return of a lent keyboard is no gain: a gain rebuilds the context menu,
    // whose chosen item Qt is still busy with when the popup hands back.
    const bool returned = focusLent_ && lends(event->reason());
    focusLent_ = false;
    if (owner_ != nullptr && !returned)
        owner_->GridFocusGained();
    QAbstractScrollArea::focusInEvent(event);
}

void Grid::focusOutEvent(QFocusEvent* event) {
    scrollTimer_.stop();
    // The grid keeps its context menu meanwhile, so the main menu's Edit item
    // still offers it.
    focusLent_ = lends(event->reason());
    if (owner_ != nullptr && !focusLent_)
        owner_->GridFocusLost();
    QAbstractScrollArea::focusOutEvent(event);
}

} // namespace marlo
