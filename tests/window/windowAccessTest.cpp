// What assistive technology reads of the window after real input.
#include "sheetWindowTest.h"

#include <QAccessible>
#include <QTest>
#include <QToolButton>

#include <set>

using namespace marlo;

namespace {

using AccessWindowTest = SheetWindowTest;

// The sheet is read out by its title, and a selection of three lines made
// with the mouse is exposed cell by cell and as three rows.
TEST_F(AccessWindowTest, TheSheetIsNamedByItsTitleAndExposesAMultiLineSelection) {
    open();
    showSheet("User Channels");
    clickCell(2, 1);
    clickCell(2, 3, Qt::LeftButton, Qt::ShiftModifier);

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->text(QAccessible::Name), "User Channels");
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    std::set<int> rows;
    for (QAccessibleInterface* cell : cells->selectedCells()) {
        EXPECT_TRUE(cell->state().selected);
        rows.insert(cell->tableCellInterface()->rowIndex());
    }
    EXPECT_EQ(rows, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(cells->selectedRows(), (QList<int>{1, 2, 3}));
    EXPECT_EQ(cells->selectedCellCount(), cells->selectedCells().size());
}

// Icon-only buttons are read out by what they do.
TEST_F(AccessWindowTest, EveryToolbarButtonHasAnAccessibleName) {
    open();
    const auto buttons = form_->findChildren<QToolButton*>();
    int named = 0;
    for (QToolButton* button : buttons) {
        if (button->toolTip().isEmpty())
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), button->toolTip());
        ++named;
    }
    EXPECT_GE(named, 10);
}

} // namespace
