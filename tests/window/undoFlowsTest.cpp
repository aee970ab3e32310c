// Undo and Redo as a person reaches them: keys, the Edit menu by Alt+E, and
// the cells, sheet, tree and caption they see afterwards.
#include "windowFixture.h"

#include "main/undoCommands.h"
#include "views/grid.h"
#include "views/sheet.h"
#include "views/tree.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

using namespace marlo;

namespace {

class UndoFlows : public WindowTest {
protected:
    // The desktop's mark, as the window manager shows the title: "name* - Marlo…".
    bool modifiedMark() const { return caption().find("* - ") != std::string::npos; }
    QString treeNode() const {
        const QTreeWidgetItem* node = controller_->Tree()->View()->currentItem();
        return node != nullptr ? node->text(0) : QString();
    }
    bool cursorAt(int col, int row) const {
        return sheet() != nullptr && sheet()->Grid()->Col() == col && sheet()->Grid()->Row() == row;
    }
};

// Row 3 is slot 2; column 1 the channel number, column 2 the receive frequency.
TEST_F(UndoFlows, AnEditGoesBackAndForthByKeysAndTheEditMenuWhereverTheUserIs) {
    open(Document::Full);
    showSheet("User Channels");
    const std::string receive = cellText(2, 3);
    ASSERT_FALSE(modifiedMark()) << caption();

    clickCell(2, 3);
    type("7123.4");
    key(Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return cellText(2, 3) != receive; }));
    const std::string edited = cellText(2, 3);
    EXPECT_TRUE(modifiedMark()) << caption();

    // Undone from another sheet: the channels come back into view, the tree
    // follows, the cursor stands on the cell that changed.
    showSheet("Band Edges");
    key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return cellText(2, 3) == receive; }));
    EXPECT_EQ(treeNode(), "User Channels");
    EXPECT_TRUE(cursorAt(2, 3));
    EXPECT_FALSE(modifiedMark()) << "back at the state opened: " << caption();
    key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return cellText(2, 3) == edited; }));
    EXPECT_TRUE(modifiedMark()) << caption();

    // The Edit menu names the step, and nothing is left to redo.
    key(Qt::Key_E, Qt::AltModifier);
    QMenu* edit = waitForPopup();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(plain(edit->actions().value(0)->text()), "Undo Receive kHz");
    EXPECT_FALSE(edit->actions().value(1)->isEnabled());
    key(Qt::Key_N);
    ASSERT_TRUE(waitForNoPopup());
    ASSERT_TRUE(waitFor([&] { return cellText(2, 3) == receive; }));
    EXPECT_FALSE(modifiedMark()) << caption();
    EXPECT_FALSE(controller_->UndoCommands()->UndoAction()->isEnabled())
        << "the history starts at the opened file";
    menuPath({"&Edit", "Red&o Receive kHz"});
    ASSERT_TRUE(waitFor([&] { return cellText(2, 3) == edited; }));
    EXPECT_TRUE(modifiedMark()) << caption();
}

TEST_F(UndoFlows, DeletedRowsComeBackWithTheEditBeforeThem) {
    open(Document::Full);
    showSheet("User Channels");
    const std::string receive = cellText(2, 3);
    const std::string slot2 = cellText(1, 3);
    const std::string slot4 = cellText(1, 5);
    clickCell(2, 3);
    type("7123.4");
    key(Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return cellText(2, 3) != receive; }));
    const std::string edited = cellText(2, 3);

    // Two rows deleted through the context menu.
    clickCell(1, 3);
    clickCell(1, 4, Qt::LeftButton, Qt::ShiftModifier);
    clickCell(1, 4, Qt::RightButton);
    prompter_.answerNext(PromptAnswer::Ok);
    ASSERT_TRUE(clickPopupItem("Delete Rows"));
    ASSERT_TRUE(waitFor([&] { return cellText(1, 3) == slot4; }));
    EXPECT_EQ(plain(controller_->UndoCommands()->UndoAction()->text()), "Undo Delete Rows");

    key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return cellText(1, 3) == slot2; }));
    EXPECT_EQ(cellText(2, 3), edited);
    EXPECT_EQ(cellText(1, 5), slot4);
    key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return cellText(2, 3) == receive; }));
    EXPECT_FALSE(modifiedMark()) << caption();

    // Both redo keys: the edit, then the deletion.
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(waitFor([&] { return cellText(2, 3) == edited; }));
    key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return cellText(1, 3) == slot4; }));
    EXPECT_TRUE(modifiedMark()) << caption();
}

} // namespace
