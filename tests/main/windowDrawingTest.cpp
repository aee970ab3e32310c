// What the window draws, seen on the screen after real input.
#include "windowFixture.h"

#include "support/eventLoop.h"

#include <QApplication>
#include <QLabel>
#include <QWheelEvent>

#include <functional>

namespace {

using DrawingWindowTest = WindowTest;

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
    clickNode("User Channels");
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
    EXPECT_GE(moved, 6) << "the sheet scrolled";
}

QLabel* titleOf(cuiSheet& sheet) {
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
    clickNode("User Channels");
    QLabel* title = titleOf(sheet());
    ASSERT_NE(title, nullptr);
    const QImage shown = onScreen(*title);
    EXPECT_GT(pixelsOf(shown, Qt::white), 30);
    EXPECT_GT(pixelsOf(shown, QColor(0x00, 0x80, 0x80)), shown.width() * shown.height() / 2);
    const int before = title->fontMetrics().height();

    menuBar(Qt::Key_V, {"Font Size", "150"});
    ASSERT_TRUE(runEventLoopUntil([&] {
        return controller_->ShownSheet() != nullptr && titleOf(sheet()) != nullptr &&
               titleOf(sheet())->fontMetrics().height() != before;
    }));
    EXPECT_GE(titleOf(sheet())->fontMetrics().height(), before * 14 / 10);
}

} // namespace
