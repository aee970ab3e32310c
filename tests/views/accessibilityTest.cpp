#include "sheetFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

using namespace marlo;

using namespace CellLabel;

namespace {

// What a screen reader reads: the grid as a table of the texts the cells show.
TEST_F(SheetTest, AssistiveTechnologyReadsTheSheetAsATableOfShownTexts) {
    defineList(*this);
    Make("L");
    sheet->SetDisplayName("User channels");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(sheet->Grid());
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(table->text(QAccessible::Name), "User channels");
    EXPECT_EQ(table->tableInterface()->rowCount(), 11);
    EXPECT_EQ(table->tableInterface()->columnCount(), 5);

    // A header shows its own text, a bound cell the engine's display text.
    EXPECT_EQ(table->tableInterface()->cellAt(0, 2)->text(QAccessible::Name), "Receive");
    const QString bound = QString("%1:%2").arg(CL_UCh_FreqR).arg(3);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(4, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), bound);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(table->indexOfChild(cell), 4 * 5 + 2);
    EXPECT_EQ(table->child(4 * 5 + 2), cell);
    EXPECT_EQ(cell->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
              "Receive");

    // The cursor cell is the current, focused one and follows the keys.
    QAccessibleInterface* focus = table->focusChild();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->tableCellInterface()->rowIndex(), 1);
    EXPECT_EQ(focus->tableCellInterface()->columnIndex(), 1);
    EXPECT_TRUE(focus->state().focused);
    QTest::keyClick(sheet->Grid(), Qt::Key_Down);
    QTest::keyClick(sheet->Grid(), Qt::Key_Right);
    focus = table->focusChild();
    EXPECT_EQ(focus->tableCellInterface()->rowIndex(), 2);
    EXPECT_EQ(focus->tableCellInterface()->columnIndex(), 2);
    EXPECT_TRUE(focus->state().focused);
    EXPECT_FALSE(cell->state().focused);

    // A rebuild to another size is seen at once.
    Define("S", "", {"{($e)}only"});
    Make("S");
    table = QAccessible::queryAccessibleInterface(sheet->Grid());
    EXPECT_EQ(table->tableInterface()->rowCount(), 1);
    EXPECT_EQ(table->tableInterface()->cellAt(0, 0)->text(QAccessible::Name), "only");
    EXPECT_EQ(table->tableInterface()->cellAt(1, 0), nullptr);
}

} // namespace
