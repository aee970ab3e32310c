#pragma once

#include "print/printFrame.h"
#include "print/printPagination.h"
#include "print/printSettings.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QPainter;
class QPrinter;

namespace marlo {

class PrintHost;
class Sheet;

// The state one printing job shares between its sheets.
struct PrintState {
    bool cancel = false;      // the printing window's button was pressed
    bool pagePrinted = false; // the next page needs a new sheet of paper
    int pages = 0;            // pages printed in this job
    // Runs between pages so that the Cancel button can be pressed.
    std::function<void()> poll;
};

// What every sheet of a job is printed with.
struct SheetPrintSetup {
    PageRect page;       // inside the margins, printer pixels
    int fontPoints = 9;  // the sheet text
    int framePoints = 8; // header and footer
    QString program;     // header, right
    QString maker;       // footer, right
};

// Prints one sheet, cut into pages across first, then down, each page with the
// sheet's fixed columns and rows, a header and a footer. A sheet a little wider
// than the page is printed with a smaller font, down to kLeastScale of it, so
// that its columns stay side by side on one page. A page whose part of the
// sheet still does not fit is printed with a smaller font, shrunk at most three
// times; the smaller font stays for the sheet's following pages.
class SheetPrinter {
public:
    static constexpr int kFitAttempts = 3;
    static constexpr double kLeastScale = 0.7;

    SheetPrinter(PrintHost& host, QPrinter& printer, QPainter& painter,
                 const SheetPrintSetup& setup, PrintState& state);
    ~SheetPrinter();
    SheetPrinter(const SheetPrinter&) = delete;
    SheetPrinter& operator=(const SheetPrinter&) = delete;

    // Prints the sheet of `descriptor`; returns the number of pages printed.
    int Print(const std::string& descriptor);

    // The sheet font height of the last page printed, in printer pixels.
    int LastFontHeight() const { return fontHeight_; }

private:
    struct Page {
        PrintGroup cols;
        PrintGroup rows;
    };

    void MakeSheet(const std::string& descriptor);
    void ShrinkToPageWidth(const std::string& descriptor);
    int SheetWidth() const;
    void Paginate();
    bool Fit(const std::string& descriptor, const Page& page);
    // Walks the page's cells; paints them when `draw`. Returns the bottom-right
    // corner of the last cell.
    QPoint Layout(const Page& page, bool draw);
    void PrintPage(const Page& page);

    PrintHost& host_;
    QPrinter& printer_;
    QPainter& painter_;
    const SheetPrintSetup& setup_;
    PrintState& state_;
    int dpi_;
    int fontHeight_ = 0;
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<Sheet> sheet_;
    PrintFrame frame_;
    PageRect content_;
    std::vector<PrintGroup> colGroups_;
    std::vector<PrintGroup> rowGroups_;
};

} // namespace marlo
