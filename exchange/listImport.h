#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace marlo {

class CellContext;
struct ExchangeList;
struct CsvTable;

// Why one value, row or header of an imported table was refused.
struct ImportProblem {
    int line = 0;
    std::string column; // the header's name for it; empty for a whole row
    std::string reason;
};

// The rows a table for `list` may have before its reader gives up: enough that a
// table with rows too many or unknown is read and its rows named.
std::size_t importRowLimit(const ExchangeList& list);

// "line 12, column rx_khz: reason", "line 12: reason" for a whole row, or the
// reason alone for line 0.
std::string describeImportProblem(const ImportProblem& problem);

// Reads `table` into the list of the context's document, every value as if it
// were typed into its cell (or picked from its cell's list) in the order the
// list names its columns: the same filters, limits and refusals. A list whose
// rows are entries in use or not is taken whole: a missing row, or a row with
// its key alone, leaves that entry empty.
//
// All or nothing: when any value is refused or would be stored otherwise than
// written, when a cell ends invalid or repeated, when the list's own rules fail
// (the ALE channel limit), or when the warnings check of the whole document
// finds an error it did not find before (a channel outside new band edges, a
// mode it uses disabled), the document is left as it was and every problem
// found is returned, in line order; an error of another list has line 0 and
// names its list, entry and column. Nothing is returned on success. Errors the
// document had before, which the table neither made nor mended, go to
// `standing` when given, one description each; they do not refuse the table.
std::vector<ImportProblem> importListTable(CellContext& context, int variant,
                                           const ExchangeList& list, const CsvTable& table,
                                           std::vector<std::string>* standing = nullptr);

} // namespace marlo
