#include "main/cellLocator.h"

#include "main/appController.h"
#include "radio/cellLabels.h"
#include "views/sheet.h"
#include "views/tree.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWidget>

namespace marlo {

namespace {

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

CellLocator::CellLocator(AppController& controller)
    : controller_(controller), hidden_(std::make_unique<QWidget>()) {}

CellLocator::~CellLocator() = default;

std::optional<CellLocator::Place> CellLocator::Find(std::int32_t category, std::int32_t label,
                                                    std::int32_t index,
                                                    const std::string& parameter) {
    const Key key{category, label, index, parameter};
    do {
        if (const auto found = places_.find(key); found != places_.end())
            return found->second;
    } while (IndexNextSheet());
    return std::nullopt;
}

bool CellLocator::IndexNextSheet() {
    Tree* tree = controller_.Tree();
    if (tree == nullptr || tree->View() == nullptr)
        return false;
    std::size_t n = 0;
    for (QTreeWidgetItemIterator it(tree->View()); *it != nullptr; ++it, ++n) {
        if (n < nextNode_)
            continue;
        nextNode_ = n + 1;
        const CellModel* model = tree->ModelOf(*it);
        if (model == nullptr || model->label != CellLabel::CallSheet || !model->parameter)
            continue;
        const std::string descriptor = *model->parameter;
        const std::string caption = (*it)->text(0).toStdString();
        std::unique_ptr<Sheet> sheet = controller_.CreateSheet(hidden_.get(), descriptor);
        sheet->Build();
        const SheetDef& def = sheet->Def();
        const int fixedRows = def.Style().fixedRows;
        for (int row = fixedRows; row < def.RowCount(); ++row) {
            std::optional<std::string> rowLabel;
            for (int col = 0; col < def.ColCount(); ++col) {
                const CellModel& cell = def.Cell(col, row).model;
                if (!cell.IsSelectable() || cell.label == CellModel::kNoLabel)
                    continue;
                if (!rowLabel)
                    rowLabel = oneLine(sheet->ShownText(0, row));
                Place place{descriptor, caption, col, row, {}, *rowLabel};
                if (fixedRows > 0)
                    place.heading = oneLine(sheet->ShownText(col, fixedRows - 1));
                places_.try_emplace(
                    {cell.category, cell.label, cell.index, cell.parameter.value_or("")},
                    std::move(place));
            }
        }
        return true;
    }
    return false;
}

} // namespace marlo
