#pragma once

#include "print/cuiPrintFrame.h"
#include "print/printPagination.h"
#include "print/printSettings.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QPainter;
class QPrinter;
class cuiPrintHost;
class cuiSheet;

// The state one printing job shares between its sheets.
struct cuiPrintState {
    bool cancel = false;      // the printing window's button was pressed
    bool pagePrinted = false; // the next page needs a new sheet of paper
    int pages = 0;            // pages printed in this job
    // Runs between pages so that the Cancel button can be pressed.
    std::function<void()> poll;
};

// What every sheet of a job is printed with.
struct cuiSheetPrintSetup {
    cmcPageRect page;    // inside the margins, printer pixels
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
class cuiSheetPrinter {
public:
    static constexpr int kFitAttempts = 3;
    static constexpr double kLeastScale = 0.7;

    cuiSheetPrinter(cuiPrintHost& host, QPrinter& printer, QPainter& painter,
                    const cuiSheetPrintSetup& setup, cuiPrintState& state);
    ~cuiSheetPrinter();
    cuiSheetPrinter(const cuiSheetPrinter&) = delete;
    cuiSheetPrinter& operator=(const cuiSheetPrinter&) = delete;

    // Prints the sheet of `descriptor`; returns the number of pages printed.
    int Print(const std::string& descriptor);

    // The sheet font height of the last page printed, in printer pixels.
    int LastFontHeight() const { return fontHeight_; }

private:
    struct Page {
        cmcPrintGroup cols;
        cmcPrintGroup rows;
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

    cuiPrintHost& host_;
    QPrinter& printer_;
    QPainter& painter_;
    const cuiSheetPrintSetup& setup_;
    cuiPrintState& state_;
    int dpi_;
    int fontHeight_ = 0;
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<cuiSheet> sheet_;
    cuiPrintFrame frame_;
    cmcPageRect content_;
    std::vector<cmcPrintGroup> colGroups_;
    std::vector<cmcPrintGroup> rowGroups_;
};
