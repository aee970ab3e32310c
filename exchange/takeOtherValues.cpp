#include "exchange/takeOtherValues.h"

#include "core/cmcEeprom.h"
#include "core/csvTable.h"
#include "exchange/exchangeLists.h"
#include "exchange/listExport.h"
#include "exchange/listImport.h"
#include "radio/cmcImageCellContext.h"

#include <map>
#include <set>

namespace {

using Kind = dstDiffRow::Kind;

// The records of an exported table start on line 2.
constexpr int kFirstRecordLine = 2;

// The table of `list` as the document holds it, with the other side's value in
// every chosen field.
dstCsvTable tableWithOtherValues(cmcCellContext& context, cmcEeprom& image, int variant,
                                 std::size_t list, std::span<const dstDiffRow> rows) {
    std::vector<std::vector<std::string>> records =
        exportListTable(context, image, variant, exchangeLists()[list]);
    dstCsvTable table;
    table.header = records.front();
    for (const dstDiffRow& d : rows) {
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

std::string placeOf(const cmcExchangeList& list, const dstImportProblem& problem) {
    const std::size_t record = static_cast<std::size_t>(problem.line - kFirstRecordLine);
    std::string where = list.name;
    if (record < list.rows.size()) {
        const cmcExchangeRow& row = list.rows[record];
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

std::vector<std::string> describe(const cmcExchangeList& list,
                                  const std::vector<dstImportProblem>& problems) {
    std::vector<std::string> texts;
    for (const dstImportProblem& p : problems)
        texts.push_back(p.line == 0 ? withoutSwitch(p.reason)
                                    : placeOf(list, p) + ": " + withoutSwitch(p.reason));
    return texts;
}

} // namespace

std::vector<std::string> takeOtherValues(cmcCellContext& context, int variant,
                                         const cmcEeprom& other, std::span<const dstDiffRow> rows) {
    cmcEeprom working;
    working.Assign(context.CurrentImage());
    for (const dstDiffRow& d : rows)
        takeDiffBytes(d, other, working);

    std::set<std::size_t> pending;
    for (const dstDiffRow& d : rows)
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
            cmcImageCellContext cells(context, working, variant);
            const dstCsvTable table = tableWithOtherValues(cells, working, variant, list, rows);
            const std::vector<dstImportProblem> found =
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
