#pragma once

#include <cstdint>
#include <vector>

// The editable value cells of each kind, each with the image bytes it may change:
// whatever is typed, keyed or picked into one, no other byte may change.
namespace cellFields {

struct Region {
    std::int32_t first;
    std::int32_t count;
};

struct FieldCell {
    std::int32_t category;
    std::int32_t label;
    std::int32_t index;
    std::vector<Region> regions; // the bytes the cell may change
};

// One cell of every kind, at an index inside its list; expert cells included.
std::vector<FieldCell> fieldCells();
// Whether address `a` lies in one of the regions.
bool inside(const std::vector<Region>& regions, std::int32_t a);

} // namespace cellFields
