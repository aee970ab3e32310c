#pragma once

#include "sheets/cellModel.h"

#include <cstddef>
#include <string_view>

namespace marlo {

class OverlayTexts;

// Reads the attribute language of the overlay: a line holds cells separated by
// '|'; within a cell, text in braces is attribute text (flag letters and
// parenthesised groups), the rest is display text.
//
//   |{($eWh)^(%CL_FBits[@ch1])(@ch1++)}9|{(Color=clYellow)}Bit \(@ch1+1)|
//
// Named cell models ($name) come from the entries "CellModel_<name>" of the
// store given at construction. Broken references end the program with the
// message of the fault: an unknown category or cell name, a malformed channel
// counter ("Ch No. Error"), a missing model entry or a model that refers to itself.
class CellParser {
public:
    explicit CellParser(OverlayTexts& models) : models_(models) {}

    // Cuts the first cell off `line`, sets `parent` on `model` and resets it, and
    // unless `countOnly` parses the cell into it, with `counters` as the channel
    // counters (they may be nullptr when the text uses none). Returns the rest of
    // the line after the cell's '|'; empty when the cell was the last one.
    std::string_view SplitCell(std::string_view line, CellModel& model, const CellModel* parent,
                               ChannelCounters* counters, bool countOnly = false) const;

    // Applies attribute text (flag letters and groups) to `model`, reading its
    // channel counters through model.counters.
    void ApplyAttributes(CellModel& model, std::string_view attributes) const;

    // The number of cells in `line`: the number of SplitCell calls until the rest
    // is empty (an empty line has none).
    static std::size_t CountCells(std::string_view line);
    // The text of the first cell of `line` and the rest after its '|'.
    static std::string_view CellText(std::string_view line, std::string_view* rest);

private:
    OverlayTexts& models_;
};

} // namespace marlo
