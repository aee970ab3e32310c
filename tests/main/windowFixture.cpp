#include "windowFixture.h"

#include "support/eventLoop.h"
#include "views/cuiTree.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

WindowTest::~WindowTest() {
    form_.reset();
    controller_.reset();
}

TForm1& WindowTest::open() {
    form_ = std::make_unique<TForm1>(makeController());
    EXPECT_TRUE(runEventLoopUntil([&] { return form_->isVisible(); }));
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    waitForSheet();
    return *form_;
}

void WindowTest::waitForSheet() {
    EXPECT_TRUE(runEventLoopUntil(
        [&] { return controller_->ShownSheet() != nullptr && grid().isVisible(); }));
}

void WindowTest::clickNode(const QString& text) {
    QTreeWidget* tree = controller_->Tree()->View();
    const auto found = tree->findItems(text, Qt::MatchStartsWith | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    tree->scrollToItem(found.front());
    const QRect r = tree->visualItemRect(found.front());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    const cmcCellObj* model = controller_->Tree()->ModelOf(found.front());
    ASSERT_TRUE(model != nullptr && model->parameter);
    ASSERT_TRUE(runEventLoopUntil([&] {
        return controller_->ShownDescriptor() == *model->parameter;
    })) << text.toStdString();
}

void WindowTest::clickCell(int col, int row) {
    grid().ScrollIntoView(col, row);
    const cmcGridRect r = grid().CellRect(col, row);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                      QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    ASSERT_EQ(grid().Col(), col);
    ASSERT_EQ(grid().Row(), row);
}

void WindowTest::typeIntoCell(int col, int row, const QString& text) {
    clickCell(col, row);
    // Key by key to whatever has the focus: the first one opens the editor.
    for (const QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    key(Qt::Key_Return);
    runEventLoopFor(20);
}

void WindowTest::key(int k, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr)
        target = form_.get();
    QTest::keyClick(target, static_cast<Qt::Key>(k), modifiers);
}

QImage WindowTest::onScreen(QWidget& widget) {
    runEventLoopFor(30); // pending paints reach the screen
    QWidget* top = widget.window();
    const QPoint at = widget.mapTo(top, QPoint(0, 0));
    return top->screen()
        ->grabWindow(top->winId(), at.x(), at.y(), widget.width(), widget.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage WindowTest::painted(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
