#include "views/gridLayout.h"

#include <algorithm>

namespace marlo {

namespace {

std::vector<int> edgesOf(const std::vector<int>& sizes) {
    std::vector<int> edges(sizes.size() + 1, 0);
    for (std::size_t i = 0; i < sizes.size(); ++i)
        edges[i + 1] = edges[i] + std::max(0, sizes[i]);
    return edges;
}

} // namespace

void GridLayout::SetSizes(std::vector<int> colWidths, std::vector<int> rowHeights, int fixedCols,
                          int fixedRows) {
    widths_ = std::move(colWidths);
    heights_ = std::move(rowHeights);
    colEdges_ = edgesOf(widths_);
    rowEdges_ = edgesOf(heights_);
    fixedCols_ = std::clamp(fixedCols, 0, std::max(0, ColCount() - 1));
    fixedRows_ = std::clamp(fixedRows, 0, std::max(0, RowCount() - 1));
    SetLeftCol(leftCol_);
    SetTopRow(topRow_);
}

void GridLayout::SetViewport(int width, int height) {
    viewWidth_ = std::max(0, width);
    viewHeight_ = std::max(0, height);
    SetLeftCol(leftCol_);
    SetTopRow(topRow_);
}

int GridLayout::MaxFirst(const std::vector<int>& edges, int fixed, int viewSize) {
    const int count = static_cast<int>(edges.size()) - 1;
    const int room = viewSize - edges[static_cast<std::size_t>(fixed)];
    int first = count - 1;
    // Back up while the columns from `first - 1` to the end still fit.
    while (first > fixed && edges.back() - edges[static_cast<std::size_t>(first - 1)] <= room)
        --first;
    return std::max(fixed, first);
}

int GridLayout::MaxLeftCol() const {
    return ColCount() == 0 ? 0 : MaxFirst(colEdges_, fixedCols_, viewWidth_);
}

int GridLayout::MaxTopRow() const {
    return RowCount() == 0 ? 0 : MaxFirst(rowEdges_, fixedRows_, viewHeight_);
}

void GridLayout::SetLeftCol(int col) {
    leftCol_ = std::clamp(col, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
}

void GridLayout::SetTopRow(int row) {
    topRow_ = std::clamp(row, fixedRows_, std::max(fixedRows_, MaxTopRow()));
}

int GridLayout::Position(const std::vector<int>& edges, int fixed, int first, int index) {
    const auto at = [&](int i) { return edges[static_cast<std::size_t>(i)]; };
    if (index < fixed)
        return at(index);
    return at(fixed) + at(index) - at(first);
}

GridRect GridLayout::CellRect(int col, int row) const {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        return {};
    const int x = Position(colEdges_, fixedCols_, leftCol_, col);
    const int y = Position(rowEdges_, fixedRows_, topRow_, row);
    return {x, y, x + std::max(0, ColWidth(col)), y + std::max(0, RowHeight(row))};
}

// The index whose span holds `pixel`, or -1: fixed ones first, then the
// scrolled ones from `first` on.
int GridLayout::Locate(const std::vector<int>& edges, int fixed, int first, int fixedEnd,
                       int pixel) {
    if (pixel < 0)
        return -1;
    if (pixel < fixedEnd) {
        const auto it = std::upper_bound(edges.begin(), edges.begin() + fixed + 1, pixel);
        return static_cast<int>(it - edges.begin()) - 1;
    }
    const int unscrolled = pixel - fixedEnd + edges[static_cast<std::size_t>(first)];
    if (unscrolled >= edges.back())
        return -1;
    const auto it = std::upper_bound(edges.begin() + first, edges.end(), unscrolled);
    return static_cast<int>(it - edges.begin()) - 1;
}

GridCell GridLayout::CellAt(int x, int y) const {
    if (ColCount() == 0 || RowCount() == 0 || x >= viewWidth_ || y >= viewHeight_)
        return {};
    const int col = Locate(colEdges_, fixedCols_, leftCol_, colEdges_[fixedCols_], x);
    const int row = Locate(rowEdges_, fixedRows_, topRow_, rowEdges_[fixedRows_], y);
    if (col < 0 || row < 0)
        return {};
    return {col, row};
}

int GridLayout::LastVisible(const std::vector<int>& edges, int fixed, int first, int viewSize) {
    const int count = static_cast<int>(edges.size()) - 1;
    int last = first;
    while (last + 1 < count && Position(edges, fixed, first, last + 1) < viewSize)
        ++last;
    return std::min(last, count - 1);
}

int GridLayout::LastVisibleCol() const {
    return ColCount() == 0 ? -1 : LastVisible(colEdges_, fixedCols_, leftCol_, viewWidth_);
}

int GridLayout::LastVisibleRow() const {
    return RowCount() == 0 ? -1 : LastVisible(rowEdges_, fixedRows_, topRow_, viewHeight_);
}

int GridLayout::ScrollTo(const std::vector<int>& edges, int fixed, int first, int viewSize,
                         int index) {
    if (index < fixed)
        return first;
    if (index < first)
        return index;
    const auto at = [&](int i) { return edges[static_cast<std::size_t>(i)]; };
    const int room = viewSize - at(fixed);
    while (first < index && at(index + 1) - at(first) > room)
        ++first;
    return first;
}

void GridLayout::ScrollIntoView(int col, int row) {
    if (col >= 0 && col < ColCount())
        SetLeftCol(ScrollTo(colEdges_, fixedCols_, leftCol_, viewWidth_, col));
    if (row >= 0 && row < RowCount())
        SetTopRow(ScrollTo(rowEdges_, fixedRows_, topRow_, viewHeight_, row));
}

} // namespace marlo
