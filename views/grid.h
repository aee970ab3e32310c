#pragma once

#include "views/gridLayout.h"

#include <QAbstractScrollArea>
#include <QString>
#include <QTimer>

class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace marlo {

// Where a grid hands its decisions: which cell may become current, how a cell
// looks, what keys and clicks do, and when focus comes and goes. Every hook has
// a default that leaves the grid's own behaviour in place.
class GridOwner {
public:
    // The timed scroll's directions, combined.
    static constexpr int kLeft = 1;
    static constexpr int kRight = 2;
    static constexpr int kUp = 4;
    static constexpr int kDown = 8;

    virtual ~GridOwner() = default;

    // May (col, row) become the current cell? `allow` comes in true.
    virtual void GridSelectCell(int /*col*/, int /*row*/, bool& /*allow*/) {}
    // Paints one cell; without an owner nothing is painted.
    virtual void GridDrawCell(QPainter& /*painter*/, int /*col*/, int /*row*/,
                              const GridRect& /*rect*/) {}
    // The keyboard came to the grid or left it for good. A popup or the menu bar
    // that borrows the keyboard and hands it back is neither.
    virtual void GridFocusGained() {}
    virtual void GridFocusLost() {}
    // The mouse is held outside the view; true when the owner took care of it.
    virtual bool GridTimedScroll(int /*directions*/) { return false; }
    virtual void GridTopLeftChanged() {}
    // Input; true when consumed, false leaves it to the grid.
    virtual bool GridKeyDown(QKeyEvent& /*event*/) { return false; }
    virtual bool GridMousePress(QMouseEvent& /*event*/) { return false; }
    virtual bool GridMouseRelease(QMouseEvent& /*event*/) { return false; }
    virtual bool GridMouseMove(QMouseEvent& /*event*/) { return false; }
    virtual bool GridDoubleClick(QMouseEvent& /*event*/) { return false; }
    // What assistive technology reads: a cell's text as shown, the table's name.
    virtual QString GridCellText(int /*col*/, int /*row*/) { return {}; }
    // Does (col, row) follow the look of the cell on its left (a tail that
    // shares its head's highlight)? Such a cell is repainted with its left one.
    virtual bool GridFollowsLeft(int /*col*/, int /*row*/) { return false; }
    virtual QString GridName() { return {}; }
    // Is (col, row) part of the owner's selection (assistive technology asks)?
    virtual bool GridCellSelected(int /*col*/, int /*row*/) { return false; }
};

// An owner-drawn scrolling grid: fixed header columns and rows, a width per
// column and a height per row, a current cell that the owner may refuse. It
// holds no cell data and draws no lines of its own; GridLayout does the
// arithmetic, this widget only turns events into owner calls.
class Grid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    void SetOwner(GridOwner* owner) { owner_ = owner; }
    GridOwner* Owner() const { return owner_; }

    void SetSizes(std::vector<int> colWidths, std::vector<int> rowHeights, int fixedCols,
                  int fixedRows);
    const GridLayout& Layout() const { return layout_; }
    int ColCount() const { return layout_.ColCount(); }
    int RowCount() const { return layout_.RowCount(); }
    void SetBackground(const QColor& colour);

    int Col() const { return current_.col; }
    int Row() const { return current_.row; }
    // Asks the owner first; false when it refused or the cell is outside.
    bool SelectCell(int col, int row);
    // Moves the current cell without asking the owner.
    void SetCurrentQuiet(int col, int row);

    GridRect CellRect(int col, int row) const { return layout_.CellRect(col, row); }
    GridCell CellAt(const QPoint& viewportPoint) const;
    // Repaints a cell, and the cells to its right that follow it.
    void InvalidateCell(int col, int row);
    void InvalidateAll();

    int LeftCol() const { return layout_.LeftCol(); }
    int TopRow() const { return layout_.TopRow(); }
    void SetLeftCol(int col);
    void SetTopRow(int row);
    void ScrollIntoView(int col, int row);
    // Both scroll bars as needed, or never.
    void SetScrollBarsEnabled(bool on);
    bool ShowsScrollBars() const;
    // The area the cells are drawn in: the grid less its visible scroll bars.
    // Unlike the view's size it is right as soon as a layout placed the grid.
    QSize ClientSize() const;

    // The timed scroll's period while the mouse is held outside the view.
    static constexpr int kTimedScrollMs = 60;
    // Counts the layouts set so far; cached views of the cells (assistive
    // technology's) start again when it moves on.
    std::uint64_t Generation() const { return generation_; }

signals:
    // The current cell changed (for assistive technology and the like).
    void CurrentChanged(int col, int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void UpdateScrollBars();
    void Scrolled(int dx, int dy);
    void ApplyScrollBars();
    int DirectionsOutside(const QPoint& viewportPoint) const;
    void OnTimedScroll();
    void DefaultTimedScroll(int directions);
    void DefaultKey(QKeyEvent& event);

    GridOwner* owner_ = nullptr;
    bool focusLent_ = false; // a popup or the menu bar holds the keyboard for a while
    GridLayout layout_;
    GridCell current_{0, 0};
    QColor background_;
    QTimer scrollTimer_;
    QPoint lastMouse_;
    bool syncingBars_ = false;
    std::uint64_t generation_ = 0;
};

} // namespace marlo
