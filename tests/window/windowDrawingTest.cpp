// What the window draws, seen on the screen after real input.
#include "sheetWindowTest.h"

#include "support/pdfPages.h"
#include "views/tree.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWheelEvent>

#include <algorithm>
#include <functional>
#include <vector>

using namespace marlo;

namespace {

using DrawingWindowTest = SheetWindowTest;

void wheel(QWidget& viewport, int degreesTimesEight) {
    const QPointF at(viewport.width() / 2.0, viewport.height() / 2.0);
    QWheelEvent event(at, viewport.mapToGlobal(at), QPoint(), QPoint(0, degreesTimesEight),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&viewport, &event);
}

// However the sheet scrolls, the screen shows what a fresh painting of it
// shows: no copy of the fixed header row or number column over the data.
TEST_F(DrawingWindowTest, ScrollingByKeysAndWheelLeavesNoCopiesOfTheHeaders) {
    open();
    form_->resize(640, 360);
    showSheet("User Channels");
    clickCell(2, 1);
    QWidget& view = *grid().viewport();
    const struct {
        const char* way;
        std::function<void()> act;
    } ways[] = {
        {"Down", [&] { key(Qt::Key_Down); }},
        {"PageDown", [&] { key(Qt::Key_PageDown); }},
        {"PageDown twice more",
         [&] {
             key(Qt::Key_PageDown);
             key(Qt::Key_PageDown);
         }},
        {"wheel down", [&] { wheel(view, -120 * 4); }},
        {"wheel up", [&] { wheel(view, 120); }},
        {"Right to the last column",
         [&] {
             for (int i = 0; i < 10; ++i)
                 key(Qt::Key_Right);
         }},
        {"Left", [&] { key(Qt::Key_Left); }},
        {"Ctrl+End", [&] { key(Qt::Key_End, Qt::ControlModifier); }},
        {"PageUp", [&] { key(Qt::Key_PageUp); }},
        {"Ctrl+Home", [&] { key(Qt::Key_Home, Qt::ControlModifier); }},
    };
    int topRow = grid().TopRow();
    int leftCol = grid().LeftCol();
    int moved = 0;
    for (const auto& w : ways) {
        w.act();
        moved += grid().TopRow() != topRow || grid().LeftCol() != leftCol ? 1 : 0;
        topRow = grid().TopRow();
        leftCol = grid().LeftCol();
        EXPECT_EQ(onScreen(view), painted(view)) << w.way;
    }
    EXPECT_GE(moved, 5) << "the sheet scrolled";
}

QLabel* titleOf(Sheet& sheet) {
    for (QLabel* label : sheet.Host()->findChildren<QLabel*>())
        if (label->isVisible() && label->text() == QString::fromStdString(sheet.TitleText()))
            return label;
    return nullptr;
}

// Pixels of the title drawn in a colour: white text on the teal band.
int pixelsOf(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

// The overlay asks for white bold text on teal; at 150 % the title grows with
// the cells.
TEST_F(DrawingWindowTest, TheSheetTitleIsWhiteOnTealAndGrowsWithTheFontSize) {
    open();
    showSheet("User Channels");
    QLabel* title = titleOf(*sheet());
    ASSERT_NE(title, nullptr);
    const QImage shown = onScreen(*title);
    EXPECT_GT(pixelsOf(shown, Qt::white), 30);
    EXPECT_GT(pixelsOf(shown, QColor(0x00, 0x80, 0x80)), shown.width() * shown.height() / 2);
    const int before = title->fontMetrics().height();

    menuPath({"&View", "&Font Size", "1&50 %"});
    ASSERT_TRUE(waitFor([&] {
        return sheet() != nullptr && titleOf(*sheet()) != nullptr &&
               titleOf(*sheet())->fontMetrics().height() != before;
    }));
    EXPECT_GT(titleOf(*sheet())->fontMetrics().height(), before);
}

// "Channels" heads five columns: written once on paper, and on the screen in
// one place, centred over the five, not once per column.
TEST_F(DrawingWindowTest, AHeaderSpanningColumnsIsDrawnOnce) {
    open();
    form_->resize(1200, 500);
    showSheet("Selective-Call IDs");
    int head = -1;
    for (int col = 0; col < grid().ColCount() && head < 0; ++col)
        if (sheet()->ShownText(col, 0) == "Channels")
            head = col;
    ASSERT_GE(head, 0);
    const GridRect first = grid().CellRect(head, 0);
    const GridRect last = grid().CellRect(head + 4, 0);
    const QImage shown = onScreen(*grid().viewport());
    int left = last.right;
    int right = first.left;
    ASSERT_LE(last.right, shown.width()) << "all five columns in view";
    for (int y = first.top; y < first.bottom - 2; ++y)
        for (int x = first.left; x < last.right; ++x)
            if (shown.pixelColor(x, y).lightness() < 100) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_LT(left, right) << "no text seen";
    EXPECT_LT(right - left, (last.right - first.left) / 3) << left << ".." << right;
    const int middle = (first.left + last.right) / 2;
    EXPECT_LT(std::abs((left + right) / 2 - middle), 6);

    const QString pdf = install_->filePath("ids.pdf");
    prompter_.printNextToFile(pdf.toStdString());
    key(Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return QFileInfo(pdf).size() > 0; }));
    waitFor([] { return false; }, 300);
    const std::vector<PdfPage> pages = readPdf(pdf.toStdString());
    ASSERT_FALSE(pages.empty());
    const auto& words = pages.front().words;
    EXPECT_EQ(std::count_if(words.begin(), words.end(),
                            [](const PdfWord& w) { return w.text == "Channels"; }),
              1);
}

// At its first width the tree shows every node's name whole, with all its
// branches open.
TEST_F(DrawingWindowTest, TheTreePaneStartsWideEnoughForEveryName) {
    open();
    QTreeWidget& tree = *controller_->Tree()->View();
    QTreeWidgetItem* first = tree.topLevelItem(0);
    click(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(first).center());
    key(Qt::Key_Asterisk); // opens every branch below
    ASSERT_TRUE(waitFor([&] {
        for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it)
            if (!tree.visualItemRect(*it).isValid())
                return false;
        return true;
    }));
    EXPECT_GE(tree.viewport()->width(), static_cast<QAbstractItemView&>(tree).sizeHintForColumn(0));
}

} // namespace
