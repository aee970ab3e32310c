#include "exchange/exchangeLists.h"

#include "core/memoryImage.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/codecSteps.h"
#include "radio/listRecord.h"
#include "radio/settingFields.h"

#include <algorithm>
#include <climits>

namespace marlo {

using namespace CellLabel;

namespace {

using Form = ValueForm;

constexpr int kNameLength = 15;
constexpr int kTelDigits = 16;
constexpr int kCloneCommentLength = 16;

ExchangeColumn column(std::string header, std::int32_t label, Form form, int length = 0) {
    ExchangeColumn c;
    c.header = std::move(header);
    c.label = label;
    c.form = form;
    c.length = length;
    return c;
}

ExchangeRow makeRow(std::int32_t category, std::int32_t index, std::string key) {
    ExchangeRow r;
    r.category = category;
    r.index = index;
    r.key = std::move(key);
    return r;
}

ExchangeList makeList(std::string name, std::string keyHeader, int usedColumn,
                      std::vector<ExchangeRow> rows) {
    ExchangeList l;
    l.name = std::move(name);
    l.keyHeader = std::move(keyHeader);
    l.usedColumn = usedColumn;
    l.rows = std::move(rows);
    return l;
}

// Rows numbered from 1, as the sheets number them.
std::vector<ExchangeRow> numberedRows(std::int32_t category, std::uint8_t listType) {
    std::vector<ExchangeRow> rows;
    for (std::int32_t i = ListRecord::FirstIndex(listType); i <= ListRecord::LastIndex(listType);
         ++i)
        rows.push_back(makeRow(category, i, std::to_string(i + 1)));
    return rows;
}

// The five channel ranges of a selective-call or ALE entry.
void addRangeColumns(std::vector<ExchangeColumn>& columns, std::int32_t label) {
    for (int pair = 0; pair < ListRecord::rangePairs; ++pair) {
        ExchangeColumn c = column("channels_" + std::to_string(pair + 1), label, Form::Range);
        c.parameter = std::to_string(pair);
        c.blankInput = "0"; // what clears a range
        columns.push_back(std::move(c));
    }
}

ExchangeList channels() {
    ExchangeColumn aleColumn = column("ale", CL_UCh_Ale, Form::Choice);
    aleColumn.blankChoice = "-----"; // no ALE ID
    ExchangeList list = makeList("channels", "slot", 0, numberedRows(CT_UserCh, listUserChannel));
    list.columns = {
        column("number", CL_UCh_CH, Form::Decimal),
        column("rx_khz", CL_UCh_FreqR, Form::Frequency),
        column("tx_khz", CL_UCh_FreqT, Form::Transmit),
        column("mode", CL_UCh_Mode, Form::Choice),
        column("name", CL_UCh_Comment, Form::Name, kNameLength),
        column("call", CL_UCh_Call, Form::Choice),
        aleColumn,
        column("scan_group", CL_UCh_ScanGroup, Form::Choice),
        column("filter", CL_UCh_Filter, Form::Choice),
        column("edit", CL_UCh_Edit, Form::Choice),
    };
    return list;
}

// A list of IDs: numbered slots, the ID's own columns, then its channel ranges.
ExchangeList idList(std::string name, std::int32_t category, std::uint8_t listType,
                    std::vector<ExchangeColumn> columns, std::int32_t rangeLabel) {
    ExchangeList list = makeList(std::move(name), "slot", 0, numberedRows(category, listType));
    list.columns = std::move(columns);
    addRangeColumns(list.columns, rangeLabel);
    return list;
}

ExchangeList selectiveCalls() {
    return idList("selcall", CT_SelCallID, listSelCallId,
                  {column("id", CL_SelCall_ID, Form::Decimal),
                   column("name", CL_SelCall_Name, Form::Name, kNameLength)},
                  CL_SelCall_CH);
}

ExchangeList aleIds() {
    ExchangeList list = idList("ale", CT_AleID, listAleId,
                               {column("address", CL_Ale_ID, Form::Ale, kNameLength),
                                column("idn", CL_Ale_IDN, Form::Ale, kNameLength)},
                               CL_Ale_CH);
    list.columns.push_back(column("slot_time", CL_Ale_SlotT, Form::Decimal));
    return list;
}

ExchangeList telephoneNumbers() {
    ExchangeList list = makeList("phone", "slot", 0, numberedRows(CT_TelNumber, listTelNumber));
    list.columns = {
        column("number", CL_TelNumber_Number, Form::Digits, kTelDigits),
        column("name", CL_TelNumber_Name, Form::Name, kNameLength),
    };
    return list;
}

ExchangeList modeRegistrations() {
    ExchangeList list = makeList("modes", "slot", -1, numberedRows(CT_ModeReg, listModeReg));
    list.columns = {
        column("mode", CL_ModeReg_Name, Form::Shown),
        column("indication", CL_ModeReg_Indication, Form::Choice),
        column("use", CL_ModeReg_Use, Form::Choice),
    };
    return list;
}

ExchangeList bandEdges() {
    ExchangeList list = makeList("edges", "range", -1, {makeRow(CT_Edge_Rx, 0, "rx")});
    for (std::int32_t i = 0; i <= ListRecord::LastStoredIndex(listTxEdge); ++i)
        list.rows.push_back(makeRow(CT_Edge_Tx, i, "tx" + std::to_string(i + 1)));
    list.columns = {
        column("low_khz", CL_EdgeFreq_Low, Form::Frequency),
        column("high_khz", CL_EdgeFreq_High, Form::Frequency),
    };
    return list;
}

ExchangeList settings() {
    ExchangeList list = makeList("settings", "setting", -1, {});
    list.columns.push_back(column("value", -1, Form::Shown));
    for (const SettingField& f : settingFields()) {
        ExchangeRow row = makeRow(CT_Null, 0, settingName(f.label));
        row.label = f.label;
        switch (f.form) {
        case SettingForm::Choice:
            row.form = Form::Choice;
            break;
        case SettingForm::Number:
            row.form = Form::Decimal;
            break;
        case SettingForm::Timer:
            row.form = Form::Timer;
            break;
        case SettingForm::Text:
            row.form = Form::Printable;
            row.length = kCloneCommentLength;
            break;
        }
        list.rows.push_back(std::move(row));
    }
    return list;
}

} // namespace

const std::vector<ExchangeList>& exchangeLists() {
    static const std::vector<ExchangeList> lists{
        channels(),          selectiveCalls(), aleIds(),   telephoneNumbers(),
        modeRegistrations(), bandEdges(),      settings(),
    };
    return lists;
}

const ExchangeList* findExchangeList(std::string_view name) {
    for (const ExchangeList& list : exchangeLists()) {
        if (list.name == name)
            return &list;
    }
    return nullptr;
}

std::string exchangeListNames() {
    std::string names;
    for (const ExchangeList& list : exchangeLists())
        names += (names.empty() ? "" : ", ") + list.name;
    return names;
}

// The cells.

ExchangeCells::ExchangeCells(CellContext& base, MemoryImage& image, int variant)
    : context_(base, image, variant), engine_(context_) {}

CellModel& ExchangeCells::CellFor(const ExchangeRow& row, const ExchangeColumn& column) {
    cell_.category = row.category;
    cell_.label = LabelOf(row, column);
    cell_.index = row.index;
    cell_.layout = 0;
    if (column.parameter.empty())
        cell_.parameter.reset();
    else
        cell_.parameter = column.parameter;
    return cell_;
}

ExchangeCells::Shown ExchangeCells::Show(const ExchangeRow& row, const ExchangeColumn& column) {
    CellRequest request;
    request.cell = &CellFor(row, column);
    evaluateCell(engine_, request, false);
    Shown shown;
    shown.text = codec::trimSpaces(request.text);
    shown.invalid = (request.status & CellRequest::kInvalid) != 0;
    shown.duplicate = (request.status & CellRequest::kDuplicate) != 0;
    shown.restricted = request.fontColour == codec::kOlive;
    shown.reason = std::move(request.markReason);
    return shown;
}

ExchangeCells::Typed ExchangeCells::Type(const ExchangeRow& row, const ExchangeColumn& column,
                                         const std::string& text) {
    CellRequest request;
    request.cell = &CellFor(row, column);
    request.inputMode = CellRequest::kEditedText;
    request.inputText = text;
    evaluateCell(engine_, request, false);
    return {request.redirected != 0, request.refusedAbove, std::move(request.refusedHint)};
}

std::vector<ErrorCell> ExchangeCells::ErrorCells() {
    return errorCells(engine_);
}

std::optional<OpenedList> ExchangeCells::ListOf(const ExchangeRow& row,
                                                const ExchangeColumn& column) {
    context_.TakeOpenedList();
    CellRequest request;
    request.cell = &CellFor(row, column);
    request.grid = &cell_; // a grid asks: Enter opens the list
    request.action = CellRequest::kEnter;
    evaluateCell(engine_, request, false);
    return context_.TakeOpenedList();
}

bool ExchangeCells::Pick(const ExchangeRow& row, const ExchangeColumn& column,
                         const OpenedList& list, std::int32_t value) {
    CellModel item;
    item.label = list.kind;
    item.index = value;
    CellRequest picked;
    picked.cell = &item;
    CellRequest request;
    request.cell = &CellFor(row, column);
    request.partner = &picked;
    request.inputMode = CellRequest::kChosen;
    evaluateCell(engine_, request, false);
    return request.redirected == 0;
}

std::vector<std::pair<std::string, std::int32_t>>
ExchangeCells::Items(const ExchangeRow& row, const ExchangeColumn& column, const OpenedList& list) {
    constexpr std::size_t kMostItems = 1024; // a selection list longer than this is broken
    codec::SelectionLists& lists = context_.SelectionLists();
    lists.TextOf(list.listKey, list.kind, list.value); // builds the list
    std::vector<std::int32_t> values;
    std::optional<std::int32_t> next = lists.Step(list.listKey, list.kind, INT_MIN, 1);
    while (next && values.size() < kMostItems &&
           std::find(values.begin(), values.end(), *next) == values.end()) {
        values.push_back(*next);
        next = lists.Step(list.listKey, list.kind, *next, 1);
    }
    MemoryImage scratch;
    scratch.Assign(Image());
    ExchangeCells tried(context_, scratch, context_.ModelVariant());
    std::vector<std::pair<std::string, std::int32_t>> items;
    for (const std::int32_t v : values) {
        tried.Pick(row, column, list, v);
        items.emplace_back(tried.Show(row, column).text, v);
    }
    return items;
}

} // namespace marlo
