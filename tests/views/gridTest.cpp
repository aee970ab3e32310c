#include "views/grid.h"
#include "support/eventLoop.h"

#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <set>
#include <utility>

using namespace marlo;

namespace {

// Columns 30, 20, 20, 20, 20 wide; rows 10 high; one fixed column and row.
GridLayout fiveByFive(int viewWidth, int viewHeight) {
    GridLayout layout;
    layout.SetSizes({30, 20, 20, 20, 20}, {10, 10, 10, 10, 10}, 1, 1);
    layout.SetViewport(viewWidth, viewHeight);
    return layout;
}

TEST(GridLayout, CellsAndPixelsMapBothWaysWithFixedHeadersAndScrolling) {
    GridLayout layout = fiveByFive(70, 30);
    EXPECT_EQ(layout.CellRect(0, 0), (GridRect{0, 0, 30, 10}));
    EXPECT_EQ(layout.CellRect(2, 1), (GridRect{50, 10, 70, 20}));
    EXPECT_EQ(layout.LastVisibleCol(), 2);
    EXPECT_EQ(layout.LastVisibleRow(), 2);

    // Scrolled: the headers stay, column 1 and row 1 slide under them.
    layout.SetLeftCol(3);
    layout.SetTopRow(3);
    EXPECT_EQ(layout.CellRect(0, 3), (GridRect{0, 10, 30, 20}));
    EXPECT_EQ(layout.CellRect(3, 0), (GridRect{30, 0, 50, 10}));
    EXPECT_EQ(layout.CellAt(35, 15), (GridCell{3, 3}));
    EXPECT_EQ(layout.CellAt(5, 25), (GridCell{0, 4}));
    EXPECT_EQ(layout.CellAt(55, 5), (GridCell{4, 0}));

    // Past the table or the view, and negative points, are no cell.
    EXPECT_FALSE(layout.CellAt(75, 5).IsValid());
    EXPECT_FALSE(layout.CellAt(-1, 5).IsValid());
    GridLayout wide = fiveByFive(500, 500);
    EXPECT_FALSE(wide.CellAt(115, 5).IsValid());
    EXPECT_FALSE(wide.CellAt(5, 55).IsValid());
}

TEST(GridLayout, ScrollingStopsWhereTheLastCellsFillTheViewAndFollowsTheCursor) {
    GridLayout layout = fiveByFive(70, 30);
    layout.SetLeftCol(99);
    layout.SetTopRow(-5);
    EXPECT_EQ(layout.LeftCol(), 3); // columns 3 and 4 fill the 40 pixels beside the header
    EXPECT_EQ(layout.TopRow(), 1);
    layout.ScrollIntoView(1, 4);
    EXPECT_EQ(layout.LeftCol(), 1);
    EXPECT_EQ(layout.TopRow(), 3);
    layout.ScrollIntoView(0, 0); // fixed cells never scroll
    EXPECT_EQ(layout.LeftCol(), 1);
    EXPECT_EQ(layout.TopRow(), 3);

    // Everything fits: nothing scrolls at all.
    GridLayout roomy = fiveByFive(500, 500);
    roomy.SetTopRow(3);
    EXPECT_EQ(roomy.TopRow(), 1);
    EXPECT_EQ(roomy.MaxTopRow(), 1);
}

class RecordingOwner : public GridOwner {
public:
    void GridSelectCell(int col, int row, bool& allow) override {
        asked.emplace_back(col, row);
        allow = refused.count({col, row}) == 0;
    }
    void GridDrawCell(QPainter& painter, int col, int row, const GridRect& r) override {
        painted.insert({col, row});
        painter.fillRect(QRect(r.left, r.top, r.Width(), r.Height()),
                         col == 0 || row == 0 ? Qt::gray : Qt::white);
    }
    void GridFocusGained() override { ++gained; }
    void GridFocusLost() override { ++lost; }
    bool GridTimedScroll(int directions) override {
        scrolls.push_back(directions);
        return true;
    }

    std::vector<std::pair<int, int>> asked;
    std::set<std::pair<int, int>> refused;
    std::set<std::pair<int, int>> painted;
    std::vector<int> scrolls;
    int gained = 0;
    int lost = 0;
};

class GridWidget : public ::testing::Test {
protected:
    GridWidget() {
        other.setFocusPolicy(Qt::StrongFocus);
        other.move(0, 160);
        grid.SetOwner(&owner);
        grid.SetSizes(std::vector<int>(10, 40), std::vector<int>(40, 20), 1, 1);
        grid.resize(200, 150);
        window.resize(200, 200);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        grid.setFocus();
    }
    QPoint centreOf(int col, int row) const {
        const GridRect r = grid.CellRect(col, row);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    QWidget window;
    RecordingOwner owner;
    Grid grid{&window};
    QWidget other{&window};
};

TEST_F(GridWidget, OwnerVetoesCurrentCellForKeysAndClicks) {
    owner.refused = {{2, 1}};
    grid.SetCurrentQuiet(1, 1);
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(std::make_pair(grid.Col(), grid.Row()), std::make_pair(1, 1));
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(std::make_pair(grid.Col(), grid.Row()), std::make_pair(1, 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(2, 1));
    EXPECT_EQ(std::make_pair(grid.Col(), grid.Row()), std::make_pair(1, 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(3, 3));
    EXPECT_EQ(std::make_pair(grid.Col(), grid.Row()), std::make_pair(3, 3));
    // A click past the last column asks nobody and changes nothing.
    owner.asked.clear();
    grid.SetSizes(std::vector<int>(2, 40), std::vector<int>(2, 20), 1, 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(190, 10));
    EXPECT_TRUE(owner.asked.empty());
}

TEST_F(GridWidget, PaintsOnlyVisibleCellsAndKeepsHeadersWhenScrolled) {
    grid.SetTopRow(20);
    owner.painted.clear();
    grid.viewport()->repaint();
    EXPECT_TRUE(owner.painted.count({0, 0}));
    EXPECT_TRUE(owner.painted.count({1, 20}));
    EXPECT_FALSE(owner.painted.count({1, 1}));
    EXPECT_FALSE(owner.painted.count({1, 39}));
    const QImage shot = grid.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 25), QColor(Qt::gray)); // the row header beside row 20
    EXPECT_EQ(shot.pixelColor(45, 25), QColor(Qt::white));
    EXPECT_EQ(grid.verticalScrollBar()->value(), 19);
}

TEST_F(GridWidget, FocusHooksAndTimedScrollWhileTheMouseIsHeldOutside) {
    const int gainedBefore = owner.gained;
    other.setFocus();
    grid.setFocus();
    EXPECT_GE(owner.lost, 1);
    EXPECT_GT(owner.gained, gainedBefore);
    // A menu popping up (the menu bar's Edit menu, the context menu) takes the
    // keyboard only for a moment: the sheet keeps its context menu meanwhile.
    const int lostBefore = owner.lost;
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(&grid, &popup);
    EXPECT_EQ(owner.lost, lostBefore);

    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, centreOf(2, 2));
    QMouseEvent drag(QEvent::MouseMove, QPointF(100, 400), QPointF(100, 400), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &drag);
    ASSERT_TRUE(runEventLoopUntil([&] { return owner.scrolls.size() >= 2; }));
    EXPECT_EQ(owner.scrolls.front(), GridOwner::kDown);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(100, 400));
    const auto count = owner.scrolls.size();
    runEventLoopFor(3 * Grid::kTimedScrollMs);
    EXPECT_EQ(owner.scrolls.size(), count);
}

} // namespace
