#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace marlo {

// A run of non-fixed columns or rows printed on one page.
struct PrintGroup {
    int first = 0;
    std::uint16_t count = 0;
    bool operator==(const PrintGroup&) const = default;
};

// Cuts the non-fixed columns into pages of at most `width` pixels together
// with the fixed columns that every page repeats. A page begins only at a
// column that `mayBegin` allows (its header does not continue the column on its
// left), so a run of such columns stays on one page even when too wide; a single
// column wider than the page still gets a page of its own.
std::vector<PrintGroup> printColumnGroups(std::span<const int> widths, int fixedCols,
                                          const std::vector<bool>& mayBegin, int width);

// Cuts the non-fixed rows into pages of at most `height` pixels together with
// the fixed rows; a row taller than the page gets a page of its own.
std::vector<PrintGroup> printRowGroups(std::span<const int> heights, int fixedRows, int height);

} // namespace marlo
