#pragma once

#include "sheets/cellModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace marlo {

class CellContext;

// One value for one cell of a sheet, as the user would type it (or pick it from
// the cell's list, for a cell that offers one).
struct CellValue {
    CellModel cell; // category, label, index and parameter of the sheet's cell
    std::string text;
    // An item picked from the cell's list (the list's item label and the
    // item's value) instead of the text.
    std::optional<std::pair<std::int32_t, std::int32_t>> pick;
    std::string row;    // how the sheet names the row, for messages
    std::string column; // the column's title, for messages
};

// Why one value was refused.
struct CellRefusal {
    std::string row;
    std::string column;
    std::string reason;
};

// "row 12, column Receive kHz: outside the receive band edge"
std::string describeCellRefusal(const CellRefusal& refusal);

// Enters every value into its cell in order, each exactly as if it were typed
// there: the same filters, limits, refusals and marks. All or nothing: a value
// that its cell refuses, that the cell cannot take on its own (a row without
// its key), or that is stored otherwise than written refuses the lot, and so
// does a cell of `watched` (the cells whose marks the values may change: their
// columns) that ends marked invalid or repeated where it was not; the document
// is then left untouched and every refusal is returned. Otherwise the values
// reach the document as one command named `commandName`, so that one Undo
// takes them all back.
std::vector<CellRefusal> enterValues(CellContext& context, const std::string& commandName,
                                     const std::vector<CellValue>& values,
                                     const std::vector<CellValue>& watched);

// True when the column of cells of that label holds numbers a series can run
// through: channel numbers and frequencies.
bool isSeriesLabel(std::int32_t label);

} // namespace marlo
