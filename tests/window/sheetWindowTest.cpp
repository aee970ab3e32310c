#include "sheetWindowTest.h"

#include <QPixmap>
#include <QScreen>
#include <QWindow>

using namespace marlo;

void SheetWindowTest::waitForSheet() {
    EXPECT_TRUE(waitFor([&] {
        return sheet() != nullptr && sheet()->Grid() != nullptr && sheet()->Grid()->isVisible();
    }));
}

void SheetWindowTest::typeIntoCell(int col, int row, const QString& text) {
    clickCell(col, row);
    ASSERT_TRUE(waitFor([&] { return grid().Col() == col && grid().Row() == row; }));
    type(text);
    key(Qt::Key_Return);
    waitFor([] { return false; }, 30);
}

std::string SheetWindowTest::statusWith(const std::string& part) {
    waitFor([&] { return controller_->MessageText().find(part) != std::string::npos; }, 2000);
    return controller_->MessageText();
}

QImage SheetWindowTest::onScreen(QWidget& widget) {
    waitFor([] { return false; }, 50); // pending paints reach the screen
    QWidget* top = widget.window();
    const QPoint at = widget.mapTo(top, QPoint(0, 0));
    return top->screen()
        ->grabWindow(top->winId(), at.x(), at.y(), widget.width(), widget.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage SheetWindowTest::painted(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
