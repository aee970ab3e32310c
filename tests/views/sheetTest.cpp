#include "sheetFixture.h"

#include "support/eventLoop.h"
#include "views/menu.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace marlo;

using namespace CellLabel;

namespace {

using At = std::pair<int, int>;

// The line-marked rows of column `col`.
std::vector<int> lineMarkedRows(Sheet& sheet, int col) {
    std::vector<int> rows;
    for (int row = 0; row < sheet.Def().RowCount(); ++row)
        if (sheet.Cell(col, row).marks & CellMark::LineMarked)
            rows.push_back(row);
    return rows;
}

TEST_F(SheetTest, BuildPutsTheCursorNearTheTopLeftOrOnTheStartCellAndDisablesAnEmptySheet) {
    defineList(*this);
    Make("L");
    EXPECT_EQ(CursorAt(), At(1, 1));
    EXPECT_TRUE(sheet->Grid()->isEnabled());

    Make("L", false, {CL_UCh_Comment, 4});
    EXPECT_EQ(CursorAt(), At(4, 5));

    // A saved position outside the table is forgotten; one inside comes back.
    sheet->SetSavedPosition({9, 99, 0, 0});
    sheet->Build();
    EXPECT_EQ(CursorAt(), At(4, 5));
    sheet->SetSavedPosition({2, 7, 0, 1});
    sheet->Build();
    EXPECT_EQ(CursorAt(), At(2, 7));

    // Nothing selectable: the grid is shown but disabled, and keys and clicks do nothing.
    Define("N", "", {"plain|text", "more|text"});
    Make("N");
    EXPECT_FALSE(sheet->Grid()->isEnabled());
    engine.calls.clear();
    for (int key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_A, Qt::Key_Return})
        QTest::keyClick(sheet->Grid(), static_cast<Qt::Key>(key));
    QTest::mouseClick(sheet->Grid()->viewport(), Qt::LeftButton, {}, CentreOf(1, 1));
    QTest::mouseDClick(sheet->Grid()->viewport(), Qt::LeftButton, {}, QPoint(400, 280));
    EXPECT_TRUE(engine.calls.empty());

    // A host window that goes first takes the sheet's windows with it.
    defineList(*this);
    Make("L");
    host.reset();
    EXPECT_EQ(sheet->Grid(), nullptr);
    sheet.reset();
}

TEST_F(SheetTest, ASheetWithoutCellLinesEndsTheProgramWithItsMessage) {
    Define("E", "", {});
    EXPECT_EXIT(Make("E"), ::testing::ExitedWithCode(3), "Illegal Cell assign");
    EXPECT_EXIT(Make("NoSuchSheet"), ::testing::ExitedWithCode(3), "NoSuchSheet_Style");
}

TEST_F(SheetTest, CursorKeysWrapInASmallPickerAndSearchLineByLineElsewhere) {
    Define("P4", "", {"{($e)}a|{($e)}b|{($e)}c|{($e)}d"});
    Make("P4", true);
    host->resize(sheet->TotalWidth() + 20, sheet->TotalHeight() + 20);
    QApplication::processEvents();
    ASSERT_FALSE(sheet->Grid()->ShowsScrollBars());
    for (int n = 0; n < 3; ++n)
        Key(Qt::Key_Right);
    EXPECT_EQ(CursorAt(), At(3, 0));
    Key(Qt::Key_Right);
    EXPECT_EQ(CursorAt(), At(0, 0));
    Key(Qt::Key_Left);
    EXPECT_EQ(CursorAt(), At(3, 0));

    // Only column 3 selectable: Right there stays and hands the key to the engine.
    Define("C3", "", {"a|b|c|{($e)}d|e", "a|b|c|{($e)}d|e"});
    Make("C3");
    EXPECT_EQ(CursorAt(), At(3, 0));
    engine.calls.clear();
    Key(Qt::Key_Right);
    EXPECT_EQ(CursorAt(), At(3, 0));
    ASSERT_EQ(engine.calls.size(), 1u);
    EXPECT_EQ(engine.calls[0].action, 0x27 * 256);

    // Down from column 2 into rows without it: the nearest selectable cell of
    // the next row that has one, nearest to the remembered column.
    Define(
        "D", "",
        {"{($e)}a|b|{($e)}c|d|e", "a|b|c|d|e", "{($e)}a|b|c|{($e)}d|e", "{($e)}a|b|c|d|{($e)}e"});
    Make("D");
    Key(Qt::Key_Right);
    EXPECT_EQ(CursorAt(), At(2, 0));
    Key(Qt::Key_Down);
    EXPECT_EQ(CursorAt(), At(3, 2));
    Key(Qt::Key_Down); // a tie between columns 0 and 4 is not a tie from column 3
    EXPECT_EQ(CursorAt(), At(4, 3));
    Key(Qt::Key_Down); // nothing further down: stays
    EXPECT_EQ(CursorAt(), At(4, 3));

    // Page keys move ten rows as far as they can; Ctrl+Down and Home do nothing.
    defineList(*this);
    Make("L");
    Key(Qt::Key_PageDown);
    EXPECT_EQ(CursorAt(), At(1, 10));
    Key(Qt::Key_Up, Qt::ControlModifier);
    Key(Qt::Key_Home);
    EXPECT_EQ(CursorAt(), At(1, 10));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(CursorAt(), At(1, 1));
}

TEST_F(SheetTest, ShiftDownLineMarksRowsFromTheFirstScrolledColumnAndAPlainMoveClearsThem) {
    defineList(*this);
    Make("L");
    for (int n = 0; n < 4; ++n)
        Key(Qt::Key_Down);
    ASSERT_EQ(CursorAt(), At(1, 5));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(CursorAt(), At(1, 7));
    EXPECT_EQ(lineMarkedRows(*sheet, 1), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(lineMarkedRows(*sheet, 4), (std::vector<int>{5, 6, 7}));
    EXPECT_TRUE(lineMarkedRows(*sheet, 0).empty()) << "the fixed number column stays unmarked";
    EXPECT_TRUE(sheet->Interaction() & Sheet::kMultiActive);

    // On screen the marked lines carry the highlight, the others do not.
    QApplication::processEvents();
    const QImage shot = sheet->Grid()->viewport()->grab().toImage();
    const auto inside = [&](int col, int row) {
        const GridRect r = sheet->Grid()->CellRect(col, row);
        return shot.pixelColor(r.right - 3, r.top + 2);
    };
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(inside(4, 6), highlight);
    EXPECT_NE(inside(4, 8), highlight);

    Key(Qt::Key_Down);
    EXPECT_TRUE(lineMarkedRows(*sheet, 1).empty());
    EXPECT_FALSE(sheet->Interaction() & Sheet::kMultiActive);
    EXPECT_EQ(CursorAt(), At(1, 8));
}

TEST_F(SheetTest, ClicksTakeTailsForTheirHeadsAndIgnoreCellsOutsideTheTable) {
    defineList(*this);
    Make("L");
    QWidget* view = sheet->Grid()->viewport();
    QTest::mouseClick(view, Qt::LeftButton, {}, CentreOf(3, 4));
    EXPECT_EQ(CursorAt(), At(2, 4)) << "the tail cell stands for the receive cell";
    QTest::mouseClick(view, Qt::LeftButton, {}, CentreOf(0, 6));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() - 2, view->height() - 2));
    EXPECT_EQ(CursorAt(), At(2, 4));

    engine.calls.clear();
    QTest::mouseDClick(view, Qt::LeftButton, {}, CentreOf(3, 4));
    ASSERT_EQ(engine.calls.size(), 1u);
    EXPECT_EQ(engine.calls[0].action, CellRequest::kClick);
    EXPECT_EQ(engine.calls[0].label, CL_UCh_FreqR);

    // Right-click: the cursor goes to the cell and its menu opens; on a header nothing.
    QTest::mousePress(view, Qt::RightButton, {}, CentreOf(4, 2));
    EXPECT_EQ(CursorAt(), At(4, 2));
    ASSERT_TRUE(runEventLoopUntil([&] { return sheet->ContextMenu()->isVisible(); }));
    EXPECT_EQ(sheet->ContextMenu()->actions().size(), 4);
    sheet->ContextMenu()->hide();
    QTest::mousePress(view, Qt::RightButton, {}, CentreOf(2, 0));
    runEventLoopFor(50);
    EXPECT_EQ(CursorAt(), At(4, 2));
    EXPECT_FALSE(sheet->ContextMenu()->isVisible());
}

// A tail shares its head's highlight, so every repaint of a head, whoever asks
// for it (a cursor move, the editor, a value change), repaints the tail too.
TEST_F(SheetTest, ATailIsRepaintedWithItsHead) {
    defineList(*this, "L", "(FixedCols=1)(FixedRows=1)");
    Make("L");
    QWidget* view = sheet->Grid()->viewport();
    QApplication::processEvents();
    struct Painted : QObject {
        QRegion region;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                region += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } painted;
    view->installEventFilter(&painted);
    const auto repaintsTailOf = [&](int row, const std::function<void()>& action) {
        painted.region = {};
        action();
        QApplication::processEvents();
        const GridRect tail = sheet->Grid()->CellRect(3, row);
        return painted.region.contains(QRect(tail.left, tail.top, tail.Width(), tail.Height()));
    };
    EXPECT_TRUE(repaintsTailOf(1, [&] { Key(Qt::Key_Right); }));
    EXPECT_TRUE(repaintsTailOf(2, [&] { Key(Qt::Key_Down); }));
    EXPECT_TRUE(repaintsTailOf(5, [&] { sheet->Grid()->InvalidateCell(2, 5); }));
    EXPECT_FALSE(repaintsTailOf(5, [&] { sheet->Grid()->InvalidateCell(1, 5); }))
        << "only cells that follow the repainted one";
}

// The engine opens the editor on a typed digit with that digit typed in.
void openOnDigits(ScriptedEngine& engine) {
    engine.respond = [](CellRequest& r) -> std::uint8_t {
        if (r.action < '0' || r.action > '9')
            return 0;
        r.text = std::string(1, static_cast<char>(r.action));
        r.selStart = 1;
        return 2;
    };
}

std::vector<EngineCall> editsOf(const ScriptedEngine& engine) {
    std::vector<EngineCall> edits;
    for (const auto& c : engine.calls)
        if (c.inputMode == CellRequest::kEditedText)
            edits.push_back(c);
    return edits;
}

TEST_F(SheetTest, EditorEscapeKeepsTheValueEnterCommitsInPlaceDownCommitsAndMoves) {
    defineList(*this);
    Make("L");
    openOnDigits(engine);
    Key(Qt::Key_5);
    ASSERT_TRUE(sheet->EditorVisible());
    EXPECT_EQ(QApplication::focusWidget(), sheet->Editor());
    Key(Qt::Key_0);
    EXPECT_EQ(sheet->Editor()->toPlainText(), "50");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(sheet->EditorVisible());
    EXPECT_TRUE(editsOf(engine).empty());
    EXPECT_EQ(QApplication::focusWidget(), sheet->Grid());

    Key(Qt::Key_7);
    Key(Qt::Key_1);
    Key(Qt::Key_Return);
    ASSERT_EQ(editsOf(engine).size(), 1u);
    EXPECT_EQ(editsOf(engine)[0].inputText, "71");
    EXPECT_EQ(editsOf(engine)[0].action, 0);
    EXPECT_EQ(editsOf(engine)[0].index, 0);
    EXPECT_EQ(CursorAt(), At(1, 1));
    EXPECT_EQ(QApplication::focusWidget(), sheet->Grid());

    Key(Qt::Key_3);
    Key(Qt::Key_Down);
    ASSERT_EQ(editsOf(engine).size(), 2u);
    EXPECT_EQ(editsOf(engine)[1].inputText, "3");
    EXPECT_EQ(editsOf(engine)[1].index, 0);
    EXPECT_EQ(CursorAt(), At(1, 2));

    // Hub message 21 commits an open editor, as the file commands ask.
    Key(Qt::Key_9);
    hub.Send(evCommitEditors);
    EXPECT_FALSE(sheet->EditorVisible());
    ASSERT_EQ(editsOf(engine).size(), 3u);
    EXPECT_EQ(editsOf(engine)[2].inputText, "9");
}

TEST_F(SheetTest, TheEditorCutsLongTextsAtItsLimitAndARebuildNeverCommitsToAGoneCell) {
    defineList(*this);
    Make("L");
    sheet->OpenEditor(4, 3, std::string(2000, 'x'), 0, 0);
    EXPECT_EQ(sheet->Editor()->toPlainText().size(), Sheet::kEditorMaxChars);
    sheet->Editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(sheet->Editor(), "yyyy");
    EXPECT_EQ(sheet->Editor()->toPlainText().size(), Sheet::kEditorMaxChars);
    Key(Qt::Key_Return);
    ASSERT_EQ(editsOf(engine).size(), 1u);
    EXPECT_EQ(editsOf(engine)[0].inputText, std::string(Sheet::kEditorMaxChars, 'x'));

    // A variant that drops the last lines: the editor commits to its cell before
    // the rebuild, never afterwards to a row that is gone.
    Define("V", "",
           {"{($e)(%CT_UserCh.CL_UCh_Comment[0])}MMMM", ":(Only_Oth 2)",
            "{($e)(%CT_UserCh.CL_UCh_Comment[1])}MMMM",
            "{($e)(%CT_UserCh.CL_UCh_Comment[2])}MMMM"});
    sheet.reset();
    host = std::make_unique<QWidget>();
    sheet = std::make_unique<CommonSettingsSheet>(host.get(), nullptr, Sheet::StartCell{}, Store(),
                                                  "V", &marks);
    sheet->SetEngine([this](CellRequest& r, bool notify) { return engine(r, notify); });
    sheet->SetSetup({.modelVariant = 1});
    sheet->Build();
    host->show();
    ASSERT_EQ(sheet->Def().RowCount(), 3);
    sheet->OpenEditor(0, 2, "last", 0, 0);
    sheet->SetSetup({.modelVariant = 0});
    sheet->Build();
    EXPECT_EQ(sheet->Def().RowCount(), 1);
    ASSERT_EQ(editsOf(engine).size(), 2u);
    EXPECT_EQ(editsOf(engine)[1].index, 2);
    EXPECT_FALSE(sheet->EditorVisible());
    sheet->CloseEditor(true);
    EXPECT_EQ(editsOf(engine).size(), 2u);
}

TEST_F(SheetTest, OutActionsAreReplayedAfterShrinkingWaitsAndRedirectsMoveTheCursor) {
    defineList(*this);
    Make("L");
    int replays = 7;
    engine.respond = [&](CellRequest& r) -> std::uint8_t {
        if (r.action == 'x' && replays-- > 0)
            r.outAction = 'x';
        return 0;
    };
    Key(Qt::Key_X);
    EXPECT_EQ(waits, (std::vector<int>{30, 24, 18, 12, 6, 0, 0}));
    EXPECT_EQ(engine.calls.size(), 8u);

    // An engine that never stops asking is given up on.
    engine.calls.clear();
    engine.respond = [](CellRequest& r) -> std::uint8_t {
        r.outAction = 'y';
        return 0;
    };
    Key(Qt::Key_Y);
    EXPECT_EQ(engine.calls.size(), static_cast<std::size_t>(Sheet::kMaxReplays + 1));

    // Typing into the receive cell of an empty row edits its channel number.
    engine.calls.clear();
    engine.respond = [](CellRequest& r) -> std::uint8_t {
        if (r.cell->label == CL_UCh_FreqR && r.action == '7') {
            r.redirected = 1;
            r.outCategory = CT_UserCh;
            r.outLabel = CL_UCh_CH;
            r.outIndex = r.cell->index;
            r.outAction = r.action;
            return 0;
        }
        if (r.cell->label == CL_UCh_CH && r.action == '7') {
            r.text = "7";
            r.selStart = 1;
            return 2;
        }
        return 0;
    };
    QTest::mouseClick(sheet->Grid()->viewport(), Qt::LeftButton, {}, CentreOf(2, 3));
    Key(Qt::Key_7);
    EXPECT_EQ(CursorAt(), At(1, 3));
    ASSERT_TRUE(sheet->EditorVisible());
    EXPECT_EQ(sheet->Editor()->toPlainText(), "7");
    ASSERT_EQ(engine.calls.size(), 2u);
    EXPECT_EQ(engine.calls[1].label, CL_UCh_CH);
}

TEST_F(SheetTest, ContextCommandsCarryTheSelectedBlockAndTheEngineMayChooseANewOne) {
    defineList(*this);
    Make("L");
    Key(Qt::Key_Down);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(CursorAt(), At(1, 4));
    CellBlock seen;
    engine.respond = [&](CellRequest& r) -> std::uint8_t {
        seen = r.block;
        if (r.popupCommand == CL_PMenu_Paste) {
            r.block.flags |= CellBlock::NewBlock;
            r.block.first = 5;
            r.block.last = 7;
        }
        return 0;
    };
    QAction* paste = sheet->ContextMenuBuilder()->FindByLabel(CL_PMenu_Paste);
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(seen.flags & CellBlock::Selected, CellBlock::Selected);
    EXPECT_EQ(seen.first, 1);
    EXPECT_EQ(seen.last, 3);
    ASSERT_FALSE(engine.calls.empty());
    EXPECT_EQ(engine.calls.back().command, CL_PMenu_Paste);
    EXPECT_EQ(engine.calls.back().label, CL_UCh_CH);
    EXPECT_EQ(lineMarkedRows(*sheet, 2), (std::vector<int>{6, 7, 8}));

    // Any other command ends the selection.
    engine.respond = nullptr;
    sheet->ContextMenuBuilder()->FindByLabel(CL_PMenu_Edit)->trigger();
    EXPECT_TRUE(lineMarkedRows(*sheet, 2).empty());
    EXPECT_FALSE(sheet->Interaction() & Sheet::kMultiActive);
}

TEST_F(SheetTest, HubMessagesRepaintOnlyTheCellsTheyNameAndAskForTheMenusCell) {
    defineList(*this);
    Make("L");
    QApplication::processEvents();
    const auto repainted = [&](std::uint8_t type, std::int32_t value) {
        engine.painted.clear();
        hub.Post(type, nullptr, value);
        FlushHub();
        QApplication::processEvents();
        return engine.painted;
    };
    const auto all = [](const auto& painted, auto predicate) {
        return !painted.empty() && std::all_of(painted.begin(), painted.end(), predicate);
    };
    EXPECT_TRUE(all(repainted(evRepaintLabel, CL_UCh_FreqR),
                    [](auto p) { return p.first == CL_UCh_FreqR; }));
    EXPECT_TRUE(all(repainted(evRepaintIndex, 3), [](auto p) { return p.second == 3; }));
    EXPECT_TRUE(all(repainted(18, 8), [](auto p) { return p.second >= 8; }));
    const auto everything = repainted(evRepaintAll, 0);
    EXPECT_EQ(everything.size(), 40u) << "four bound cells in each of ten rows";

    Key(Qt::Key_Down);
    const auto reply = hub.Ask(evAskMenuCell, sheet->ContextMenu());
    ASSERT_TRUE(reply.has_value());
    const auto* cell = static_cast<const CellModel*>(reply->object);
    EXPECT_EQ(cell->label, CL_UCh_CH);
    EXPECT_EQ(cell->index, 1);
    QMenu foreign;
    EXPECT_FALSE(hub.Ask(evAskMenuCell, &foreign).has_value());
}

TEST_F(SheetTest, OnPaperTheSheetMeasuresWithThePrintersUnitAndPaintsWithTheSamePainter) {
    defineList(*this);
    Make("L");
    const int screenWidth = sheet->Def().ColWidth(4);
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("sheet.pdf"));
    pdf.setResolution(600);
    sheet->SetPrinter(&pdf);
    sheet->SetFontHeight(-50);
    sheet->Build();
    EXPECT_EQ(sheet->Def().Setup().marginUnit, 5);
    EXPECT_GT(sheet->Def().ColWidth(4), 3 * screenWidth);
    engine.painted.clear();
    {
        QPainter painter(&pdf);
        int y = 0;
        for (int row = 0; row < sheet->Def().RowCount(); ++row) {
            int x = 0;
            for (int col = 0; col < sheet->Def().ColCount(); ++col) {
                const GridRect r{x, y, x + sheet->Def().ColWidth(col),
                                 y + sheet->Def().RowHeight(row)};
                sheet->PaintCell(painter, col, row, r);
                x = r.right;
            }
            y += sheet->Def().RowHeight(row);
        }
    }
    EXPECT_EQ(engine.painted.size(), 40u);
    EXPECT_GT(QFileInfo(dir.filePath("sheet.pdf")).size(), 1000);
    // Back on screen, the sizes are the screen's again.
    sheet->SetPrinter(nullptr);
    sheet->SetFontHeight(0);
    sheet->Build();
    EXPECT_EQ(sheet->Def().ColWidth(4), screenWidth);
}

} // namespace
