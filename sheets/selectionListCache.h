#pragma once

#include "sheets/cellParser.h"
#include "sheets/selectionListIndex.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class OverlayTexts;

// One cell of a selection list: where it stands in its picker sheet, the value
// it stands for (its index) and its text (its reference's parameter, else its
// display text).
struct SelectionEntry {
    int line;
    int column;
    std::int32_t value;
    std::string text;
};

struct SelectionList {
    int lineCount = 0;                     // lines of "_Cells" before the end line
    int widestLine = 0;                    // most cells in one line
    std::vector<SelectionEntry> entries;   // in the order read: line by line
    std::vector<std::size_t> byValue;      // ascending value; equal values keep their order
    std::vector<std::size_t> readingOrder; // down the first column, then the next
};

// The selection list index: for a picker sheet S and a label L, the cells of S
// that carry L, read once from "S_Cells" and filed under "S#L". The list codecs
// use it to show a stored value and to step through the values without opening
// the picker:
//
//   #GI_Sheet_Sel_Pwr_Cells
//   |{(%CL_Comm_TxPwrSel[0])}Low|{(%CL_Comm_TxPwrSel[2])}High|
//   |{(%CL_Comm_TxPwrSel[1])}Mid|
//   #
//
// Text of 2 is "High"; stepping on from 0 gives 1, then 2, then 0 again.
class SelectionListCache {
public:
    // `store` holds the picker sheets, `models` the named cell models; borrowed.
    SelectionListCache(OverlayTexts& store, OverlayTexts& models);
    ~SelectionListCache();
    SelectionListCache(const SelectionListCache&) = delete;
    SelectionListCache& operator=(const SelectionListCache&) = delete;

    // The text of the entry for `value`, building the list on first use;
    // "error" when no entry has that value.
    std::string TextOf(std::string_view sheet, int label, std::int32_t value);
    // The value `direction` (+1 or -1) entries after `value` in reading order,
    // wrapping at both ends; from a value not in the list +1 gives the first
    // entry and -1 the last.
    // Nothing when the list has not been built yet or has no entries.
    std::optional<std::int32_t> Step(std::string_view sheet, int label, std::int32_t value,
                                     int direction) const;
    // The list, when it has been built.
    const SelectionList* Find(std::string_view sheet, int label) const;

private:
    SelectionList& Build(std::string_view sheet, int label);
    template <typename Visit>
    int ReadCells(const std::string& entry, Visit visit);

    OverlayTexts& store_;
    CellParser parser_;
    SelectionListIndex index_;
    std::vector<std::unique_ptr<SelectionList>> lists_;
};

} // namespace marlo
