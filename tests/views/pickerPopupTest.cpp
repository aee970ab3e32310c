#include "sheetFixture.h"

#include "support/eventLoop.h"
#include "views/pickerPopup.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

using namespace marlo;

using namespace CellLabel;

namespace {

struct PlaceRow {
    const char* name;
    QSize size;
    QRect cell;
    QRect expected;
};

TEST(FlectorPlacement, BelowTheCellElseAboveElseAgainstTheWorkAreasEdges) {
    const QRect work(0, 0, 1000, 800);
    const PlaceRow rows[] = {
        {"room below", {100, 200}, {300, 100, 80, 20}, {308, 120, 100, 200}},
        {"above when it would pass the bottom",
         {100, 200},
         {300, 700, 80, 20},
         {308, 500, 100, 200}},
        {"bottom-aligned without room above", {100, 500}, {300, 400, 80, 20}, {308, 300, 100, 500}},
        {"right-aligned at the right edge", {150, 200}, {900, 100, 80, 20}, {850, 120, 150, 200}},
        {"left of a covered cell", {150, 500}, {900, 400, 80, 20}, {750, 300, 150, 500}},
    };
    for (const PlaceRow& row : rows)
        EXPECT_EQ(placeFlector(row.size, row.cell, work), row.expected) << row.name;
}

class FlectorTest : public SheetTest {
protected:
    FlectorTest() {
        defineList(*this);
        Define("Pick", "",
               {"{($e)(%Flex0[0])}Zero", "{($e)(%Flex0[1])}One", "{($e)(%Flex0[2])}Two",
                "{($e)(%Flex0[3])}Three"});
        Define("Big", "", {":(LoopFrom 200)", "{($e)(%Flex0[0])}A long item text", ":(LoopTo)"});
        Make("L");
        // The request of the comment cell of row 3 as the engine hands it on.
        request.grid = sheet->Grid();
        request.form = sheet->Grid();
        request.cell = &sheet->Cell(4, 3).model;
        const GridRect r = sheet->Grid()->CellRect(4, 3);
        request.rect = CellRect{r.left, r.top, r.right, r.bottom};
        request.images = &marks;
    }

    PickerPopup* Open(std::optional<QRect> work = QRect(0, 0, 1280, 1024)) {
        PickerPopup* f = PickerPopup::Open(
            request, {Flex0, 2}, Store(), "Pick", nullptr,
            [this](CellRequest& r, bool notify) { return engine(r, notify); }, work);
        QObject::connect(f, &PickerPopup::Closed,
                         [this](bool picked) { closed.push_back(picked); });
        return f;
    }

    CellRequest request;
    std::vector<bool> closed;
};

TEST_F(FlectorTest, EnterHandsThePickToTheOwnerCellAndReleasesThePicker) {
    QPointer<PickerPopup> f = Open();
    ASSERT_TRUE(f->isVisible());
    EXPECT_EQ(f->Sheet().Grid()->Row(), 2) << "the cursor starts on the current value";
    EXPECT_FALSE(f->Sheet().Grid()->ShowsScrollBars());
    const GridLayout& cells = f->Sheet().Grid()->Layout();
    EXPECT_EQ(f->Sheet().Grid()->ClientSize(), QSize(cells.TotalWidth(), cells.TotalHeight()))
        << "the window is as large as its cells, no more";
    const QPoint cell =
        sheet->Grid()->viewport()->mapToGlobal(QPoint(request.rect->left, request.rect->bottom));
    EXPECT_EQ(f->geometry().topLeft(), cell + QPoint(8, 0));

    // The cursor follows the mouse; a release picks like a double-click.
    engine.calls.clear();
    const GridRect first = f->Sheet().Grid()->CellRect(0, 0);
    const QPointF over(first.left + 3, first.top + 3);
    QMouseEvent hover(QEvent::MouseMove, over, f->Sheet().Grid()->viewport()->mapToGlobal(over),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f->Sheet().Grid()->viewport(), &hover);
    EXPECT_EQ(f->Sheet().Grid()->Row(), 0);
    EXPECT_TRUE(engine.calls.empty());
    QTest::keyClick(f->Sheet().Grid(), Qt::Key_Down);
    QTest::keyClick(f->Sheet().Grid(), Qt::Key_Return);
    ASSERT_EQ(engine.calls.size(), 1u);
    EXPECT_EQ(engine.calls[0].label, CL_UCh_Comment) << "the owner cell receives the pick";
    EXPECT_EQ(engine.calls[0].index, 2);
    EXPECT_EQ(engine.calls[0].inputMode, CellRequest::kChosen);
    EXPECT_EQ(engine.calls[0].partnerLabel, Flex0);
    EXPECT_EQ(engine.calls[0].partnerIndex, 1);
    EXPECT_EQ(closed, std::vector<bool>{true});
    EXPECT_TRUE(runEventLoopUntil([&] { return f.isNull(); }));
}

TEST_F(FlectorTest, EscapeDeactivationAndHubMessagesCloseWithoutAPick) {
    const auto closesOn = [&](const std::function<void(PickerPopup&)>& act) {
        closed.clear();
        engine.calls.clear();
        QPointer<PickerPopup> f = Open();
        act(*f);
        const bool gone = runEventLoopUntil([&] { return f.isNull(); });
        return gone && closed == std::vector<bool>{false} && engine.calls.empty();
    };
    EXPECT_TRUE(
        closesOn([](PickerPopup& f) { QTest::keyClick(f.Sheet().Grid(), Qt::Key_Escape); }));
    EXPECT_TRUE(closesOn([](PickerPopup& f) {
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&f, &deactivate);
    }));
    EXPECT_TRUE(closesOn([&](PickerPopup&) { hub.Send(evCommitEditors); }));
    EXPECT_TRUE(closesOn([&](PickerPopup&) { hub.Send(evWindowDestroyed, sheet->Grid()); }));
    // Another window going away leaves it open.
    QPointer<PickerPopup> f = Open();
    QWidget other;
    hub.Send(evWindowDestroyed, &other);
    runEventLoopFor(20);
    EXPECT_FALSE(f.isNull());
    f->close();
}

TEST_F(FlectorTest, APickerLargerThanTheWorkAreaIsClampedAndScrolls) {
    QPointer<PickerPopup> f = PickerPopup::Open(
        request, {Flex0, 150}, Store(), "Big", nullptr,
        [this](CellRequest& r, bool notify) { return engine(r, notify); }, QRect(0, 0, 640, 300));
    ASSERT_FALSE(f.isNull());
    EXPECT_EQ(f->height(), 300);
    EXPECT_LE(f->width(), 640);
    EXPECT_GE(f->geometry().top(), 0);
    EXPECT_LE(f->geometry().bottom(), 299);
    QApplication::processEvents();
    EXPECT_TRUE(f->Sheet().Grid()->verticalScrollBar()->isVisible());
    EXPECT_EQ(f->Sheet().Grid()->Row(), 150);
    f->close();
}

// Every item of a picker may carry its mark: beside the widest text there is
// room for it, so no mark covers a name.
TEST_F(FlectorTest, AMarkNeverCoversTheWidestItem) {
    PickerPopup* f = PickerPopup::Open(
        request, {Flex0, 2}, Store(), "Pick", nullptr,
        [](CellRequest& r, bool) {
            r.text = std::string(r.cell->Text());
            r.status |= CellRequest::kInvalid;
            return std::uint8_t{0};
        },
        QRect(0, 0, 1280, 1024));
    Grid& grid = *f->Sheet().Grid();
    const QImage shown = grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const GridRect widest = grid.CellRect(0, 3); // "Three"
    int textRight = -1;
    int markLeft = shown.width();
    for (int y = widest.top; y < widest.bottom; ++y)
        for (int x = widest.left; x < widest.right; ++x) {
            const QColor c = shown.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                markLeft = std::min(markLeft, x);
            else if (c.lightness() < 100 && c.red() < 100)
                textRight = std::max(textRight, x);
        }
    ASSERT_GE(textRight, 0) << "the name is drawn";
    ASSERT_LT(markLeft, shown.width()) << "the mark is drawn";
    EXPECT_LT(textRight, markLeft);
    f->close();
}

} // namespace
