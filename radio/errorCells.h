#pragma once

#include <compare>
#include <cstdint>
#include <vector>

namespace marlo {

class CellEngine;

// One cell the warnings check counts as an error (a red mark that stops a clone
// write): its category, label and row.
struct ErrorCell {
    std::int32_t category = 0;
    std::int32_t label = 0;
    std::int32_t row = 0;
    auto operator<=>(const ErrorCell&) const = default;
};

// Every cell the check cells of the warnings check would find invalid, in the
// check's order: the same walks, but to the end rather than to the first.
std::vector<ErrorCell> errorCells(CellEngine& engine);

} // namespace marlo
