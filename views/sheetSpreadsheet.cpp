// The sheet's spreadsheet habits: one value into many rows, fill, the system
// clipboard as tab-separated text, and the lookups behind find and go to.
#include "views/sheet.h"

#include "core/tabText.h"
#include "exchange/cellEntry.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"
#include "radio/cellContext.h"
#include "radio/cellLabels.h"
#include "sheets/textUtil.h"
#include "views/sheetFinder.h"
#include "views/systemClipboard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace marlo {

namespace {

// Lines: the step names of Fill Down, Fill Series and Paste, the first line of
// a refusal box, the line for refusals left out ("%d"), and why a pasted value
// has no cell or may not go into its cell.
constexpr char kTextsKey[] = "GI_Sheet_Commands";
constexpr int kRefusalsShown = 12;

std::string text(int line) {
    return OverlayTexts::App().GetLine(kTextsKey, line);
}

std::string trimmedText(const std::string& value) {
    const auto first = value.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return value.substr(first, value.find_last_not_of(' ') - first + 1);
}

bool sameTitle(const std::string& a, const std::string& b) {
    const std::string ta = trimmedText(a);
    const std::string tb = trimmedText(b);
    return std::equal(ta.begin(), ta.end(), tb.begin(), tb.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// A number of a series as it is typed: no exponent, no trailing zeros.
std::string seriesValue(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    std::string out = buffer;
    out.erase(out.find_last_not_of('0') + 1);
    if (!out.empty() && out.back() == '.')
        out.pop_back();
    return out == "-0" ? "0" : out;
}

void showRefusals(const std::vector<CellRefusal>& refusals) {
    OverlayTexts& texts = OverlayTexts::App();
    std::string message = text(3);
    const int shown = std::min(static_cast<int>(refusals.size()), kRefusalsShown);
    for (int i = 0; i < shown; ++i)
        message += "\n" + describeCellRefusal(refusals[static_cast<std::size_t>(i)]);
    if (static_cast<int>(refusals.size()) > shown) {
        std::string more = text(4);
        if (const auto at = more.find("%d"); at != std::string::npos)
            more.replace(at, 2, std::to_string(refusals.size() - static_cast<std::size_t>(shown)));
        message += "\n" + more;
    }
    Prompter::Current().Message(texts.GetLine("GI_Sys_AppTitle"), message, PromptIcon::Warning,
                                PromptButtons::Ok);
}

} // namespace

std::vector<int> Sheet::SelectedRows() const {
    std::vector<int> rows;
    if (!def_ || grid_ == nullptr)
        return rows;
    for (int row = 0; row < def_->RowCount(); ++row)
        for (int col = 0; col < def_->ColCount(); ++col)
            if ((def_->Cell(col, row).marks & CellMark::LineMarked) != 0) {
                rows.push_back(row);
                break;
            }
    if (rows.empty())
        rows.push_back(grid_->Row());
    return rows;
}

void Sheet::SelectRows(const std::vector<int>& rows) {
    if (!def_ || grid_ == nullptr || rows.empty())
        return;
    ClearSelection();
    SetCursor(grid_->Col(), rows.front());
    for (const int row : rows)
        for (int col = FirstDataCol(); col < def_->ColCount(); ++col)
            SetMarks(col, row,
                     static_cast<std::uint8_t>(def_->Cell(col, row).marks | CellMark::LineMarked));
    // Not a block the row operations could take: the next move clears it.
    interaction_ &= ~kLineMarksClear;
}

std::string Sheet::ColumnTitle(int col) const {
    std::string title;
    if (!def_ || grid_ == nullptr || col < 0 || col >= def_->ColCount())
        return title;
    for (int row = 0; row < grid_->Layout().FixedRows(); ++row) {
        int head = col; // a heading spanning columns stands in its first one
        while (head > 0 && def_->Cell(head, row).model.Has(CellLayout::Continues))
            --head;
        const std::string line = commandName(def_->Cell(head, row).model.Text());
        if (!line.empty())
            title += (title.empty() ? "" : " ") + line;
    }
    std::replace(title.begin(), title.end(), '\n', ' ');
    return title;
}

std::string Sheet::RowName(int row) {
    const std::string number = trimmedText(ShownText(0, row));
    if (!number.empty() &&
        std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return number;
    const int fixed = grid_ != nullptr ? grid_->Layout().FixedRows() : 0;
    return std::to_string(row - fixed + 1);
}

bool Sheet::EnterValues(std::vector<CellValue> values, const std::string& commandName) {
    // Every cell of the columns written may take or lose a mark.
    std::vector<CellValue> watched;
    std::vector<std::int32_t> labels;
    for (const CellValue& v : values)
        if (std::find(labels.begin(), labels.end(), v.cell.label) == labels.end())
            labels.push_back(v.cell.label);
    for (int row = 0; row < def_->RowCount(); ++row)
        for (int col = 0; col < def_->ColCount(); ++col) {
            const CellModel& model = def_->Cell(col, row).model;
            if (model.IsSelectable() &&
                std::find(labels.begin(), labels.end(), model.label) != labels.end())
                watched.push_back({model, {}, std::nullopt, RowName(row), ColumnTitle(col)});
        }
    const std::vector<CellRefusal> refusals =
        enterValues(CellContext::App(), commandName, values, watched);
    if (!refusals.empty()) {
        showRefusals(refusals);
        return false;
    }
    if (finder_)
        finder_->Forget();
    if (grid_ != nullptr)
        grid_->InvalidateAll();
    return true;
}

bool Sheet::EnterIntoRows(const std::vector<int>& rows, int col, const std::string& value) {
    if (!def_ || col < 0 || col >= def_->ColCount())
        return false;
    std::vector<CellValue> values;
    for (const int row : rows) {
        const CellModel& model = def_->Cell(col, row).model;
        if (!model.IsSelectable())
            continue;
        values.push_back({model, value, std::nullopt, RowName(row), ColumnTitle(col)});
    }
    return EnterValues(std::move(values), ColumnTitle(col));
}

bool Sheet::FillDown() {
    CloseEditor(true);
    const std::vector<int> rows = SelectedRows();
    if (!def_ || rows.size() < 2)
        return false;
    const int col = grid_->Col();
    const std::string first = ShownText(col, rows.front());
    const std::vector<int> others(rows.begin() + 1, rows.end());
    std::vector<CellValue> values;
    for (const int row : others)
        values.push_back(
            {def_->Cell(col, row).model, first, std::nullopt, RowName(row), ColumnTitle(col)});
    return EnterValues(std::move(values), commandName(text(0)));
}

bool Sheet::CanFillSeries() const {
    if (!def_ || grid_ == nullptr)
        return false;
    const CellModel& model = def_->Cell(grid_->Col(), grid_->Row()).model;
    return model.IsSelectable() && isSeriesLabel(model.label);
}

bool Sheet::FillSeries(double start, double step) {
    CloseEditor(true);
    if (!CanFillSeries())
        return false;
    const int col = grid_->Col();
    std::vector<CellValue> values;
    double next = start;
    for (const int row : SelectedRows()) {
        values.push_back({def_->Cell(col, row).model, seriesValue(next), std::nullopt, RowName(row),
                          ColumnTitle(col)});
        next += step;
    }
    return EnterValues(std::move(values), commandName(text(1)));
}

std::string Sheet::RowsAsText() {
    std::vector<std::vector<std::string>> table;
    if (!def_)
        return {};
    std::vector<std::string> titles;
    for (int col = 0; col < def_->ColCount(); ++col)
        titles.push_back(ColumnTitle(col));
    table.push_back(std::move(titles));
    for (const int row : SelectedRows()) {
        std::vector<std::string> fields;
        for (int col = 0; col < def_->ColCount(); ++col)
            fields.push_back(trimmedText(ShownText(col, row)));
        table.push_back(std::move(fields));
    }
    return tabText(table);
}

std::vector<int> Sheet::TitledColumns(const std::vector<std::string>& titles) const {
    std::vector<int> columns;
    bool any = false;
    for (const std::string& title : titles) {
        int found = -1;
        for (int col = 0; col < def_->ColCount() && found < 0 && !trimmedText(title).empty(); ++col)
            if (sameTitle(ColumnTitle(col), title))
                found = col;
        if (found < 0 && !trimmedText(title).empty())
            return {}; // a title the sheet does not have: not a header line
        any = any || found >= 0;
        columns.push_back(found);
    }
    return any ? columns : std::vector<int>();
}

bool Sheet::PasteText(const std::string& pasted) {
    CloseEditor(true);
    if (!def_ || grid_ == nullptr)
        return false;
    std::vector<std::vector<std::string>> table = readTabText(pasted);
    if (table.empty())
        return false;
    const int col0 = grid_->Col();
    const int row0 = grid_->Row();
    if (table.size() == 1 && table.front().size() == 1) {
        // A single value is typed, as if entered.
        const std::string value = table.front().front();
        Dispatch(col0, row0, 0, 0, &value);
        return true;
    }
    std::vector<int> columns = TitledColumns(table.front());
    const bool byTitle = !columns.empty();
    if (byTitle)
        table.erase(table.begin());
    std::vector<CellValue> values;
    std::vector<CellRefusal> refusals;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int row = row0 + static_cast<int>(i);
        for (std::size_t j = 0; j < table[i].size(); ++j) {
            const std::string& value = table[i][j];
            const int col =
                byTitle ? (j < columns.size() ? columns[j] : -1) : col0 + static_cast<int>(j);
            if (byTitle && col < 0)
                continue;
            const bool inside = row < def_->RowCount() && col < def_->ColCount();
            const std::string rowName =
                row < def_->RowCount() ? RowName(row) : std::to_string(row - row0 + 1);
            if (!inside) {
                if (!trimmedText(value).empty())
                    refusals.push_back(
                        {rowName, byTitle ? table.front()[j] : std::to_string(col + 1), text(5)});
                continue;
            }
            const CellModel& model = def_->Cell(col, row).model;
            if (!model.IsSelectable()) {
                // The fixed columns name the row; they are not pasted into.
                if (!byTitle && !trimmedText(value).empty() &&
                    trimmedText(ShownText(col, row)) != trimmedText(value))
                    refusals.push_back({rowName, ColumnTitle(col), text(6)});
                continue;
            }
            values.push_back({model, value, std::nullopt, rowName, ColumnTitle(col)});
        }
    }
    if (!refusals.empty()) {
        showRefusals(refusals);
        return false;
    }
    return EnterValues(std::move(values), commandName(text(2)));
}

std::optional<GridCell> Sheet::FindChannel(const std::string& number) {
    const std::string wanted = trimmedText(number);
    if (!def_ || wanted.empty())
        return std::nullopt;
    for (int row = 0; row < def_->RowCount(); ++row)
        for (int col = 0; col < def_->ColCount(); ++col) {
            const CellModel& model = def_->Cell(col, row).model;
            if (model.IsSelectable() && model.label == CellLabel::CL_UCh_CH &&
                trimmedText(ShownText(col, row)) == wanted)
                return GridCell{col, row};
        }
    return std::nullopt;
}

SheetFinder& Sheet::Finder() {
    if (!finder_)
        finder_ = std::make_unique<SheetFinder>(*this);
    return *finder_;
}

void Sheet::RunMenuCommand(std::int32_t label) {
    if (grid_ == nullptr)
        return;
    if (label == CellLabel::CL_PMenu_Paste && PasteFromSystemClipboard())
        return;
    const std::string rows = label == CellLabel::CL_PMenu_Copy ? RowsAsText() : std::string();
    Dispatch(grid_->Col(), grid_->Row(), 0, label);
    if (label == CellLabel::CL_PMenu_Copy)
        SystemClipboard::PutCopiedRows(rows);
}

// Tab-separated text on the system clipboard is pasted value by value, unless
// it is this program's own latest copy: the entries then go back whole.
bool Sheet::PasteFromSystemClipboard() {
    const std::optional<std::string> pasted = SystemClipboard::TextToPaste();
    if (!pasted)
        return false;
    PasteText(*pasted);
    return true;
}

bool Sheet::PickIntoOwnerRows(CellRequest& request) {
    const CellBlock& block = ownerRequest_->block;
    if ((block.flags & CellBlock::Selected) == 0 || block.owner == nullptr ||
        request.cell == nullptr || ownerRequest_->cell == nullptr)
        return false;
    auto* owner = static_cast<Sheet*>(block.owner);
    const SheetDef& def = owner->Def();
    int col = -1;
    for (int row = 0; row < def.RowCount() && col < 0; ++row)
        for (int c = 0; c < def.ColCount() && col < 0; ++c)
            if (&def.Cell(c, row).model == ownerRequest_->cell)
                col = c;
    if (col < 0)
        return false;
    std::vector<CellValue> values;
    for (int row = 0; row < def.RowCount(); ++row) {
        const CellModel& model = def.Cell(col, row).model;
        if (model.IsSelectable() && model.index >= block.first && model.index <= block.last)
            values.push_back({model,
                              {},
                              std::pair(request.cell->label, request.cell->index),
                              owner->RowName(row),
                              owner->ColumnTitle(col)});
    }
    if (host_ != nullptr)
        host_->window()->hide();
    owner->EnterValues(std::move(values), owner->ColumnTitle(col));
    emit Picked();
    return true;
}

} // namespace marlo
