#pragma once

#include "controllerFixture.h"
#include "windowInput.h"

#include "main/frmMain.h"
#include "views/cuiGrid.h"
#include "views/cuiSheet.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

class QMenu;
class QTreeWidgetItem;

// The real main window driven as a person drives it: mouse clicks on the tree,
// the cells and popup items, keys on whatever has the focus, the menu bar by
// Alt+letter. What a test checks is what a person sees: the pixels on the
// screen, the caption, the status line, the saved bytes.
class WindowTest : public ControllerTest {
protected:
    ~WindowTest() override;

    // The window up and active, the first node's sheet shown.
    TForm1& open();
    // Clicks the tree node whose text starts with `text` and waits for its sheet.
    void clickNode(const QString& text);
    cuiSheet& sheet() { return *controller_->ShownSheet(); }
    cuiGrid& grid() { return *sheet().Grid(); }
    // Waits until the tick has shown a sheet again (after New or Open).
    void waitForSheet();

    // Clicks a cell, types `text` into it and presses Return.
    void typeIntoCell(int col, int row, const QString& text);
    void clickCell(int col, int row);
    // The key goes to the widget with the focus, as from the keyboard.
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    void menuBar(Qt::Key letter, const QStringList& path) { ::menuBar(*form_, letter, path); }

    // What the screen shows of `widget` and what it would show painted afresh:
    // the same unless something was left behind.
    static QImage onScreen(QWidget& widget);
    static QImage painted(QWidget& widget);

    std::unique_ptr<TForm1> form_;
};
