#pragma once

#include "views/gridLayout.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlo {

class Sheet;

// True when a cell showing `shown` answers the search `query`: a part of its
// text in any case, or the same number written another way ("7000" finds
// "7000.0", "7053,4" finds "7053.4").
bool findMatches(std::string_view query, std::string_view shown);

// The find bar under a sheet: what is typed is looked for, as it is typed,
// among the texts the sheet's cells show; the cursor goes to the first match
// and the bar says "3 of 17". Enter or F3 goes on to the next match, Shift+F3
// back to the one before, both wrapping; Escape closes the bar and leaves the
// cursor where it is.
class SheetFinder : public QObject {
public:
    explicit SheetFinder(Sheet& sheet);
    ~SheetFinder() override;
    SheetFinder(const SheetFinder&) = delete;
    SheetFinder& operator=(const SheetFinder&) = delete;

    // Shows the bar and gives it the keyboard, its text selected.
    void Open();
    void Close();
    bool IsOpen() const;
    // Looks for `query` and goes to the first match; the matches are counted.
    void Search(const std::string& query);
    // The next (+1) or previous (-1) match, wrapping.
    void Step(int direction);
    // The cells changed: the texts are read again at the next search.
    void Forget() { texts_.clear(); }

    int MatchCount() const { return static_cast<int>(matches_.size()); }
    // "3 of 17", "no match", or empty before a search.
    std::string CountText() const;
    QLineEdit* Edit() const { return edit_; }
    QLabel* CountLabel() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show();
    void ReadTexts();

    Sheet& sheet_;
    QPointer<QFrame> bar_;
    QPointer<QLineEdit> edit_;
    QPointer<QLabel> count_;
    std::vector<std::pair<GridCell, std::string>> texts_;
    std::vector<GridCell> matches_;
    int current_ = -1;
    bool searched_ = false;
};

} // namespace marlo
