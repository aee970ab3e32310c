#pragma once

#include <cstdint>
#include <vector>

namespace marlo {

// A cell's area in a grid's pixels: left and top inside, right and bottom just
// past the cell.
struct GridRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const GridRect&) const = default;
};

struct GridCell {
    int col = -1;
    int row = -1;

    bool IsValid() const { return col >= 0 && row >= 0; }
    bool operator==(const GridCell&) const = default;
};

// The pixel arithmetic of a grid with fixed header columns and rows: the fixed
// ones stay at the top-left, the others scroll by whole columns and rows, the
// first scrolled one shown being the left column and top row. Pure numbers, no
// window: the grid widget and the tests both ask it.
//
//     col:   0 (fixed) | 5 6 7 ...        left column 5, so 1..4 are scrolled out
//            +---------+-----------
//     row 0  | header  | header ...
//            +---------+-----------       top row 12
//     row 12 |   12    | cells ...
class GridLayout {
public:
    // Sizes of every column and row; fixed counts are clamped into the table.
    void SetSizes(std::vector<int> colWidths, std::vector<int> rowHeights, int fixedCols,
                  int fixedRows);
    void SetViewport(int width, int height);

    int ColCount() const { return static_cast<int>(widths_.size()); }
    int RowCount() const { return static_cast<int>(heights_.size()); }
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    int ColWidth(int col) const { return widths_[static_cast<std::size_t>(col)]; }
    int RowHeight(int row) const { return heights_[static_cast<std::size_t>(row)]; }
    int TotalWidth() const { return colEdges_.back(); }
    // The fixed area's extent, however far the rest has scrolled.
    int FixedWidth() const { return colEdges_[static_cast<std::size_t>(fixedCols_)]; }
    int FixedHeight() const { return rowEdges_[static_cast<std::size_t>(fixedRows_)]; }
    int TotalHeight() const { return rowEdges_.back(); }
    int ViewportWidth() const { return viewWidth_; }
    int ViewportHeight() const { return viewHeight_; }

    int LeftCol() const { return leftCol_; }
    int TopRow() const { return topRow_; }
    // Clamped to fixed count .. the largest value that still fills the view.
    void SetLeftCol(int col);
    void SetTopRow(int row);
    int MaxLeftCol() const;
    int MaxTopRow() const;

    // The cell's area; a scrolled-out cell lies left of or above the fixed area.
    GridRect CellRect(int col, int row) const;
    // The cell at a point of the view, or an invalid cell outside the table.
    GridCell CellAt(int x, int y) const;
    // The last column and row that the view shows, at least in part.
    int LastVisibleCol() const;
    int LastVisibleRow() const;
    // Scrolls the least so that the cell is fully shown (its left or top edge
    // when it is larger than the view). Fixed cells need no scrolling.
    void ScrollIntoView(int col, int row);

private:
    static int First(const std::vector<int>& edges, int fixed, int first, int maxPixels);
    static int Locate(const std::vector<int>& edges, int fixed, int first, int fixedEnd, int pixel);
    static int Position(const std::vector<int>& edges, int fixed, int first, int index);
    static int MaxFirst(const std::vector<int>& edges, int fixed, int viewSize);
    static int LastVisible(const std::vector<int>& edges, int fixed, int first, int viewSize);
    static int ScrollTo(const std::vector<int>& edges, int fixed, int first, int viewSize,
                        int index);

    std::vector<int> widths_;
    std::vector<int> heights_;
    std::vector<int> colEdges_{0}; // colEdges_[c] is the left edge of column c when unscrolled
    std::vector<int> rowEdges_{0};
    int fixedCols_ = 0;
    int fixedRows_ = 0;
    int leftCol_ = 0;
    int topRow_ = 0;
    int viewWidth_ = 0;
    int viewHeight_ = 0;
};

} // namespace marlo
