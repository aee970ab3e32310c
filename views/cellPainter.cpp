#include "views/cellPainter.h"

#include "radio/cellContext.h"
#include "radio/cellRequest.h"
#include "sheets/cellQtMapping.h"
#include "sheets/sheetDef.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace marlo {

namespace {

constexpr Colour kPrintShade = 0x00606060;
constexpr Colour kRuleGrey = 0x00808080;
constexpr Colour kSilver = 0x00C0C0C0;
constexpr Colour kBlack = 0x00000000;

// The engine draws its extras (a pillar, a cross-out line) through this.
class PainterCanvas : public CellCanvas {
public:
    explicit PainterCanvas(QPainter& painter) : painter_(painter) {}
    void FillBox(const CellRect& box, Colour colour) override {
        painter_.fillRect(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top),
                          toQColor(colour));
    }
    void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  Colour colour) override {
        painter_.save();
        painter_.setPen(QPen(toQColor(colour), 1));
        painter_.drawLine(x1, y1, x2, y2);
        painter_.restore();
    }

private:
    QPainter& painter_;
};

bool isWindowOrWhite(Colour c) {
    return c == kClWindow || c == kClWhite;
}

// A `+` cell shows its head's model, laid out from the head's left edge.
const CellModel& headOf(const CellPaintInput& in, int col, int row, int& textLeft) {
    for (int c = col - 1; c >= 0; --c) {
        textLeft -= in.def->ColWidth(c);
        const CellModel& model = in.def->Cell(c, row).model;
        if (!model.Has(CellLayout::Continues))
            return model;
    }
    return in.def->Cell(col, row).model;
}

// The right edge of the span a cell belongs to: its own, or that of the last
// `+` cell continuing it.
int spanRight(const CellPaintInput& in, int col, int row, int right) {
    for (int c = col + 1; c < in.def->ColCount(); ++c) {
        if (!in.def->Cell(c, row).model.Has(CellLayout::Continues))
            break;
        right += in.def->ColWidth(c);
    }
    return right;
}

bool isHighlighted(const CellPaintInput& in, int col, int row) {
    if (in.isHighlighted && in.isHighlighted(col, row))
        return true;
    if (row != in.cursorRow || !in.def->Cell(col, row).model.IsTail())
        return false;
    // A tail shares its head's highlight: walk left over tails to the head.
    for (int c = col - 1; c >= 0; --c) {
        const CellModel& model = in.def->Cell(c, row).model;
        if (model.IsSelectable())
            return in.isHighlighted && in.isHighlighted(c, row);
        if (!model.IsTail())
            return false;
    }
    return false;
}

struct TextBlock {
    std::vector<std::string_view> lines;
    std::vector<int> widths;
    int lineHeight = 0;
    int height = 0;
};

TextBlock measure(const QFontMetrics& metrics, std::string_view text) {
    TextBlock block;
    block.lineHeight = metrics.height();
    for (std::size_t start = 0;;) {
        const auto end = text.find('\n', start);
        block.lines.push_back(text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start));
        block.widths.push_back(metrics.horizontalAdvance(QString::fromUtf8(
            block.lines.back().data(), static_cast<qsizetype>(block.lines.back().size()))));
        block.height += block.lineHeight;
        if (end == std::string_view::npos)
            return block;
        start = end + 1;
    }
}

// Where each line of a text block goes, by the cell's alignment.
struct PlacedLine {
    std::string_view text;
    int x;
    int y;
    int width;
};

std::vector<PlacedLine> placeText(const CellModel& model, const TextBlock& block, int left,
                                  const GridRect& rect, int m) {
    int y = rect.top + m;
    if (model.VAlign() == CellLayout::AlignCentre)
        y = rect.top + (rect.bottom + 1 - rect.top - block.height) / 2;
    else if (model.VAlign() == CellLayout::AlignEnd)
        y = rect.bottom - block.height - m;
    std::vector<PlacedLine> lines;
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        const int w = block.widths[i];
        int x = left + 4 * m;
        if (model.HAlign() == CellLayout::AlignCentre)
            x = left + (rect.right + 1 - left - w) / 2;
        else if (model.HAlign() == CellLayout::AlignEnd)
            x = rect.right - w - 4 * m + 1;
        lines.push_back({block.lines[i], x, y, w});
        y += block.lineHeight;
    }
    return lines;
}

void drawText(QPainter& painter, const std::vector<PlacedLine>& lines) {
    const int ascent = painter.fontMetrics().ascent();
    for (const PlacedLine& line : lines)
        painter.drawText(
            line.x, line.y + ascent,
            QString::fromUtf8(line.text.data(), static_cast<qsizetype>(line.text.size())));
}

// The warning or error mark of the engine's verdict: which, where and how big.
struct Mark {
    bool error;
    int x;
    int e;
};

std::optional<Mark> placeMark(const CellPaintInput& in, const CellModel& model,
                              const GridRect& rect, int textLeft, int textEnd) {
    const std::uint8_t status = in.request->status;
    const bool error = (status & CellRequest::kInvalid) != 0;
    if (!error && (status & CellRequest::kDuplicate) == 0)
        return std::nullopt;
    const QImage& image = error ? in.marks->error : in.marks->warning;
    const int e = in.printing ? rect.Height() / 2 : image.width();
    int kind = in.request->markerPlace;
    if (kind == CellRequest::kMarkerAuto)
        kind = model.HAlign() == CellLayout::AlignEnd ? CellRequest::kMarkerLeft
                                                      : CellRequest::kMarkerAfterText;
    const int xr = rect.right - e - 1;
    int x = xr;
    if (kind == CellRequest::kMarkerLeft)
        x = textLeft + e / 8;
    else if (kind == CellRequest::kMarkerAfterText && textEnd < xr)
        x = textEnd;
    return Mark{error, x, e};
}

// A mark never hides text: a line under it moves away from it, a margin unit
// clear, as far as the cell allows (the column's size sample leaves the room).
void keepClearOf(const Mark& mark, std::vector<PlacedLine>& lines, int textLeft,
                 const GridRect& rect, int m) {
    for (PlacedLine& line : lines) {
        if (line.x >= mark.x + mark.e || line.x + line.width <= mark.x)
            continue;
        if (2 * mark.x + mark.e >= 2 * line.x + line.width)
            line.x = std::max(textLeft + m, mark.x - m - line.width);
        else
            line.x = std::min(rect.right - m - line.width, mark.x + mark.e + m);
    }
}

void drawMark(QPainter& painter, const CellPaintInput& in, const Mark& mark, const GridRect& rect) {
    if (in.printing) {
        const QPoint origin(mark.x, rect.bottom - mark.e - mark.e / 8);
        mark.error ? drawPaperError(painter, origin, mark.e)
                   : drawPaperWarning(painter, origin, mark.e);
    } else {
        const QImage& image = mark.error ? in.marks->error : in.marks->warning;
        painter.drawImage(QPoint(mark.x, rect.bottom - image.height() - 1), image);
    }
    in.request->status &=
        static_cast<std::uint8_t>(~(CellRequest::kInvalid | CellRequest::kDuplicate));
}

} // namespace

void drawPaperError(QPainter& painter, QPoint o, int e) {
    const int f = e / 8;
    const int g = e / 2;
    const int h = e - 1;
    const QPolygon cross({{f, 0},
                          {g, g - f},
                          {h - f, 0},
                          {h, f},
                          {g + f, g},
                          {h, h - f},
                          {h - f, h},
                          {g, g + f},
                          {f, h},
                          {0, h - f},
                          {g - f, g},
                          {0, f}});
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    painter.drawPolygon(cross.translated(o));
    painter.restore();
}

void drawPaperWarning(QPainter& painter, QPoint o, int e) {
    const int f = e / 8;
    const int g = e / 2;
    const int h = e - 1;
    const int t = e / 10;
    painter.save();
    painter.setPen(QPen(Qt::black, e / 16 + 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygon({{g, 0}, {h, h}, {0, h}}).translated(o));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    painter.drawPolygon(
        QPolygon({{g - f, e / 3}, {g + f, e / 3}, {g + t, 2 * e / 3}, {g - t, 2 * e / 3}})
            .translated(o));
    const int dot = 3 * e / 4;
    painter.drawPolygon(
        QPolygon({{g - t, dot}, {g + t, dot}, {g + t, dot + e / 6}, {g - t, dot + e / 6}})
            .translated(o));
    painter.restore();
}

void paintCell(QPainter& painter, const CellPaintInput& in, int col, int row,
               const GridRect& rect) {
    if (in.def == nullptr || in.building || in.def->RowCount() == 0 || rect.Width() < 1 ||
        rect.Height() < 1 || col >= in.def->ColCount() || row >= in.def->RowCount())
        return;
    const int m = in.marginUnit;
    int textLeft = rect.left;
    const CellModel& own = in.def->Cell(col, row).model;
    const CellModel& model = own.Has(CellLayout::Continues) ? headOf(in, col, row, textLeft) : own;
    const bool highlighted = isHighlighted(in, col, row);

    // Background and rule.
    Colour background = model.colour;
    bool shaded = false;
    if (in.printing) {
        shaded = !isWindowOrWhite(model.colour);
        background = shaded ? kPrintShade : kClWhite;
    } else if (highlighted && !in.editorVisible) {
        background = in.focused || in.popup ? kClHighlight : kClBtnFace;
    }
    const QRect area(rect.left, rect.top, rect.Width(), rect.Height());
    if (background != kClWhite)
        painter.fillRect(area, toQColor(background));
    if (model.Has(CellLayout::Rule)) {
        const Colour rule = !isWindowOrWhite(model.colour) ? kClWhite
                            : in.printing                  ? kBlack
                                                           : kRuleGrey;
        painter.fillRect(QRect(rect.left, rect.bottom - 1, rect.Width(), 1), toQColor(rule));
    }

    // Font and text.
    const CellFont& font = model.font ? *model.font : in.def->BaseFont();
    Colour textColour = font.colour;
    if (highlighted && background == kClHighlight)
        textColour = kClHighlightText;
    std::string_view text = model.Text();
    const bool bound = model.IsBound() && in.request != nullptr && in.engine != nullptr;
    if (bound) {
        CellRequest& request = *in.request;
        request.Reset();
        request.partner = in.ownerRequest;
        request.cell = const_cast<CellModel*>(&model);
        PainterCanvas canvas(painter);
        request.canvas = &canvas;
        request.rect = CellRect{textLeft, rect.top, rect.right, rect.bottom};
        request.status = static_cast<std::uint8_t>((highlighted ? 1 : 0) | (in.printing ? 2 : 0));
        (*in.engine)(request, false);
        request.canvas = nullptr;
        if (request.fontColour)
            textColour = *request.fontColour;
        text = request.text;
    }
    if (in.printing)
        textColour = shaded ? kClWhite : kBlack;
    else if (highlighted && background == kClBtnFace &&
             (textColour == kClBtnFace || textColour == kSilver || textColour == kClGrayText))
        textColour = kClWindow;

    const QFont qfont = toQFont(font);
    painter.setFont(qfont);
    painter.setPen(toQColor(textColour));
    const QFontMetrics metrics(qfont, painter.device());
    const TextBlock block = measure(metrics, text);
    // A text spanning several cells is laid out once over the whole span. On
    // the screen each cell shows its own slice of it, so that a repaint of one
    // cell stays right; on paper, where every cell is drawn in one pass, the
    // span's last cell writes it once over the backgrounds of all of them.
    const int right = spanRight(in, col, row, rect.right);
    const bool spans = textLeft != rect.left || right != rect.right;
    if (spans && in.printing && right != rect.right)
        return;
    const GridRect span{textLeft, rect.top, right, rect.bottom};
    painter.save();
    if (spans && !in.printing)
        painter.setClipRect(area, Qt::IntersectClip);
    std::vector<PlacedLine> lines = placeText(model, block, textLeft, span, m);
    const int textEnd = lines.empty() ? textLeft : lines.back().x + lines.back().width;
    const std::optional<Mark> mark =
        bound && in.marks != nullptr ? placeMark(in, model, rect, textLeft, textEnd) : std::nullopt;
    if (mark)
        keepClearOf(*mark, lines, textLeft, rect, m);
    drawText(painter, lines);
    painter.restore();
    if (mark)
        drawMark(painter, in, *mark, rect);
}

} // namespace marlo
