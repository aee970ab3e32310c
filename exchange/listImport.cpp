#include "exchange/listImport.h"

#include "core/csvTable.h"
#include "core/memoryImage.h"
#include "exchange/exchangeLists.h"
#include "exchange/exchangeValues.h"
#include "radio/cellLabels.h"
#include "radio/codecSteps.h"
#include "radio/listRecord.h"
#include "sheets/cellNames.h"

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <set>

namespace marlo {

using namespace CellLabel;

namespace {

namespace value = exchangeValue;
using Form = ValueForm;

constexpr int kKeyColumn = -1;
constexpr int kOtherEntriesNamed = 5; // entries of other lists an import names

bool isBlank(const std::string& text) {
    return codec::trimSpaces(text).empty();
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Why a cell of the label shows its mark, for the messages.
std::string markReason(std::int32_t label, bool invalid, const std::string& text) {
    switch (label) {
    case CL_UCh_FreqR:
        return text.empty() ? "a channel needs a receive frequency"
                            : "outside the receive band edge";
    case CL_UCh_FreqT:
        return "outside every transmit range";
    case CL_UCh_Mode:
        return "the mode is disabled in the mode registrations";
    case CL_UCh_Call:
        return "the call kind does not go with the channel's mode";
    case CL_UCh_Ale:
        return "the ALE address repeats an earlier ALE entry";
    case CL_EdgeFreq_Low:
    case CL_EdgeFreq_High:
        return "the band edges do not fit together (every transmit range within the "
               "receive edge, ranges rising and without gaps, both limits set)";
    default:
        return invalid ? "invalid" : "repeats an earlier entry";
    }
}

// Where an error cell lies, as the exchanged lists name it.
struct Place {
    const ExchangeList* list = nullptr;
    std::size_t row = 0;
    std::size_t column = 0;
};

std::optional<Place> placeOf(const ErrorCell& cell) {
    for (const ExchangeList& list : exchangeLists()) {
        for (std::size_t r = 0; r < list.rows.size(); ++r) {
            const ExchangeRow& row = list.rows[r];
            if (row.category != cell.category || row.index != cell.row)
                continue;
            for (std::size_t c = 0; c < list.columns.size(); ++c) {
                if (ExchangeCells::LabelOf(row, list.columns[c]) == cell.label)
                    return Place{&list, r, c};
            }
        }
    }
    return std::nullopt;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class Importer {
public:
    Importer(CellContext& context, int variant, const ExchangeList& list, const CsvTable& table)
        : context_(context), variant_(variant), list_(list), table_(table),
          cells_(context, working_, variant), originalCells_(context, original_, variant) {
        working_.Assign(context.CurrentImage());
        original_.Assign(context.CurrentImage());
    }

    std::vector<ImportProblem> Run(std::vector<std::string>* standing) {
        if (MapHeader() && MatchRows()) {
            EmptyUnusedRows();
            for (const bool alePicks : {false, true}) {
                alePicks_ = alePicks;
                for (std::size_t r = 0; r < list_.rows.size(); ++r)
                    ApplyRow(r);
            }
            CheckMarks();
            if (problems_.empty())
                CheckDocument(standing);
        }
        if (!problems_.empty()) {
            std::stable_sort(problems_.begin(), problems_.end(),
                             [](const auto& a, const auto& b) { return a.line < b.line; });
            return problems_;
        }
        context_.CurrentImage().Assign(working_);
        return {};
    }

private:
    void Problem(int line, std::string column, std::string reason) {
        problems_.push_back({line, std::move(column), std::move(reason)});
    }

    // Which list column each field of the table holds.
    bool MapHeader() {
        const int line = table_.headerLine;
        std::vector<bool> seen(list_.columns.size() + 1, false);
        for (const std::string& raw : table_.header) {
            const std::string name = lower(codec::trimSpaces(raw));
            int column = -2;
            if (name == list_.keyHeader)
                column = kKeyColumn;
            for (std::size_t c = 0; c < list_.columns.size(); ++c) {
                if (name == list_.columns[c].header)
                    column = static_cast<int>(c);
            }
            fields_.push_back(column);
            if (column == -2 && name.empty()) {
                Problem(line, std::to_string(fields_.size()),
                        "the header names no column here (" + list_.name + " has " + ColumnNames() +
                            ")");
                continue;
            }
            if (column == -2) {
                Problem(line, raw, "unknown column; " + list_.name + " has " + ColumnNames());
                continue;
            }
            if (seen[static_cast<std::size_t>(column + 1)])
                Problem(line, raw, "the column is given twice");
            seen[static_cast<std::size_t>(column + 1)] = true;
        }
        const bool rowsByKey = list_.rows.empty() || list_.rows.front().label >= 0;
        if (rowsByKey && !seen[0])
            Problem(line, list_.keyHeader, "missing from the header");
        if (list_.usedColumn >= 0 && !seen[static_cast<std::size_t>(list_.usedColumn + 1)])
            Problem(line, list_.columns[static_cast<std::size_t>(list_.usedColumn)].header,
                    "missing from the header");
        keyField_ = FieldOf(kKeyColumn);
        return problems_.empty();
    }

    std::string ColumnNames() const {
        std::string names = list_.keyHeader;
        for (const ExchangeColumn& c : list_.columns)
            names += ", " + c.header;
        return names;
    }

    std::optional<std::size_t> FieldOf(int column) const {
        const auto at = std::find(fields_.begin(), fields_.end(), column);
        if (at == fields_.end())
            return std::nullopt;
        return static_cast<std::size_t>(at - fields_.begin());
    }

    // Which row of the list each record is: by its key, else by its place.
    bool MatchRows() {
        rowOf_.assign(list_.rows.size(), nullptr);
        for (std::size_t k = 0; k < table_.rows.size(); ++k) {
            const CsvRow& record = table_.rows[k];
            std::optional<std::size_t> row = k;
            if (keyField_) {
                row = RowByKey(record.fields[*keyField_]);
                if (!row) {
                    Problem(record.line, list_.keyHeader,
                            quoted(codec::trimSpaces(record.fields[*keyField_])) + " is no " +
                                list_.keyHeader + " of " + list_.name + KeyRange());
                    continue;
                }
            }
            if (*row >= list_.rows.size()) {
                Problem(record.line, "", "more rows than " + list_.name + " has");
                continue;
            }
            if (rowOf_[*row] != nullptr) {
                Problem(record.line, list_.keyHeader,
                        list_.keyHeader + " " + list_.rows[*row].key + " is given twice (line " +
                            std::to_string(rowOf_[*row]->line) + ")");
                continue;
            }
            rowOf_[*row] = &record;
        }
        return problems_.empty();
    }

    std::string KeyRange() const {
        if (list_.rows.empty() || list_.rows.front().label >= 0)
            return "";
        return " (" + list_.rows.front().key + ".." + list_.rows.back().key + ")";
    }

    // A row's key in any case; a slot number with leading zeros too.
    std::optional<std::size_t> RowByKey(const std::string& key) const {
        std::string wanted = lower(codec::trimSpaces(key));
        if (wanted.find_first_not_of("0123456789") == std::string::npos)
            wanted.erase(0, std::min(wanted.find_first_not_of('0'), wanted.size()));
        for (std::size_t r = 0; r < list_.rows.size(); ++r) {
            if (lower(list_.rows[r].key) == wanted)
                return r;
        }
        return std::nullopt;
    }

    // The record's value for a list column; none when the table lacks it.
    std::optional<std::string> ValueOf(std::size_t row, std::size_t column) const {
        const std::optional<std::size_t> field = FieldOf(static_cast<int>(column));
        if (!field || rowOf_[row] == nullptr)
            return std::nullopt;
        return rowOf_[row]->fields[*field];
    }

    // A record that holds nothing but its key.
    bool RecordIsEmpty(std::size_t row) const {
        const CsvRow* record = rowOf_[row];
        if (record == nullptr)
            return true;
        for (std::size_t f = 0; f < record->fields.size(); ++f) {
            if (fields_[f] != kKeyColumn && !isBlank(record->fields[f]))
                return false;
        }
        return true;
    }

    std::uint8_t ListTypeOf(std::size_t row) const {
        return static_cast<std::uint8_t>(listTypeOf(list_.rows[row].category));
    }

    // Entries the table leaves empty are cleared as clearing a row does; an
    // entry the table fills starts from a blank one, so nothing of what an
    // unused entry held before comes back.
    void EmptyUnusedRows() {
        refusedKey_.assign(list_.rows.size(), false);
        if (list_.usedColumn < 0)
            return;
        const auto used = static_cast<std::size_t>(list_.usedColumn);
        for (std::size_t r = 0; r < list_.rows.size(); ++r) {
            ListRecord entry(&working_);
            entry.Load(ListTypeOf(r), list_.rows[r].index);
            const bool empty = RecordIsEmpty(r);
            if (!empty && isBlank(ValueOf(r, used).value_or(""))) {
                Problem(rowOf_[r]->line, list_.columns[used].header,
                        "a row with values needs one here (a row with its " + list_.keyHeader +
                            " alone is an empty entry)");
                refusedKey_[r] = true;
            }
            if (empty == entry.isUsed()) {
                entry.MakeBlank(ListTypeOf(r), list_.rows[r].index);
                entry.Store(ListTypeOf(r), list_.rows[r].index);
                Changed(r);
            }
        }
    }

    void ApplyRow(std::size_t r) {
        if (rowOf_[r] == nullptr || (list_.usedColumn >= 0 && RecordIsEmpty(r)))
            return;
        for (std::size_t c = 0; c < list_.columns.size() && !refusedKey_[r]; ++c) {
            const std::optional<std::string> text = ValueOf(r, c);
            // The other cells of an entry not in use take nothing.
            if (text && !Apply(r, c, *text) && static_cast<int>(c) == list_.usedColumn)
                refusedKey_[r] = true;
        }
    }

    // Types one value. False when it was refused.
    bool Apply(std::size_t r, std::size_t c, const std::string& raw) {
        const ExchangeRow& row = list_.rows[r];
        const ExchangeColumn& column = list_.columns[c];
        const Form form = ExchangeCells::FormOf(row, column);
        const int line = rowOf_[r]->line;
        const std::string& header = column.header;
        // A call kind the ALE limit refuses is tried again in a second sweep,
        // once every channel that gives ALE up has done so.
        const bool callKind = column.label == CL_UCh_Call;
        if (alePicks_ && !callKind)
            return true;

        std::string problem;
        std::string typed = value::typedForm(form, raw, table_.separator == ';', problem);
        if (!problem.empty())
            return Refuse(line, header, problem);
        // The cell drops a text's leading blanks, as it drops the padding after it.
        if ((form == Form::Name || form == Form::Printable) && !typed.empty() && raw.front() == ' ')
            return Refuse(line, header,
                          "would be stored as " + quoted(typed) + " (without its leading blanks)");
        const ExchangeCells::Shown before = cells_.Show(row, column);
        // A reference the cell shows as nothing (one to an unused ALE entry) is
        // exported blank; the blank keeps it.
        if (typed.empty() && before.text.empty())
            return true;
        if (typed.empty() && !column.blankChoice.empty())
            typed = column.blankChoice;
        if (value::holds(form, typed, before.text, ReceiveShown(r)))
            return true;
        if (form == Form::Shown)
            return Refuse(line, header, "cannot be changed (it shows " + quoted(before.text) + ")");
        if (before.restricted)
            return Refuse(line, header,
                          OpenInExpertMode(row, column)
                              ? "can be changed only in expert mode (import --expert)"
                              : "cannot be changed");
        // A blank where the cell cannot be emptied leaves it as it is.
        if (form == Form::Choice && typed.empty())
            return true;
        std::string refusal = "not accepted by the cell";
        if (form == Form::Choice) {
            const Chosen chosen = Choose(r, c, typed);
            if (chosen != Chosen::Picked)
                return chosen == Chosen::Later;
        } else {
            const int length = row.label >= 0 ? row.length : column.length;
            const std::string why = value::unstorable(form, length, typed);
            if (!why.empty())
                return Refuse(line, header, why);
            std::string input = typed;
            if (input.empty() && !column.blankInput.empty())
                input = column.blankInput;
            if (form == Form::Transmit && input == "<-")
                input = ReceiveShown(r);
            const ExchangeCells::Typed outcome = cells_.Type(row, column, input);
            if (outcome.tooLong > 0)
                refusal = "longer than " + std::to_string(outcome.tooLong) + " characters";
            if (!outcome.hint.empty())
                refusal = outcome.hint;
        }
        Changed(r);
        const ExchangeCells::Shown after = cells_.Show(row, column);
        if (value::holds(form, typed, after.text, ReceiveShown(r)))
            return true;
        if (after.text == before.text)
            return typed.empty() || Refuse(line, header, refusal);
        if (typed.empty())
            return Refuse(line, header, "cannot be empty");
        return Refuse(line, header,
                      after.text.empty() ? "would leave the cell empty"
                                         : "would be stored as " + quoted(after.text));
    }

    // Whether expert mode, not on now, would let the cell be changed.
    bool OpenInExpertMode(const ExchangeRow& row, const ExchangeColumn& column) {
        if (context_.ExpertMode() || context_.FactoryMode())
            return false;
        cells_.Context().SetExpertMode(true);
        const bool open = !cells_.Show(row, column).restricted;
        cells_.Context().SetExpertMode(std::nullopt);
        return open;
    }

    bool Refuse(int line, const std::string& column, std::string reason) {
        refusedCells_.emplace(line, column);
        Problem(line, column, std::move(reason));
        return false;
    }

    std::string ReceiveShown(std::size_t r) {
        for (const ExchangeColumn& column : list_.columns) {
            if (column.label == CL_UCh_FreqR)
                return cells_.Show(list_.rows[r], column).text;
        }
        return {};
    }

    enum class Chosen { Picked, Later, Refused };

    // Picks the item of the cell's list that makes the cell show `typed`.
    Chosen Choose(std::size_t r, std::size_t c, const std::string& typed) {
        const ExchangeRow& row = list_.rows[r];
        const ExchangeColumn& column = list_.columns[c];
        const int line = rowOf_[r]->line;
        const std::string& wanted = typed;
        const std::optional<OpenedList> list = cells_.ListOf(row, column);
        if (!list) {
            Refuse(line, column.header, "not accepted by the cell");
            return Chosen::Refused;
        }
        const bool callKind = column.label == CL_UCh_Call;
        const std::vector<std::pair<std::string, std::int32_t>>& items = Items(r, c, *list);
        const std::pair<std::string, std::int32_t>* found = nullptr;
        for (const auto& item : items) {
            if (item.first == wanted) {
                found = &item;
                break;
            }
        }
        for (const auto& item : items) {
            if (found == nullptr && value::sameChoice(item.first, wanted))
                found = &item;
        }
        if (found == nullptr && callKind && !alePicks_)
            return Chosen::Later; // ALE may be offered once others have given it up
        if (found == nullptr) {
            std::string offered;
            for (const auto& item : items) {
                if (!item.first.empty() && offered.find(quoted(item.first)) == std::string::npos)
                    offered += (offered.empty() ? "" : ", ") + quoted(item.first);
            }
            std::string reason = "not one of " + offered;
            ListRecord channel(&working_);
            channel.Load(ListTypeOf(r), row.index);
            if (callKind && channel.callKind != ListRecord::aleCallKind &&
                channel.AleChannelCount() >= ListRecord::aleChannelLimit)
                reason += " (no more than " + std::to_string(ListRecord::aleChannelLimit) +
                          " channels can use ALE calling)";
            Refuse(line, column.header, reason);
            return Chosen::Refused;
        }
        cells_.Pick(row, column, *list, found->second);
        return Chosen::Picked;
    }

    // What the cell shows for each item of its list, in the list's order. The
    // texts do not depend on the row's other cells, so each list is tried once,
    // on a copy of the document.
    const std::vector<std::pair<std::string, std::int32_t>>& Items(std::size_t r, std::size_t c,
                                                                   const OpenedList& list) {
        const ExchangeRow& row = list_.rows[r];
        const ExchangeColumn& column = list_.columns[c];
        const std::string key = std::to_string(ExchangeCells::LabelOf(row, column)) + "|" +
                                column.parameter + "|" + list.listKey + "|" +
                                std::to_string(list.kind);
        auto cached = items_.find(key);
        if (cached != items_.end())
            return cached->second;

        ExchangeCells tried(context_, working_, variant_);
        auto items = tried.Items(row, column, list);
        return items_.emplace(key, std::move(items)).first->second;
    }

    // A table line that changed the document; one without a line (a row left
    // out, so emptied) counts too.
    void Changed(std::size_t r) {
        changedLines_.insert(rowOf_[r] != nullptr ? rowOf_[r]->line : 0);
    }

    // The marks the cells show once everything is typed, but for a mark the
    // cell showed on the same value before: the table did not make it.
    void CheckMarks() {
        for (std::size_t r = 0; r < list_.rows.size(); ++r) {
            if (rowOf_[r] == nullptr || (list_.usedColumn >= 0 && RecordIsEmpty(r)) ||
                refusedKey_[r])
                continue;
            for (std::size_t c = 0; c < list_.columns.size(); ++c) {
                // A refused value has said why already.
                if (refusedCells_.count({rowOf_[r]->line, list_.columns[c].header}) != 0)
                    continue;
                const ExchangeCells::Shown shown = cells_.Show(list_.rows[r], list_.columns[c]);
                if (!shown.invalid && !shown.duplicate)
                    continue;
                const ExchangeCells::Shown was =
                    originalCells_.Show(list_.rows[r], list_.columns[c]);
                if (was.text == shown.text && was.invalid == shown.invalid &&
                    was.duplicate == shown.duplicate)
                    continue;
                Problem(rowOf_[r]->line, list_.columns[c].header, MarkReason(r, c, shown));
            }
        }
    }

    std::string MarkReason(std::size_t r, std::size_t c, const ExchangeCells::Shown& shown) {
        const ExchangeColumn& column = list_.columns[c];
        if (static_cast<int>(c) == list_.usedColumn) {
            for (std::size_t e = 0; e < r; ++e) {
                if (cells_.Show(list_.rows[e], column).text == shown.text)
                    return quoted(shown.text) + " repeats " + list_.keyHeader + " " +
                           list_.rows[e].key;
            }
        }
        return markReason(column.label, shown.invalid, shown.text);
    }

    // The warnings check of the whole document, as a clone write runs it: an
    // error the table made anywhere refuses it; one the document had already
    // is told, not blamed on the table.
    void CheckDocument(std::vector<std::string>* standing) {
        std::vector<ErrorCell> before = originalCells_.ErrorCells();
        std::sort(before.begin(), before.end());
        int otherEntries = 0;
        // Only one line changed anything: that line did it.
        const int cause = changedLines_.size() == 1 ? *changedLines_.begin() : 0;
        for (const ErrorCell& cell : cells_.ErrorCells()) {
            const bool had = std::binary_search(before.begin(), before.end(), cell);
            if (had && standing == nullptr)
                continue;
            const std::optional<Place> place = placeOf(cell);
            if (!place) {
                // Every checked cell belongs to a list; a broken overlay could say otherwise.
                if (!had)
                    Problem(0, "", "the document would have errors");
                continue;
            }
            const ExchangeList& list = *place->list;
            const ExchangeRow& row = list.rows[place->row];
            const ExchangeColumn& column = list.columns[place->column];
            const std::string text = cells_.Show(row, column).text;
            const std::string where =
                list.name + " " + list.keyHeader + " " + row.key + ", column " + column.header;
            const std::string reason = markReason(cell.label, true, text);
            if (had) {
                standing->push_back(where + ": " + reason);
                continue;
            }
            const CsvRow* record = &list == &list_ ? rowOf_[place->row] : nullptr;
            if (record != nullptr) {
                Problem(record->line, column.header, reason);
                continue;
            }
            if (++otherEntries <= kOtherEntriesNamed)
                Problem(cause, "", "the table makes " + where + " wrong: " + reason);
        }
        if (otherEntries > kOtherEntriesNamed)
            Problem(cause, "",
                    "the table makes " + std::to_string(otherEntries - kOtherEntriesNamed) +
                        " more entries wrong");
    }

    CellContext& context_;
    int variant_;
    const ExchangeList& list_;
    const CsvTable& table_;
    MemoryImage working_;
    MemoryImage original_;
    ExchangeCells cells_;
    ExchangeCells originalCells_; // the document as it was, for the marks it had
    std::vector<int> fields_;     // list column of each table field; kKeyColumn for the key
    std::optional<std::size_t> keyField_;
    std::vector<const CsvRow*> rowOf_;
    std::map<std::string, std::vector<std::pair<std::string, std::int32_t>>> items_;
    bool alePicks_ = false;
    std::vector<bool> refusedKey_;
    std::set<std::pair<int, std::string>> refusedCells_;
    std::set<int> changedLines_;
    std::vector<ImportProblem> problems_;
};

} // namespace

std::size_t importRowLimit(const ExchangeList& list) {
    return 2 * list.rows.size() + 16;
}

std::string describeImportProblem(const ImportProblem& problem) {
    if (problem.line == 0)
        return problem.reason;
    std::string text = "line " + std::to_string(problem.line);
    if (!problem.column.empty())
        text += ", column " + problem.column;
    return text + ": " + problem.reason;
}

std::vector<ImportProblem> importListTable(CellContext& context, int variant,
                                           const ExchangeList& list, const CsvTable& table,
                                           std::vector<std::string>* standing) {
    return Importer(context, variant, list, table).Run(standing);
}

} // namespace marlo
