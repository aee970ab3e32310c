#include "viewsTestOverlay.h"

#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "sheets/cellQtMapping.h"
#include "sheets/overlayLineStore.h"
#include "sheets/sheetDef.h"
#include "views/cellPainter.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <memory>

using namespace marlo;

namespace {

constexpr QRgb kUnder = 0xFFFF00FF; // what lay under the cell before painting

// One sheet "P" built from `cells`, painted cell by cell onto an image that is
// magenta where nothing is painted. The engine answers every bound cell with
// the text and status the test sets.
class Painted {
public:
    explicit Painted(std::vector<std::string> cells) {
        std::vector<std::string> lines = viewModelLines();
        addSheet(lines, "P", "", "{($Basic)}", cells);
        store_ = std::make_unique<OverlayLineStore>(std::move(lines));
        def_ = std::make_unique<SheetDef>(store_->Store(), "P", store_->Store());
        def_->Build();
        marks_.warning = solid(8, 10, Qt::yellow);
        marks_.error = solid(8, 10, Qt::red);
        engine_ = [this](CellRequest& request, bool) {
            request.text = engineText;
            request.status |= engineStatus;
            request.markerPlace = markerPlace;
            asked.push_back(request.status & 3);
            return std::uint8_t{0};
        };
        in.def = def_.get();
        in.request = &request_;
        in.engine = &engine_;
        in.marks = &marks_;
        in.isHighlighted = [this](int col, int row) { return col == hiCol && row == hiRow; };
    }

    static QImage solid(int w, int h, QColor c) {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(c);
        return image;
    }

    GridRect RectOf(int col, int row) const {
        int x = 0, y = 0;
        for (int c = 0; c < col; ++c)
            x += def_->ColWidth(c);
        for (int r = 0; r < row; ++r)
            y += def_->RowHeight(r);
        return {x, y, x + def_->ColWidth(col), y + def_->RowHeight(row)};
    }

    // Paints every cell onto a fresh image (or onto `device` when given).
    QImage Paint(int width = 600, int height = 60) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(in.printing ? 0xFFFFFFFF : kUnder); // paper is white
        QPainter painter(&image);
        for (int row = 0; row < def_->RowCount(); ++row)
            for (int col = 0; col < def_->ColCount(); ++col) {
                painter.save();
                paintCell(painter, in, col, row, RectOf(col, row));
                painter.restore();
            }
        return image;
    }

    SheetDef& Def() { return *def_; }

    CellPaintInput in;
    std::string engineText = "bound";
    std::uint8_t engineStatus = 0;
    std::uint8_t markerPlace = 0;
    int hiCol = -1;
    int hiRow = -1;
    std::vector<int> asked;

private:
    std::unique_ptr<OverlayLineStore> store_;
    std::unique_ptr<SheetDef> def_;
    MarkImages marks_;
    CellRequest request_;
    CellEngineCall engine_;
};

// Counts the pixels of `colour` inside x0..x1-1, y0..y1-1.
int count(const QImage& image, QRgb colour, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += image.pixel(x, y) == colour ? 1 : 0;
    return n;
}

// Text pixels: near black (dark) or near white (light), whatever the antialiasing.
int countNear(const QImage& image, bool dark, const GridRect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const int grey = qGray(image.pixel(x, y));
            n += (dark ? grey < 64 : grey > 192) ? 1 : 0;
        }
    return n;
}

QRgb rgb(Colour c) {
    return toQColor(c).rgba();
}

TEST(CellPainter, FillsByColourAndHighlightButNeverFillsWhite) {
    Painted p({"{($e)(Color=clWhite)}white|{($e)}window|{($e)(Color=clYellow)}yellow|"});
    p.hiCol = 2;
    p.hiRow = 0;
    QImage shot = p.Paint();
    const GridRect white = p.RectOf(0, 0), window = p.RectOf(1, 0), yellow = p.RectOf(2, 0);
    EXPECT_EQ(shot.pixel(white.left + 1, white.top + 1), kUnder);
    EXPECT_EQ(shot.pixel(window.left + 1, window.top + 1), rgb(kClWindow));
    // Highlighted without the focus: button face; with it: the highlight colour.
    EXPECT_EQ(shot.pixel(yellow.left + 1, yellow.top + 1), rgb(kClBtnFace));
    p.in.focused = true;
    shot = p.Paint();
    EXPECT_EQ(shot.pixel(yellow.left + 1, yellow.top + 1), rgb(kClHighlight));
    EXPECT_GT(
        count(shot, rgb(kClHighlightText), yellow.left, yellow.top, yellow.right, yellow.bottom),
        0);
    // While the editor is open the cell keeps its own colour.
    p.in.editorVisible = true;
    shot = p.Paint();
    EXPECT_EQ(shot.pixel(yellow.left + 1, yellow.top + 1), qRgb(255, 255, 0));
    // A column of width 0 paints nothing, not even a rule.
    Painted z({"{($e)B}a|{B}|{($e)B}b"});
    const QImage zero = z.Paint();
    EXPECT_EQ(z.Def().ColWidth(1), 1);
    EXPECT_EQ(zero.pixel(z.RectOf(1, 0).left, z.RectOf(1, 0).top), rgb(kClWindow));
}

TEST(CellPainter, RulesAreGreyUnderWindowCellsWhiteUnderColouredOnesAndBlackOnPaper) {
    Painted p({"{($e)B}rule|{($e)B(Color=clNavy)}navy|{($e)}none|"});
    QImage shot = p.Paint();
    const GridRect a = p.RectOf(0, 0), b = p.RectOf(1, 0), c = p.RectOf(2, 0);
    EXPECT_EQ(count(shot, qRgb(128, 128, 128), a.left, a.bottom - 1, a.right, a.bottom), a.Width());
    EXPECT_EQ(count(shot, qRgb(255, 255, 255), b.left, b.bottom - 1, b.right, b.bottom), b.Width());
    EXPECT_EQ(shot.pixel(c.left + 1, c.bottom - 1), rgb(kClWindow));
    EXPECT_EQ(shot.pixel(a.left + 1, a.bottom - 2), rgb(kClWindow));

    p.in.printing = true;
    shot = p.Paint();
    EXPECT_EQ(count(shot, qRgb(0, 0, 0), a.left, a.bottom - 1, a.right, a.bottom), a.Width());
}

TEST(CellPainter, PaperShadesEveryColouredCellWithWhiteTextAndPrintsWindowCellsBlackOnWhite) {
    Painted p({"{($e)(Color=clYellow)}MMMM|{($e)}MMMM|"});
    p.hiCol = 0; // highlight has no meaning on paper
    p.hiRow = 0;
    p.in.printing = true;
    const QImage shot = p.Paint();
    const GridRect a = p.RectOf(0, 0), b = p.RectOf(1, 0);
    EXPECT_EQ(shot.pixel(a.left + 1, a.top + 1), qRgb(0x60, 0x60, 0x60));
    EXPECT_GT(countNear(shot, false, a), 10);
    EXPECT_EQ(shot.pixel(b.left + 1, b.top + 1), qRgb(255, 255, 255));
    EXPECT_GT(countNear(shot, true, b), 10);
    EXPECT_EQ(p.asked, std::vector<int>{}); // plain cells never reach the engine
}

TEST(CellPainter, MarksSitAtTheLeftOfRightAlignedCellsAndAfterTheTextOfOthers) {
    Painted p({"{($r)(%CL_Misc_ChNo_1Base[0])}MMMMMMMMMMMMMM|{($e)(%CL_Misc_ChNo_1Base[0])}"
               "MMMMMMMMMMMMMM|{($e)(%CL_Misc_ChNo_1Base[0])}M|"});
    p.engineText = "MM";
    p.engineStatus = CellRequest::kInvalid;
    QImage shot = p.Paint();
    const GridRect r = p.RectOf(0, 0), l = p.RectOf(1, 0), narrow = p.RectOf(2, 0);
    const int f = 8 / 8;
    // Right-aligned: the error image at the left edge, f pixels in, 1 above the bottom.
    EXPECT_EQ(shot.pixel(r.left + f, r.bottom - 2), qRgb(255, 0, 0));
    EXPECT_NE(shot.pixel(r.left + f - 1, r.bottom - 2), qRgb(255, 0, 0));
    // Left-aligned: just after "MM", well before the right edge.
    const int afterText =
        l.left + 4 + QFontMetrics(toQFont(p.Def().BaseFont())).horizontalAdvance("MM");
    EXPECT_EQ(shot.pixel(afterText, l.bottom - 2), qRgb(255, 0, 0));
    EXPECT_NE(shot.pixel(afterText - 1, l.bottom - 2), qRgb(255, 0, 0));
    // A narrow cell: never closer than e + 1 to the right edge.
    EXPECT_EQ(shot.pixel(narrow.right - 8 - 1, narrow.bottom - 2), qRgb(255, 0, 0));
    EXPECT_NE(shot.pixel(narrow.right - 1, narrow.bottom - 2), qRgb(255, 0, 0));

    // Duplicate only: the warning image; both: the error wins.
    p.engineStatus = CellRequest::kDuplicate;
    shot = p.Paint();
    EXPECT_EQ(shot.pixel(r.left + f, r.bottom - 2), qRgb(255, 255, 0));
    p.engineStatus = CellRequest::kDuplicate | CellRequest::kInvalid;
    shot = p.Paint();
    EXPECT_EQ(shot.pixel(r.left + f, r.bottom - 2), qRgb(255, 0, 0));
    // The engine's place wins over the alignment.
    p.markerPlace = CellRequest::kMarkerRight;
    shot = p.Paint();
    EXPECT_EQ(shot.pixel(r.right - 8 - 1, r.bottom - 2), qRgb(255, 0, 0));
    EXPECT_NE(shot.pixel(r.left + f, r.bottom - 2), qRgb(255, 0, 0));
}

// Wherever the engine puts a mark, the text moves clear of it when the cell has
// room: the frequency cells put theirs at the right edge of right-aligned text.
TEST(CellPainter, AMarkNeverHidesTextWhereTheCellHasRoom) {
    for (const bool paper : {false, true}) {
        SCOPED_TRACE(paper ? "paper" : "screen");
        Painted p({"{($r)(%CL_Misc_ChNo_1Base[0])}MMMMMMMMMM"});
        p.in.printing = paper;
        p.markerPlace = CellRequest::kMarkerRight;
        const auto shot = [&](const char* text, std::uint8_t status) {
            p.engineText = text;
            p.engineStatus = status;
            return p.Paint();
        };
        const QImage plain = shot("MMMMMMM", 0);
        const QImage markOnly = shot("", CellRequest::kInvalid);
        const QImage marked = shot("MMMMMMM", CellRequest::kInvalid);
        const GridRect r = p.RectOf(0, 0);
        const int e = paper ? r.Height() / 2 : 8;
        const GridRect under{r.right - e - 2, r.top, r.right, r.bottom};
        for (int y = under.top; y < under.bottom; ++y)
            for (int x = under.left; x < under.right; ++x)
                ASSERT_EQ(marked.pixel(x, y), markOnly.pixel(x, y)) << "text under the mark";
        const GridRect rest{r.left, r.top, under.left, r.bottom};
        EXPECT_EQ(countNear(marked, true, rest), countNear(plain, true, r)) << "all the text";
    }
}

TEST(CellPainter, PaperMarksArePolygonsHalfTheCellHigh) {
    Painted p({"{($e)(%CL_Misc_ChNo_1Base[0])(Font=,,,-40,,,)}MMMMMMMMMMMM"});
    p.engineText = "";
    p.engineStatus = CellRequest::kInvalid;
    p.markerPlace = CellRequest::kMarkerLeft;
    p.in.printing = true;
    QImage shot = p.Paint(400, 80);
    const GridRect r = p.RectOf(0, 0);
    const int e = r.Height() / 2, f = e / 8, g = e / 2;
    const QPoint origin(r.left + f, r.bottom - e - f);
    EXPECT_EQ(shot.pixel(origin + QPoint(g, g)), qRgb(0, 0, 0));       // the cross's centre
    EXPECT_EQ(shot.pixel(origin + QPoint(g, 1)), qRgb(255, 255, 255)); // between its arms
    EXPECT_EQ(shot.pixel(origin + QPoint(e + 2, g)), qRgb(255, 255, 255));

    p.engineStatus = CellRequest::kDuplicate;
    shot = p.Paint(400, 80);
    // Inside the triangle: white, with the black stroke and dot on the axis.
    EXPECT_EQ(shot.pixel(origin + QPoint(g, e / 2)), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(origin + QPoint(g - e / 4, e - 4)), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(origin + QPoint(g, e * 3 / 4 + e / 12)), qRgb(0, 0, 0));
}

TEST(CellPainter, ContinuationShowsTheHeadsTextFromTheHeadsLeftAndTailsFollowTheCursor) {
    // Narrow head cell with a long text, two `+` cells after it.
    Painted p({"{($e)!W}MMMMMMMMMMMMMMMMMMMMMMMM|{+}|{+W}\\_\\_\\_\\_\\_\\_|{($e)}x|{($t)}tail|"});
    const QImage shot = p.Paint();
    const GridRect head = p.RectOf(0, 0), cont = p.RectOf(2, 0);
    EXPECT_EQ(head.Width(), 1);
    EXPECT_GT(countNear(shot, true, cont), 10);

    // The tail is highlighted with its head on the cursor's row.
    p.in.cursorCol = 3;
    p.in.cursorRow = 0;
    p.hiCol = 3;
    p.hiRow = 0;
    p.in.focused = true;
    const QImage hi = p.Paint();
    const GridRect tail = p.RectOf(4, 0);
    EXPECT_EQ(hi.pixel(tail.left + 1, tail.top + 1), rgb(kClHighlight));
    p.hiCol = -1;
    const QImage plain = p.Paint();
    EXPECT_EQ(plain.pixel(tail.left + 1, tail.top + 1), rgb(kClWindow));
}

} // namespace
