#pragma once

#include <string>
#include <vector>

class cmcCellContext;
struct cmcExchangeList;
struct dstCsvTable;

// Why one value, row or header of an imported table was refused.
struct dstImportProblem {
    int line = 0;
    std::string column; // the header's name for it; empty for a whole row
    std::string reason;
};

// "line 12, column rx_khz: reason", or "line 12: reason" for a whole row.
std::string describeImportProblem(const dstImportProblem& problem);

// Reads `table` into the list of the context's document, every value as if it
// were typed into its cell (or picked from its cell's list) in the order the
// list names its columns: the same filters, limits and refusals. A list whose
// rows are entries in use or not is taken whole: a missing row, or a row with
// its key alone, leaves that entry empty.
//
// All or nothing: when any value is refused or would be stored otherwise than
// written, when a cell ends invalid or repeated, or when the list's own rules
// fail (the ALE channel limit), the document is left as it was and every
// problem found is returned, in line order. Nothing is returned on success.
std::vector<dstImportProblem> importListTable(cmcCellContext& context, int variant,
                                              const cmcExchangeList& list,
                                              const dstCsvTable& table);
