// Ctrl+V into the open cell editor, whatever the desktop's clipboard holds.
#include "sheetWindowTest.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>

using namespace marlo;

namespace {

constexpr int kReceive = 2; // User Channels: the receive frequency

using CellEditorPaste = SheetWindowTest;

struct PasteCase {
    const char* name;
    std::optional<QString> clipboard; // none: the clipboard has no owner
    QString inEditor;                 // after "70" typed and Ctrl+V
    bool atStart;                     // Ctrl+V with the cursor before "70"
    const char* shown;                // the cell after Return; null: left unchecked
};

TEST_F(CellEditorPaste, CtrlVInsertsTheClipboardsTextAsOneLine) {
    const QString longText(1100, u'9');
    const PasteCase cases[] = {
        {"clipboard without an owner", std::nullopt, "70", false, nullptr},
        {"a value as the sheet writes it", "55.5", "7055.5", false, "7055.5"},
        {"a line copied with its line end", "53.4\r\n", "7053.4", false, "7053.4"},
        {"a row of cells and a second line", "55.0\tUSB\r\nnext", "7055.0 USB next", false,
         nullptr},
        {"control characters", QString("5") + QChar(1) + "5", "7055", false, "7055.0"},
        {"more than a cell takes: what was typed stays", longText, longText.left(1021) + "70", true,
         nullptr},
    };
    open(Document::Full);
    showSheet("User Channels");
    QClipboard& clipboard = *QGuiApplication::clipboard();
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const PasteCase& c = cases[i];
        SCOPED_TRACE(c.name);
        if (c.clipboard)
            clipboard.setText(*c.clipboard);
        else
            clipboard.clear();
        const int row = 1 + i;
        clickCell(kReceive, row);
        ASSERT_TRUE(waitFor([&] { return grid().Row() == row; }));
        type("70");
        ASSERT_TRUE(sheet()->EditorVisible());
        if (c.atStart)
            key(Qt::Key_Home);
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(sheet()->Editor()->toPlainText().toStdString(), c.inEditor.toStdString());
        key(c.shown != nullptr ? Qt::Key_Return : Qt::Key_Escape);
        ASSERT_TRUE(waitFor([&] { return !sheet()->EditorVisible(); }));
        if (c.shown != nullptr) {
            EXPECT_EQ(cellText(kReceive, row), c.shown);
        }
    }
}

} // namespace
