#include "main/cuiCellLocator.h"

#include "main/cuiMain.h"
#include "radio/cellLabels.h"
#include "views/cuiSheet.h"
#include "views/cuiTree.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWidget>

namespace {

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

cuiCellLocator::cuiCellLocator(cuiMain& controller)
    : controller_(controller), hidden_(std::make_unique<QWidget>()) {}

cuiCellLocator::~cuiCellLocator() = default;

std::optional<cuiCellLocator::Place> cuiCellLocator::Find(std::int32_t category, std::int32_t label,
                                                          std::int32_t index,
                                                          const std::string& parameter) {
    const Key key{category, label, index, parameter};
    do {
        if (const auto found = places_.find(key); found != places_.end())
            return found->second;
    } while (IndexNextSheet());
    return std::nullopt;
}

bool cuiCellLocator::IndexNextSheet() {
    cuiTree* tree = controller_.Tree();
    if (tree == nullptr || tree->View() == nullptr)
        return false;
    std::size_t n = 0;
    for (QTreeWidgetItemIterator it(tree->View()); *it != nullptr; ++it, ++n) {
        if (n < nextNode_)
            continue;
        nextNode_ = n + 1;
        const cmcCellObj* model = tree->ModelOf(*it);
        if (model == nullptr || model->label != cmcCells::CallSheet || !model->parameter)
            continue;
        const std::string descriptor = *model->parameter;
        const std::string caption = (*it)->text(0).toStdString();
        std::unique_ptr<cuiSheet> sheet = controller_.CreateSheet(hidden_.get(), descriptor);
        sheet->Build();
        const cmcSheetDef& def = sheet->Def();
        const int fixedRows = def.Style().fixedRows;
        for (int row = fixedRows; row < def.RowCount(); ++row) {
            std::optional<std::string> rowLabel;
            for (int col = 0; col < def.ColCount(); ++col) {
                const cmcCellObj& cell = def.Cell(col, row).model;
                if (!cell.IsSelectable() || cell.label == cmcCellObj::kNoLabel)
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
