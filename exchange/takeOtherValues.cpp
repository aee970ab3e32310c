#include "exchange/takeOtherValues.h"

#include "core/csvTable.h"
#include "core/memoryImage.h"
#include "exchange/exchangeLists.h"
#include "exchange/listExport.h"
#include "exchange/listImport.h"
#include "radio/imageCellContext.h"

#include <map>
#include <set>

namespace marlo {

namespace {

using Kind = DiffRow::Kind;

// The records of an exported table start on line 2.
constexpr int kFirstRecordLine = 2;

// The table of `list` as the document holds it, with the other side's value in
// every chosen field.
CsvTable tableWithOtherValues(CellContext& context, MemoryImage& image, int variant,
                              std::size_t list, std::span<const DiffRow> rows) {
    std::vector<std::vector<std::string>> records =
        exportListTable(context, image, variant, exchangeLists()[list]);
    CsvTable table;
    table.header = records.front();
    for (const DiffRow& d : rows) {
        if (d.kind != Kind::Value || d.list != list)
            continue;
        std::vector<std::string>& record = records[d.row + 1];
        record.resize(table.header.size());
        record[d.column + 1] = d.other;
    }
    for (std::size_t r = 1; r < records.size(); ++r)
        table.rows.push_back({static_cast<int>(r) - 1 + kFirstRecordLine, std::move(records[r])});
    return table;
}

std::string placeOf(const ExchangeList& list, const ImportProblem& problem) {
    const std::size_t record = static_cast<std::size_t>(problem.line - kFirstRecordLine);
    std::string where = list.name;
    if (record < list.rows.size()) {
        const ExchangeRow& row = list.rows[record];
        where += row.label >= 0 ? " " + row.key : " " + list.keyHeader + " " + row.key;
    }
    if (!problem.column.empty() && list.rows.at(0).label < 0)
        where += ", " + problem.column;
    return where;
}

// The import's words for the command line's switch mean nothing in the window.
std::string withoutSwitch(std::string reason) {
    const std::string switchText = " (import --expert)";
    if (const auto at = reason.find(switchText); at != std::string::npos)
        reason.erase(at, switchText.size());
    return reason;
}

std::vector<std::string> describe(const ExchangeList& list,
                                  const std::vector<ImportProblem>& problems) {
    std::vector<std::string> texts;
    for (const ImportProblem& p : problems)
        texts.push_back(p.line == 0 ? withoutSwitch(p.reason)
                                    : placeOf(list, p) + ": " + withoutSwitch(p.reason));
    return texts;
}

} // namespace

std::vector<std::string> takeOtherValues(CellContext& context, int variant,
                                         const MemoryImage& other, std::span<const DiffRow> rows) {
    MemoryImage working;
    working.Assign(context.CurrentImage());
    for (const DiffRow& d : rows)
        takeDiffBytes(d, other, working);

    std::set<std::size_t> pending;
    for (const DiffRow& d : rows)
        if (d.kind == Kind::Value)
            pending.insert(d.list);
    // A list may need another's new values first (channels within new band
    // edges): what failed is tried again while another list goes in.
    std::map<std::size_t, std::vector<std::string>> problems;
    bool progress = true;
    while (!pending.empty() && progress) {
        progress = false;
        problems.clear();
        for (auto at = pending.begin(); at != pending.end();) {
            const std::size_t list = *at;
            ImageCellContext cells(context, working, variant);
            const CsvTable table = tableWithOtherValues(cells, working, variant, list, rows);
            const std::vector<ImportProblem> found =
                importListTable(cells, variant, exchangeLists()[list], table);
            if (found.empty()) {
                at = pending.erase(at);
                progress = true;
            } else {
                problems[list] = describe(exchangeLists()[list], found);
                ++at;
            }
        }
    }
    if (!pending.empty()) {
        std::vector<std::string> all;
        for (const auto& [list, texts] : problems)
            all.insert(all.end(), texts.begin(), texts.end());
        return all;
    }
    context.CurrentImage().Assign(working);
    return {};
}

} // namespace marlo
