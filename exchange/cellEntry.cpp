#include "exchange/cellEntry.h"

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "exchange/exchangeLists.h"
#include "exchange/exchangeValues.h"
#include "radio/cellContext.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/codecSteps.h"

#include <map>
#include <optional>
#include <unordered_map>

namespace marlo {

using namespace CellLabel;
namespace value = exchangeValue;

namespace {

// The form each label is exchanged in; labels of no exchanged list have none.
const std::unordered_map<std::int32_t, ValueForm>& formsByLabel() {
    static const std::unordered_map<std::int32_t, ValueForm> forms = [] {
        std::unordered_map<std::int32_t, ValueForm> built;
        for (const ExchangeList& list : exchangeLists()) {
            for (const ExchangeColumn& column : list.columns)
                built.emplace(column.label, column.form);
            for (const ExchangeRow& row : list.rows)
                if (row.label >= 0)
                    built.emplace(row.label, row.form);
        }
        return built;
    }();
    return forms;
}

std::optional<ValueForm> formOf(std::int32_t label) {
    const auto& forms = formsByLabel();
    const auto found = forms.find(label);
    return found == forms.end() ? std::nullopt : std::optional(found->second);
}

constexpr const char* kNotInUse = "the row is not in use: it needs its channel number or ID first";

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The values typed one after another into a copy of the document.
class Entry {
public:
    Entry(CellContext& context) : cells_(context, working_, context.ModelVariant()) {
        working_.Assign(context.CurrentImage());
    }

    const MemoryImage& Result() const { return working_; }
    std::vector<CellRefusal> TakeRefusals() { return std::move(refusals_); }

    void Enter(const CellValue& v) {
        const ExchangeRow row = RowOf(v.cell);
        const ExchangeColumn column = ColumnOf(v.cell);
        const std::optional<ValueForm> form = formOf(v.cell.label);
        const ExchangeCells::Shown before = cells_.Show(row, column);
        std::string typed = codec::trimSpaces(v.text);
        if (form == ValueForm::Transmit && typed == "<-")
            typed = ReceiveShown(row); // "as received", on this row
        if (!v.pick && Holds(form, typed, before.text, row))
            return; // it shows that already: nothing to type
        if (before.restricted)
            return Refuse(v, "cannot be changed here (it shows " + quoted(before.text) + ")");
        if (v.pick) {
            OpenedList list;
            list.kind = v.pick->first;
            if (!cells_.Pick(row, column, list, v.pick->second))
                return Refuse(v, kNotInUse);
            return;
        }
        if (form) {
            std::string problem;
            typed = value::typedForm(*form, typed, false, problem);
            if (!problem.empty())
                return Refuse(v, problem);
        }
        if (form == ValueForm::Choice) {
            if (!Choose(v, row, column, typed))
                return;
        } else {
            const ExchangeCells::Typed outcome = cells_.Type(row, column, typed);
            if (outcome.redirected)
                return Refuse(v, kNotInUse);
            if (outcome.tooLong > 0)
                return Refuse(v, "longer than " + std::to_string(outcome.tooLong) + " characters");
            if (!outcome.hint.empty())
                return Refuse(v, outcome.hint);
        }
        const ExchangeCells::Shown after = cells_.Show(row, column);
        const bool taken = form ? Holds(form, typed, after.text, row)
                                : after.text != before.text || value::sameChoice(typed, after.text);
        if (!taken)
            return Refuse(v, typed.empty() ? "cannot be empty"
                                           : "not taken as " + quoted(typed) + " (it shows " +
                                                 quoted(after.text) + ")");
    }

    // The watched cells as they are before anything is typed.
    void NoteMarks(const std::vector<CellValue>& watched) {
        for (const CellValue& v : watched)
            marked_.emplace_back(&v, cells_.Show(RowOf(v.cell), ColumnOf(v.cell)));
    }

    // Marks once everything is typed: a later value may mark an earlier cell,
    // or a cell of another row (a repeated channel number). A mark the cell
    // had before on the same text was not made here.
    void CheckMarks() {
        for (const auto& [v, before] : marked_) {
            const ExchangeCells::Shown after = cells_.Show(RowOf(v->cell), ColumnOf(v->cell));
            if (!after.invalid && !after.duplicate)
                continue;
            if (after.text == before.text && after.invalid == before.invalid &&
                after.duplicate == before.duplicate)
                continue;
            std::string reason = after.reason;
            if (reason.empty())
                reason = after.duplicate ? "repeats another entry" : "not a valid value here";
            Refuse(*v, reason);
        }
    }

private:
    static ExchangeRow RowOf(const CellModel& cell) {
        ExchangeRow row;
        row.category = cell.category;
        row.index = cell.index;
        return row;
    }

    static ExchangeColumn ColumnOf(const CellModel& cell) {
        ExchangeColumn column;
        column.label = cell.label;
        if (cell.parameter)
            column.parameter = *cell.parameter;
        return column;
    }

    std::string ReceiveShown(const ExchangeRow& row) {
        ExchangeColumn receive;
        receive.label = CL_UCh_FreqR;
        return cells_.Show(row, receive).text;
    }

    bool Holds(std::optional<ValueForm> form, const std::string& typed, const std::string& shown,
               const ExchangeRow& row) {
        if (!form)
            return typed == shown;
        const bool transmit = *form == ValueForm::Transmit && shown == "<-";
        return value::holds(*form, typed, shown, transmit ? ReceiveShown(row) : std::string());
    }

    // Picks the item of the cell's list that shows as `typed`.
    bool Choose(const CellValue& v, const ExchangeRow& row, const ExchangeColumn& column,
                const std::string& typed) {
        const std::optional<OpenedList> list = cells_.ListOf(row, column);
        if (!list) {
            Refuse(v, "cannot be changed here");
            return false;
        }
        const std::string key = std::to_string(column.label) + "|" + column.parameter + "|" +
                                list->listKey + "|" + std::to_string(list->kind);
        auto items = items_.find(key);
        if (items == items_.end())
            items = items_.emplace(key, cells_.Items(row, column, *list)).first;
        const std::pair<std::string, std::int32_t>* found = nullptr;
        for (const auto& item : items->second)
            if (found == nullptr && value::sameChoice(item.first, typed))
                found = &item;
        if (found == nullptr) {
            std::string offered;
            for (const auto& item : items->second)
                if (!item.first.empty() && offered.find(quoted(item.first)) == std::string::npos)
                    offered += (offered.empty() ? "" : ", ") + quoted(item.first);
            Refuse(v, "not one of " + offered);
            return false;
        }
        if (!cells_.Pick(row, column, *list, found->second)) {
            Refuse(v, kNotInUse);
            return false;
        }
        return true;
    }

    void Refuse(const CellValue& v, std::string reason) {
        refusals_.push_back({v.row, v.column, std::move(reason)});
    }

    MemoryImage working_;
    ExchangeCells cells_;
    std::map<std::string, std::vector<std::pair<std::string, std::int32_t>>> items_;
    std::vector<std::pair<const CellValue*, ExchangeCells::Shown>> marked_;
    std::vector<CellRefusal> refusals_;
};

// The frame the engine opens around a user command, so the change is one step
// named after the command.
void commit(CellContext& context, const std::string& commandName, const MemoryImage& result) {
    CellModel named;
    named.SetText(commandName);
    CellRequest command;
    command.cell = &named;
    context.CommandBegins(command);
    context.CurrentImage().Assign(result);
    context.StartWarningsDelay();
    if (!context.IsModified() && context.CurrentImage().Differs(context.SavedImage()))
        context.SetModified();
    context.CommandEnds();
    NotificationHub::App().Post(evRepaintAll);
}

} // namespace

std::string describeCellRefusal(const CellRefusal& refusal) {
    return "row " + refusal.row + ", column " + refusal.column + ": " + refusal.reason;
}

std::vector<CellRefusal> enterValues(CellContext& context, const std::string& commandName,
                                     const std::vector<CellValue>& values,
                                     const std::vector<CellValue>& watched) {
    Entry entry(context);
    entry.NoteMarks(watched);
    for (const CellValue& v : values)
        entry.Enter(v);
    entry.CheckMarks();
    std::vector<CellRefusal> refusals = entry.TakeRefusals();
    if (refusals.empty() && entry.Result().Differs(context.CurrentImage()))
        commit(context, commandName, entry.Result());
    return refusals;
}

bool isSeriesLabel(std::int32_t label) {
    const std::optional<ValueForm> form = formOf(label);
    return form == ValueForm::Decimal || form == ValueForm::Frequency ||
           form == ValueForm::Transmit;
}

} // namespace marlo
