#include "cli/fleetRoster.h"

#include "core/csvTable.h"
#include "core/memoryImage.h"
#include "document/appCellContext.h"
#include "document/radioDocument.h"
#include "exchange/exchangeLists.h"
#include "exchange/listExport.h"
#include "exchange/listImport.h"
#include "radio/warningCheck.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <variant>

namespace marlo {

namespace {

constexpr const char* kLabelHeader = "label";
constexpr std::size_t kMostRadios = 1000;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(const std::string& text) {
    const std::size_t from = text.find_first_not_of(" \t");
    if (from == std::string::npos)
        return "";
    return text.substr(from, text.find_last_not_of(" \t") - from + 1);
}

// Where a roster column's value goes: a row and column of an exchanged list.
struct Target {
    const ExchangeList* list = nullptr;
    std::string rowKey;
    std::string column;
};

std::optional<Target> targetOf(const std::string& header) {
    const std::string name = lower(trimmed(header));
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos) {
        const ExchangeList* settings = findExchangeList("settings");
        for (const ExchangeRow& row : settings->rows) {
            if (lower(row.key) == name)
                return Target{settings, row.key, settings->columns.front().header};
        }
        return std::nullopt;
    }
    const std::size_t second = name.find('.', dot + 1);
    if (second == std::string::npos)
        return std::nullopt;
    const ExchangeList* list = findExchangeList(name.substr(0, dot));
    if (list == nullptr || list->name == "settings")
        return std::nullopt;
    const std::string key = name.substr(dot + 1, second - dot - 1);
    const std::string column = name.substr(second + 1);
    const bool hasRow = std::any_of(list->rows.begin(), list->rows.end(),
                                    [&](const ExchangeRow& r) { return lower(r.key) == key; });
    const bool hasColumn = std::any_of(list->columns.begin(), list->columns.end(),
                                       [&](const ExchangeColumn& c) { return c.header == column; });
    if (!hasRow || !hasColumn)
        return std::nullopt;
    return Target{list, key, column};
}

// Types one value into its cell through the list's import: the list as the
// document holds it, with that one value changed, taken whole.
std::vector<std::string> storeValue(AppCellContext& cells, int variant, const Target& target,
                                    const std::string& value) {
    const auto exported = exportListTable(cells, cells.CurrentImage(), variant, *target.list);
    CsvTable table;
    table.header = exported.front();
    const auto column = std::find(table.header.begin(), table.header.end(), target.column);
    const std::size_t at = static_cast<std::size_t>(column - table.header.begin());
    for (std::size_t r = 1; r < exported.size(); ++r) {
        CsvRow row{static_cast<int>(r) + 1, exported[r]};
        row.fields.resize(table.header.size());
        if (lower(row.fields.front()) == lower(target.rowKey))
            row.fields[at] = value;
        table.rows.push_back(std::move(row));
    }
    std::vector<std::string> reasons;
    for (const ImportProblem& p : importListTable(cells, variant, *target.list, table))
        reasons.push_back(
            p.column.empty() || p.column == target.column ? p.reason : p.column + ": " + p.reason);
    return reasons;
}

// The value a row's image holds for a roster column, as its export shows it.
std::string storedValue(AppCellContext& cells, int variant, const Target& target) {
    const auto exported = exportListTable(cells, cells.CurrentImage(), variant, *target.list);
    const auto& header = exported.front();
    const std::size_t at = static_cast<std::size_t>(
        std::find(header.begin(), header.end(), target.column) - header.begin());
    for (std::size_t r = 1; r < exported.size(); ++r) {
        if (lower(exported[r].front()) == lower(target.rowKey))
            return at < exported[r].size() ? trimmed(exported[r][at]) : std::string();
    }
    return {};
}

// A radio is told apart from the others of its network by these: its memory
// comment, its selective-call IDs and its ALE addresses.
bool isIdentity(const Target& target) {
    const std::string& list = target.list->name;
    return (list == "settings" && lower(target.rowKey) == "clonecomm") ||
           (list == "selcall" && target.column == "id") ||
           (list == "ale" && target.column == "address");
}

// The sheets the warnings check found errors on, once each.
std::vector<std::string> errorSheets(const RadioDocument& controller) {
    std::vector<std::string> keys;
    for (const CheckLine& line : controller.LastWarningCheck().lines) {
        if (line.mark == CheckMark::Error &&
            std::find(keys.begin(), keys.end(), line.key) == keys.end())
            keys.push_back(line.key);
    }
    return keys;
}

} // namespace

std::string describeFleetProblem(const std::string& roster, const FleetProblem& problem) {
    std::string where = problem.line > 0 ? roster + " line " + std::to_string(problem.line)
                                         : (problem.label.empty() ? roster : "the plan");
    if (!problem.label.empty())
        where += " (" + problem.label + ")";
    if (!problem.column.empty())
        where += ", column " + problem.column;
    return where + ": " + problem.reason;
}

std::vector<FleetProblem> readFleetRoster(const std::string& path, FleetRoster& roster) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {{0, "", "", "cannot be read"}};
    CsvLimits limits;
    limits.maxRows = kMostRadios;
    auto read = readCsv(in, limits);
    if (const auto* problem = std::get_if<CsvProblem>(&read)) {
        const std::string column =
            problem->column > 0 ? "column " + std::to_string(problem->column) + ": " : "";
        return {{problem->line, "", "", column + problem->reason}};
    }
    const CsvTable& table = std::get<CsvTable>(read);
    std::vector<FleetProblem> problems;
    std::optional<std::size_t> labelAt;
    std::set<std::string> seen;
    for (std::size_t c = 0; c < table.header.size(); ++c) {
        const std::string name = trimmed(table.header[c]);
        if (!seen.insert(lower(name)).second)
            problems.push_back({table.headerLine, "", name, "named twice"});
        else if (lower(name) == kLabelHeader)
            labelAt = c;
        else if (!targetOf(name))
            problems.push_back(
                {table.headerLine, "", name,
                 "names no setting and no LIST.SLOT.COLUMN of " + exchangeListNames()});
    }
    if (!labelAt)
        problems.push_back({table.headerLine, "", "", "the roster has no label column"});
    if (!problems.empty())
        return problems;
    for (std::size_t c = 0; c < table.header.size(); ++c) {
        if (c != *labelAt)
            roster.columns.push_back(trimmed(table.header[c]));
    }
    std::set<std::string> labels;
    for (const CsvRow& record : table.rows) {
        FleetRow row;
        row.line = record.line;
        row.label = trimmed(record.fields[*labelAt]);
        for (std::size_t c = 0; c < record.fields.size(); ++c) {
            if (c != *labelAt)
                row.values.push_back(record.fields[c]);
        }
        if (row.label.empty())
            problems.push_back({row.line, "", kLabelHeader, "the label is blank"});
        else if (!labels.insert(row.label).second)
            problems.push_back({row.line, row.label, kLabelHeader, "the label is repeated"});
        roster.rows.push_back(std::move(row));
    }
    if (roster.rows.empty())
        problems.push_back({0, "", "", "the roster names no radio"});
    return problems;
}

std::vector<FleetProblem> buildFleetImages(RadioDocument& controller, const FleetRoster& roster,
                                           std::vector<std::unique_ptr<MemoryImage>>& images) {
    std::vector<FleetProblem> problems;
    int errors = 0;
    int warnings = 0;
    controller.CheckWarnings(errors, warnings);
    if (errors > 0) {
        for (const std::string& sheet : errorSheets(controller))
            problems.push_back({0, "", "", "errors on the sheet " + sheet});
        return problems;
    }
    AppCellContext cells(controller);
    const int variant = controller.ModelVariant();
    MemoryImage plan;
    plan.Assign(controller.CurrentImage());
    std::vector<std::unique_ptr<MemoryImage>> built;
    // Per identity column, the rows that hold each value so far.
    std::vector<std::map<std::string, const FleetRow*>> identities(roster.columns.size());
    for (const FleetRow& row : roster.rows) {
        controller.CurrentImage().Assign(plan);
        bool refused = false;
        for (std::size_t c = 0; c < roster.columns.size(); ++c) {
            if (trimmed(row.values[c]).empty())
                continue;
            for (const std::string& reason :
                 storeValue(cells, variant, *targetOf(roster.columns[c]), row.values[c])) {
                problems.push_back({row.line, row.label, roster.columns[c], reason});
                refused = true;
            }
        }
        if (refused)
            continue;
        controller.CheckWarnings(errors, warnings);
        for (const std::string& sheet : errorSheets(controller))
            problems.push_back({row.line, row.label, "", "errors on the sheet " + sheet});
        for (std::size_t c = 0; c < roster.columns.size(); ++c) {
            const Target target = *targetOf(roster.columns[c]);
            const std::string value = isIdentity(target) ? storedValue(cells, variant, target) : "";
            if (value.empty())
                continue;
            const auto [first, isNew] = identities[c].emplace(value, &row);
            if (!isNew)
                problems.push_back({row.line, row.label, roster.columns[c],
                                    "the same " + value + " as line " +
                                        std::to_string(first->second->line) + " (" +
                                        first->second->label + "); each radio needs its own"});
        }
        auto image = std::make_unique<MemoryImage>();
        image->Assign(controller.CurrentImage());
        controller.PrepareImage(*image, true);
        built.push_back(std::move(image));
    }
    controller.CurrentImage().Assign(plan);
    if (problems.empty())
        images = std::move(built);
    return problems;
}

} // namespace marlo
