#pragma once

#include "exchange/documentDiff.h"
#include "print/printHost.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QFrame;

namespace marlo {

class MemoryImage;
class CellLocator;
class Printing;
class TextSheet;
class RadioAppController;

// The differences between the document and another image (a clone file, or
// the radio's memory as just read), one row each: the sheet, the entry and the
// field that show it, the value here and the value there, as the cells show
// them; bytes no cell shows by address. The list follows the document: it is
// worked out again whenever the window comes to the front.
//
//   Enter, double-click   the cell in the main window (sheet, tree, cursor)
//   Take Other's Value    the other side's values of the selected rows go into
//                         the document through the cells: all or nothing, one
//                         undo step; a refusal says why and changes nothing
//   Print                 the list as a sheet is printed
class CompareWindow : public QWidget, private PrintHost {
public:
    // `owner` is the main window; `other` the image compared with, named
    // `otherName` in the caption and the last column.
    CompareWindow(QWidget* owner, RadioAppController& controller,
                  std::unique_ptr<MemoryImage> other, std::string otherName);
    ~CompareWindow() override;

    const std::vector<DiffRow>& Differences() const { return rows_; }
    TextSheet* Sheet() const { return sheet_.get(); }
    QPushButton* TakeButton() const { return take_; }
    // Works the list out again against the document as it is now.
    void Refresh();
    // The other side's values of the selected rows; false when refused.
    bool TakeOtherValues();
    // Shows row `row`'s cell in the main window.
    void ShowRow(int row);
    void Print();

protected:
    void changeEvent(QEvent* event) override;

private:
    std::vector<std::string> Describe(const DiffRow& d);
    std::unique_ptr<TextSheet> MakeSheet(QWidget* host);
    // PrintHost: the list is the shown sheet.
    QWidget* PrintOwner() override { return this; }
    marlo::Sheet* ShownSheet() override;
    std::unique_ptr<marlo::Sheet> CreateSheet(QWidget* parent, const std::string&) override;
    std::vector<PrintNode> PrintNodes() override { return {}; }
    std::string PdfFileSuggestion() override;

    RadioAppController& controller_;
    std::unique_ptr<MemoryImage> other_;
    int otherVariant_ = 0;
    std::string otherName_;
    std::vector<DiffRow> rows_;
    std::vector<DiffRow> shown_;                  // the rows the sheet was built from
    std::vector<std::vector<std::string>> texts_; // and their texts
    std::unique_ptr<CellLocator> locator_;
    QPointer<QLabel> summary_;
    QPointer<QFrame> host_;
    QPointer<QPushButton> take_;
    QPointer<QPushButton> print_;
    std::unique_ptr<TextSheet> sheet_;
    std::unique_ptr<Printing> printing_;
};

} // namespace marlo
