#include "windowInput.h"

#include "support/eventLoop.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

QMenu* waitForPopup() {
    QMenu* menu = nullptr;
    runEventLoopUntil([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr && menu->isVisible();
    });
    return menu;
}

QString plainItemText(const QString& text) {
    QString plain = text.section(u'\t', 0, 0);
    plain.remove(u'&');
    return plain;
}

void clickItem(QMenu* menu, const QString& text) {
    ASSERT_NE(menu, nullptr) << "no popup for " << text.toStdString();
    for (QAction* action : menu->actions()) {
        if (action->isVisible() && plainItemText(action->text()).startsWith(text)) {
            QTest::mouseMove(menu, menu->actionGeometry(action).center());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            return;
        }
    }
    FAIL() << "no item " << text.toStdString();
}

void menuBar(QWidget& window, Qt::Key letter, const QStringList& path) {
    QTest::keyClick(&window, letter, Qt::AltModifier);
    for (const QString& item : path) {
        QMenu* menu = waitForPopup();
        clickItem(menu, item);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}
