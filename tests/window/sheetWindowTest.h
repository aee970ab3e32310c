#pragma once

#include "windowFixture.h"

#include "views/grid.h"
#include "views/sheet.h"

#include <QImage>

#include <string>

using namespace marlo;

// The window tests that look at a sheet as a person sees it: what the screen
// shows of a widget against a fresh painting of it, cells typed into.
class SheetWindowTest : public WindowTest {
protected:
    Grid& grid() const { return *sheet()->Grid(); }
    // Waits until the tick has shown a sheet again (after New or Open).
    void waitForSheet();
    // Clicks a cell in view, types `text` into it and presses Return.
    void typeIntoCell(int col, int row, const QString& text);
    // The status line once it holds `part` (or after a while, whatever it holds).
    std::string statusWith(const std::string& part);

    // What the screen shows of `widget`, and the same widget painted afresh:
    // equal unless something was left behind on the screen.
    static QImage onScreen(QWidget& widget);
    static QImage painted(QWidget& widget);
};
