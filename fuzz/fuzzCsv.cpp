// A CSV table imported into one list of a document: the initial file of either
// variant or a document whose every list is full, in expert mode or not.
//
// First byte: bits 0..2 the list (of seven), bit 3 the full document, bit 4
// model variant 1, bit 5 expert mode, bit 6 how the rest makes the table: clear,
// the rest is the table; set, the table is the list's own export, in ';' form
// when bit 7 is set, with the record numbered by the second byte replaced by
// the rest (or added after the last).
//
// A refused table leaves the document as it was, to the byte. An accepted one
// leaves no error the document did not have before, and its list's export
// imports back without a problem and without changing a byte.
#include "fuzzSupport.h"

#include "core/csvTable.h"
#include "core/memoryImage.h"
#include "exchange/exchangeLists.h"
#include "exchange/listExport.h"
#include "exchange/listImport.h"
#include "openedDocument.h"
#include "radio/errorCells.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

using namespace marlo;

namespace {

using fuzzSupport::Check;

OpenedDocument* document = nullptr;
MemoryImage before;

std::vector<std::string> problemsOf(const ExchangeList& list, const std::string& csv) {
    std::istringstream in(csv);
    CsvLimits limits;
    limits.maxRows = importRowLimit(list);
    auto read = readCsv(in, limits);
    if (const auto* problem = std::get_if<CsvProblem>(&read))
        return {problem->reason};
    OpenedDocument& context = *document;
    std::vector<std::string> problems;
    for (const ImportProblem& p :
         importListTable(context, context.variant, list, std::get<CsvTable>(read)))
        problems.push_back(describeImportProblem(p));
    return problems;
}

std::vector<ErrorCell> sortedErrorCells(OpenedDocument& context) {
    ExchangeCells cells(context, context.current, context.variant);
    std::vector<ErrorCell> found = cells.ErrorCells();
    std::sort(found.begin(), found.end());
    return found;
}

// The list's own export with record `record` (0 is the header) replaced by
// `line`, or `line` added after the last record.
std::string patchedExport(const ExchangeList& list, bool semicolons, std::size_t record,
                          const std::string& line) {
    OpenedDocument& context = *document;
    std::vector<std::vector<std::string>> table =
        exportListTable(context, context.current, context.variant, list);
    std::string csv;
    for (std::size_t r = 0; r < table.size(); ++r)
        csv += r == record ? line + "\r\n" : csvRecord(table[r], semicolons ? ';' : ',');
    if (record >= table.size())
        csv += line + "\r\n";
    return csv;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    document = &OpenedDocument::Shared();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::vector<ExchangeList>& lists = exchangeLists();
    const ExchangeList& list = lists[(data[0] & 7) % lists.size()];
    const int variant = data[0] >> 4 & 1;
    OpenedDocument& context = *document;
    const bool full = (data[0] & 0x08) != 0;
    context.Reset(variant, (data[0] & 0x20) != 0, full);
    before.Assign(context.current);

    const std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string csv = (data[0] & 0x40) != 0
                                ? patchedExport(list, (data[0] & 0x80) != 0, data[1], rest)
                                : std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::vector<ErrorCell> errorsBefore = sortedErrorCells(context);

    if (!problemsOf(list, csv).empty()) {
        Check(context.current.Equals(before), "a refused table changed the document");
    } else {
        const std::vector<ErrorCell> errorsAfter = sortedErrorCells(context);
        Check(std::includes(errorsBefore.begin(), errorsBefore.end(), errorsAfter.begin(),
                            errorsAfter.end()),
              "an accepted table left an error the document did not have");
        MemoryImage imported;
        imported.Assign(context.current);
        const std::string again = exportListCsv(context, context.current, context.variant, list);
        const std::vector<std::string> problems = problemsOf(list, again);
        if (!problems.empty())
            fuzzSupport::Broken("the export of an accepted table was refused: " + problems.front());
        Check(context.current.Equals(imported), "importing an export changed a byte");
    }
    QCoreApplication::processEvents();
    return 0;
}
