#include "print/sheetPrinter.h"

#include "print/printHost.h"
#include "sheets/sheetDef.h"
#include "views/sheet.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace marlo {

namespace {

int fixedOf(int fixed, int count) {
    return std::clamp(fixed, 0, std::max(count - 1, 0));
}

bool inGroup(int index, int fixed, const PrintGroup& group) {
    return index < fixed || (index >= group.first && index < group.first + group.count);
}

} // namespace

SheetPrinter::SheetPrinter(PrintHost& host, QPrinter& printer, QPainter& painter,
                           const SheetPrintSetup& setup, PrintState& state)
    : host_(host), printer_(printer), painter_(painter), setup_(setup), state_(state),
      dpi_(printer.logicalDpiY()) {}

SheetPrinter::~SheetPrinter() {
    sheet_.reset(); // before the window it lives in
}

int SheetPrinter::Print(const std::string& descriptor) {
    window_ = std::make_unique<QWidget>(host_.PrintOwner());
    window_->hide();
    fontHeight_ = -printPointsToPixels(setup_.fontPoints, dpi_);
    MakeSheet(descriptor);

    const SheetStyle& style = sheet_->Def().Style();
    frame_.title = QString::fromStdString(sheet_->TitleText());
    frame_.face = style.titleFont ? QString::fromStdString(style.titleFont->face) : QString();
    frame_.program = setup_.program;
    frame_.maker = setup_.maker;
    frame_.height = printPointsToPixels(setup_.framePoints, dpi_);
    content_ = frame_.Content(setup_.page);
    ShrinkToPageWidth(descriptor);
    Paginate();

    int pages = 0;
    for (const PrintGroup& rows : rowGroups_) {
        for (const PrintGroup& cols : colGroups_) {
            if (state_.poll)
                state_.poll();
            const Page page{cols, rows};
            if (!Fit(descriptor, page))
                break;
            PrintPage(page);
            ++pages;
        }
        if (!sheet_ || !sheet_->Printable() || state_.cancel)
            break;
    }
    sheet_.reset();
    window_.reset();
    return pages;
}

void SheetPrinter::MakeSheet(const std::string& descriptor) {
    sheet_ = host_.CreateSheet(window_.get(), descriptor);
    sheet_->SetPrinter(&printer_);
    sheet_->SetFontHeight(fontHeight_);
    sheet_->Build();
}

// Cell widths follow the font only roughly (margins, pictures), so the font
// shrinks in steps until the sheet fits; when that would take it below the
// least scale the sheet keeps its font and is cut into pages instead.
void SheetPrinter::ShrinkToPageWidth(const std::string& descriptor) {
    const int page = content_.Width();
    const int full = fontHeight_;
    const int sign = full < 0 ? -1 : 1;
    const double least = std::abs(full) * kLeastScale;
    for (int attempt = 0; attempt <= kFitAttempts; ++attempt) {
        if (!sheet_->Printable())
            return;
        const int width = SheetWidth();
        if (width <= page)
            return;
        const double wanted = std::trunc(std::abs(fontHeight_) * page / static_cast<double>(width));
        if (wanted < least || attempt == kFitAttempts)
            break;
        fontHeight_ = sign * std::max(1, static_cast<int>(wanted));
        sheet_.reset();
        MakeSheet(descriptor);
    }
    if (fontHeight_ != full) {
        fontHeight_ = full;
        sheet_.reset();
        MakeSheet(descriptor);
    }
}

int SheetPrinter::SheetWidth() const {
    const SheetDef& def = sheet_->Def();
    int width = 0;
    for (int c = 0; c < def.ColCount(); ++c)
        width += def.ColWidth(c);
    return width;
}

void SheetPrinter::Paginate() {
    const SheetDef& def = sheet_->Def();
    const int cols = def.ColCount();
    const int rows = def.RowCount();
    const int fixedCols = fixedOf(def.Style().fixedCols, cols);
    const int fixedRows = fixedOf(def.Style().fixedRows, rows);
    std::vector<int> widths(static_cast<std::size_t>(cols));
    std::vector<int> heights(static_cast<std::size_t>(rows));
    std::vector<bool> mayBegin(static_cast<std::size_t>(cols), true);
    for (int c = 0; c < cols; ++c) {
        widths[static_cast<std::size_t>(c)] = def.ColWidth(c);
        for (int r = 0; r < fixedRows; ++r)
            if (def.Cell(c, r).model.Has(CellLayout::Continues))
                mayBegin[static_cast<std::size_t>(c)] = false;
    }
    for (int r = 0; r < rows; ++r)
        heights[static_cast<std::size_t>(r)] = def.RowHeight(r);
    colGroups_ = printColumnGroups(widths, fixedCols, mayBegin, content_.Width());
    rowGroups_ = printRowGroups(heights, fixedRows, content_.Height());
}

bool SheetPrinter::Fit(const std::string& descriptor, const Page& page) {
    for (int attempt = 0; attempt < kFitAttempts; ++attempt) {
        if (!sheet_)
            MakeSheet(descriptor);
        if (!sheet_->Printable() || state_.cancel)
            break;
        const QPoint corner = Layout(page, false);
        const int width = std::max(corner.x() - content_.left, 1);
        const int height = std::max(corner.y() - content_.top, 1);
        if (corner.x() <= content_.right && corner.y() <= content_.bottom)
            break;
        const double scale = std::min(static_cast<double>(content_.Height()) / height,
                                      static_cast<double>(content_.Width()) / width);
        fontHeight_ = std::max(1, static_cast<int>(std::trunc(std::abs(fontHeight_) * scale)));
        sheet_.reset();
    }
    if (!sheet_)
        MakeSheet(descriptor);
    return sheet_->Printable() && !state_.cancel;
}

QPoint SheetPrinter::Layout(const Page& page, bool draw) {
    const SheetDef& def = sheet_->Def();
    const int fixedCols = fixedOf(def.Style().fixedCols, def.ColCount());
    const int fixedRows = fixedOf(def.Style().fixedRows, def.RowCount());
    int right = content_.left;
    int top = content_.top;
    for (int row = 0; row < def.RowCount(); ++row) {
        if (!inGroup(row, fixedRows, page.rows))
            continue;
        const int height = def.RowHeight(row);
        int left = content_.left;
        for (int col = 0; col < def.ColCount(); ++col) {
            if (!inGroup(col, fixedCols, page.cols))
                continue;
            const int width = def.ColWidth(col);
            if (draw)
                sheet_->PaintCell(painter_, col, row, {left, top, left + width, top + height});
            left += width;
        }
        right = left;
        top += height;
    }
    return {right, top};
}

void SheetPrinter::PrintPage(const Page& page) {
    if (state_.pagePrinted)
        printer_.newPage();
    frame_.Draw(painter_, setup_.page);
    painter_.save();
    Layout(page, true);
    painter_.restore();
    state_.pagePrinted = true;
    ++state_.pages;
}

} // namespace marlo
