#include "views/gridAccessible.h"

#include "views/grid.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <unordered_map>
#include <utility>
#include <vector>

namespace marlo {

namespace {

class GridTable;

// One grid cell; it lives in the accessibility registry, its table keeps the id.
class GridCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCell(marlo::Grid* grid, int row, int col) : grid_(grid), row_(row), col_(col) {}

    bool isValid() const override {
        return grid_ != nullptr && row_ < grid_->RowCount() && col_ < grid_->ColCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return grid_ != nullptr ? grid_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(grid_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid() || grid_->Owner() == nullptr)
            return {};
        return grid_->Owner()->GridCellText(col_, row_);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        const GridRect r = grid_->CellRect(col_, row_);
        return QRect(grid_->viewport()->mapToGlobal(QPoint(r.left, r.top)),
                     QSize(r.Width(), r.Height()));
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid())
            return s;
        const bool current = isSelected();
        s.focusable = true;
        s.selectable = true;
        s.focused = current && grid_->hasFocus();
        s.selected = current;
        s.readOnly = true;
        s.disabled = !grid_->isEnabled();
        const GridRect r = grid_->CellRect(col_, row_);
        s.invisible = r.Width() < 1 || r.Height() < 1;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override {
        if (grid_ == nullptr)
            return false;
        if (grid_->Col() == col_ && grid_->Row() == row_)
            return true;
        return grid_->Owner() != nullptr && grid_->Owner()->GridCellSelected(col_, row_);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return col_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<marlo::Grid> grid_;
    int row_;
    int col_;
};

class GridTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridTable(marlo::Grid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    // Qt destroys the interface while the widget is being destroyed, when it is no
    // grid any more: only the cells' interfaces go, the grid is not asked.
    ~GridTable() override { DropCells(); }

    marlo::Grid* Grid() const { return static_cast<marlo::Grid*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && Grid()->Owner() != nullptr)
            return Grid()->Owner()->GridName();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override {
        const int cols = columnCount();
        if (cols == 0 || index < 0 || index >= childCount())
            return nullptr;
        return cellAt(index / cols, index % cols);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr || child->role() != QAccessible::Cell)
            return -1;
        const auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        return cell == nullptr ? -1 : cell->rowIndex() * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface* focusChild() const override {
        return Grid()->RowCount() > 0 ? cellAt(Grid()->Row(), Grid()->Col()) : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        if (generation_ != Grid()->Generation())
            Forget();
        const int key = row * columnCount() + column;
        auto it = cells_.find(key);
        if (it == cells_.end()) {
            auto* cell = new GridCell(Grid(), row, column);
            it = cells_.emplace(key, QAccessible::registerAccessibleInterface(cell)).first;
        }
        return QAccessible::accessibleInterface(it->second);
    }
    int columnCount() const override { return Grid()->ColCount(); }
    int rowCount() const override { return Grid()->RowCount(); }
    int selectedCellCount() const override { return static_cast<int>(selectedPlaces().size()); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QString columnDescription(int column) const override {
        return Grid()->Owner() && Grid()->Layout().FixedRows() > 0
                   ? Grid()->Owner()->GridCellText(column, 0)
                   : QString();
    }
    QString rowDescription(int row) const override {
        return Grid()->Owner() && Grid()->Layout().FixedCols() > 0
                   ? Grid()->Owner()->GridCellText(0, row)
                   : QString();
    }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (const auto& [col, row] : selectedPlaces())
            if (QAccessibleInterface* cell = cellAt(row, col))
                cells.push_back(cell);
        return cells;
    }
    QList<int> selectedColumns() const override { return {}; }
    // Rows whose every scrolled cell is selected: the lines of a line selection.
    QList<int> selectedRows() const override {
        QList<int> rows;
        for (int row = Grid()->Layout().FixedRows(); row < rowCount(); ++row)
            if (isRowSelected(row))
                rows.push_back(row);
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override {
        GridOwner* owner = Grid()->Owner();
        const int first = Grid()->Layout().FixedCols();
        if (owner == nullptr || first >= columnCount())
            return false;
        for (int col = first; col < columnCount(); ++col)
            if (!owner->GridCellSelected(col, row))
                return false;
        return true;
    }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { Forget(); }

private:
    void DropCells() const {
        for (const auto& [key, id] : cells_)
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }
    void Forget() const {
        DropCells();
        generation_ = Grid() != nullptr ? Grid()->Generation() : 0;
    }

    // The owner's selected cells as (col, row), or the current cell when it has none.
    std::vector<std::pair<int, int>> selectedPlaces() const {
        std::vector<std::pair<int, int>> places;
        if (GridOwner* owner = Grid()->Owner())
            for (int row = 0; row < rowCount(); ++row)
                for (int col = 0; col < columnCount(); ++col)
                    if (owner->GridCellSelected(col, row))
                        places.emplace_back(col, row);
        if (places.empty() && Grid()->Col() >= 0 && Grid()->Row() >= 0 && rowCount() > 0)
            places.emplace_back(Grid()->Col(), Grid()->Row());
        return places;
    }

    mutable std::unordered_map<int, QAccessible::Id> cells_;
    mutable std::uint64_t generation_ = 0;
};

QList<QAccessibleInterface*> GridCell::columnHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    QAccessibleInterface* t = table();
    for (int row = 0; grid_ && t && row < grid_->Layout().FixedRows(); ++row)
        headers.append(t->tableInterface()->cellAt(row, col_));
    return headers;
}

QList<QAccessibleInterface*> GridCell::rowHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    QAccessibleInterface* t = table();
    for (int col = 0; grid_ && t && col < grid_->Layout().FixedCols(); ++col)
        headers.append(t->tableInterface()->cellAt(row_, col));
    return headers;
}

} // namespace

QAccessibleInterface* gridAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("marlo::Grid") && object != nullptr && object->isWidgetType())
        return new GridTable(static_cast<marlo::Grid*>(object));
    return nullptr;
}

void installGridAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&gridAccessibleFactory);
        return true;
    }();
    (void)installed;
}

} // namespace marlo
