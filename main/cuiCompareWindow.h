#pragma once

#include "exchange/documentDiff.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QFrame;
class cmcEeprom;
class cuiCellLocator;
class cuiTextSheet;
class indMain;

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
class cuiCompareWindow : public QWidget {
public:
    // `owner` is the main window; `other` the image compared with, named
    // `otherName` in the caption and the last column.
    cuiCompareWindow(QWidget* owner, indMain& controller, std::unique_ptr<cmcEeprom> other,
                     std::string otherName);
    ~cuiCompareWindow() override;

    const std::vector<dstDiffRow>& Differences() const { return rows_; }
    cuiTextSheet* Sheet() const { return sheet_.get(); }
    QPushButton* TakeButton() const { return take_; }
    // Works the list out again against the document as it is now.
    void Refresh();
    // The other side's values of the selected rows; false when refused.
    bool TakeOtherValues();
    // Shows row `row`'s cell in the main window.
    void ShowRow(int row);

protected:
    void changeEvent(QEvent* event) override;

private:
    std::vector<std::string> Describe(const dstDiffRow& d);

    indMain& controller_;
    std::unique_ptr<cmcEeprom> other_;
    int otherVariant_ = 0;
    std::string otherName_;
    std::vector<dstDiffRow> rows_;
    std::vector<dstDiffRow> shown_; // the rows the sheet was built from
    std::unique_ptr<cuiCellLocator> locator_;
    QPointer<QLabel> summary_;
    QPointer<QFrame> host_;
    QPointer<QPushButton> take_;
    std::unique_ptr<cuiTextSheet> sheet_;
};
