#include "exchange/cellEntry.h"

#include "core/cmcEeprom.h"
#include "exchange/exchangeLists.h"
#include "exchange/exchangeValues.h"
#include "radio/cellLabels.h"
#include "radio/cmcCellCapsule.h"
#include "radio/cmcCellContext.h"
#include "radio/codecSteps.h"
#include "sheets/cmcEvMan.h"

#include <map>
#include <optional>
#include <unordered_map>

using namespace cmcCells;
namespace value = cmcExchangeValue;

namespace {

// The form each label is exchanged in; labels of no exchanged list have none.
const std::unordered_map<std::int32_t, cmcValueForm>& formsByLabel() {
    static const std::unordered_map<std::int32_t, cmcValueForm> forms = [] {
        std::unordered_map<std::int32_t, cmcValueForm> built;
        for (const cmcExchangeList& list : exchangeLists()) {
            for (const cmcExchangeColumn& column : list.columns)
                built.emplace(column.label, column.form);
            for (const cmcExchangeRow& row : list.rows)
                if (row.label >= 0)
                    built.emplace(row.label, row.form);
        }
        return built;
    }();
    return forms;
}

std::optional<cmcValueForm> formOf(std::int32_t label) {
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
    Entry(cmcCellContext& context) : cells_(context, working_, context.ModelVariant()) {
        working_.Assign(context.CurrentImage());
    }

    const cmcEeprom& Result() const { return working_; }
    std::vector<dstCellRefusal> TakeRefusals() { return std::move(refusals_); }

    void Enter(const dstCellValue& v) {
        const cmcExchangeRow row = RowOf(v.cell);
        const cmcExchangeColumn column = ColumnOf(v.cell);
        const std::optional<cmcValueForm> form = formOf(v.cell.label);
        const cmcExchangeCells::Shown before = cells_.Show(row, column);
        std::string typed = cmcCodec::trimSpaces(v.text);
        if (form == cmcValueForm::Transmit && typed == "<-")
            typed = ReceiveShown(row); // "as received", on this row
        if (!v.pick && Holds(form, typed, before.text, row))
            return; // it shows that already: nothing to type
        if (before.restricted)
            return Refuse(v, "cannot be changed here (it shows " + quoted(before.text) + ")");
        if (v.pick) {
            dstOpenedList list;
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
        if (form == cmcValueForm::Choice) {
            if (!Choose(v, row, column, typed))
                return;
        } else {
            const cmcExchangeCells::Typed outcome = cells_.Type(row, column, typed);
            if (outcome.redirected)
                return Refuse(v, kNotInUse);
            if (outcome.tooLong > 0)
                return Refuse(v, "longer than " + std::to_string(outcome.tooLong) + " characters");
            if (!outcome.hint.empty())
                return Refuse(v, outcome.hint);
        }
        const cmcExchangeCells::Shown after = cells_.Show(row, column);
        const bool taken = form ? Holds(form, typed, after.text, row)
                                : after.text != before.text || value::sameChoice(typed, after.text);
        if (!taken)
            return Refuse(v, typed.empty() ? "cannot be empty"
                                           : "not taken as " + quoted(typed) + " (it shows " +
                                                 quoted(after.text) + ")");
    }

    // The watched cells as they are before anything is typed.
    void NoteMarks(const std::vector<dstCellValue>& watched) {
        for (const dstCellValue& v : watched)
            marked_.emplace_back(&v, cells_.Show(RowOf(v.cell), ColumnOf(v.cell)));
    }

    // Marks once everything is typed: a later value may mark an earlier cell,
    // or a cell of another row (a repeated channel number). A mark the cell
    // had before on the same text was not made here.
    void CheckMarks() {
        for (const auto& [v, before] : marked_) {
            const cmcExchangeCells::Shown after = cells_.Show(RowOf(v->cell), ColumnOf(v->cell));
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
    static cmcExchangeRow RowOf(const cmcCellObj& cell) {
        cmcExchangeRow row;
        row.category = cell.category;
        row.index = cell.index;
        return row;
    }

    static cmcExchangeColumn ColumnOf(const cmcCellObj& cell) {
        cmcExchangeColumn column;
        column.label = cell.label;
        if (cell.parameter)
            column.parameter = *cell.parameter;
        return column;
    }

    std::string ReceiveShown(const cmcExchangeRow& row) {
        cmcExchangeColumn receive;
        receive.label = CL_UCh_FreqR;
        return cells_.Show(row, receive).text;
    }

    bool Holds(std::optional<cmcValueForm> form, const std::string& typed, const std::string& shown,
               const cmcExchangeRow& row) {
        if (!form)
            return typed == shown;
        const bool transmit = *form == cmcValueForm::Transmit && shown == "<-";
        return value::holds(*form, typed, shown, transmit ? ReceiveShown(row) : std::string());
    }

    // Picks the item of the cell's list that shows as `typed`.
    bool Choose(const dstCellValue& v, const cmcExchangeRow& row, const cmcExchangeColumn& column,
                const std::string& typed) {
        const std::optional<dstOpenedList> list = cells_.ListOf(row, column);
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

    void Refuse(const dstCellValue& v, std::string reason) {
        refusals_.push_back({v.row, v.column, std::move(reason)});
    }

    cmcEeprom working_;
    cmcExchangeCells cells_;
    std::map<std::string, std::vector<std::pair<std::string, std::int32_t>>> items_;
    std::vector<std::pair<const dstCellValue*, cmcExchangeCells::Shown>> marked_;
    std::vector<dstCellRefusal> refusals_;
};

// The frame the engine opens around a user command, so the change is one step
// named after the command.
void commit(cmcCellContext& context, const std::string& commandName, const cmcEeprom& result) {
    cmcCellObj named;
    named.SetText(commandName);
    cmcCellCapsule command;
    command.cell = &named;
    context.CommandBegins(command);
    context.CurrentImage().Assign(result);
    context.StartWarningsDelay();
    if (!context.IsModified() && context.CurrentImage().Differs(context.SavedImage()))
        context.SetModified();
    context.CommandEnds();
    cmcEvMan::App().Post(evRepaintAll);
}

} // namespace

std::string describeCellRefusal(const dstCellRefusal& refusal) {
    return "row " + refusal.row + ", column " + refusal.column + ": " + refusal.reason;
}

std::vector<dstCellRefusal> cmcEnterValues(cmcCellContext& context, const std::string& commandName,
                                           const std::vector<dstCellValue>& values,
                                           const std::vector<dstCellValue>& watched) {
    Entry entry(context);
    entry.NoteMarks(watched);
    for (const dstCellValue& v : values)
        entry.Enter(v);
    entry.CheckMarks();
    std::vector<dstCellRefusal> refusals = entry.TakeRefusals();
    if (refusals.empty() && entry.Result().Differs(context.CurrentImage()))
        commit(context, commandName, entry.Result());
    return refusals;
}

bool cmcIsSeriesLabel(std::int32_t label) {
    const std::optional<cmcValueForm> form = formOf(label);
    return form == cmcValueForm::Decimal || form == cmcValueForm::Frequency ||
           form == cmcValueForm::Transmit;
}
