#pragma once

#include "overlay/overlayTexts.h"
#include "views/sheet.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace marlo {

// The definition a text sheet is built from, in a store of its own; a base of
// the sheet so that it stands before the sheet reads it.
struct TextSheetDefinition {
    using Rows = std::vector<std::vector<std::string>>;
    TextSheetDefinition(const std::string& title, std::vector<std::string> header, Rows rows);
    ~TextSheetDefinition();
    TextSheetDefinition(const TextSheetDefinition&) = delete;
    TextSheetDefinition& operator=(const TextSheetDefinition&) = delete;

    std::vector<std::string> headerTexts;
    Rows rowTexts;
    std::vector<std::string> lines;
    std::vector<const char*> pointers;
    std::unique_ptr<OverlayTexts> store;
};

// A sheet of plain texts: a header row and rows of texts, drawn, selected,
// printed and read aloud as the overlay's sheets are, with their cell models
// (the header's "$HdL", the rows' "$V"). Its definition is written for it in a
// store of its own, so any text may stand in a cell.
//
//   TextSheet sheet(host, "Differences", {"Sheet", "Value"}, rows, &marks);
//   sheet.OnActivate([](int row) { ... });   // Enter or a double-click
//   sheet.Build();
class TextSheet : private TextSheetDefinition, public Sheet {
public:
    using Rows = TextSheetDefinition::Rows;

    TextSheet(QWidget* host, const std::string& title, std::vector<std::string> header, Rows rows,
              const MarkImages* marks);
    ~TextSheet() override;

    // Enter on a row, or a double-click on it: the row's index in `rows`.
    void OnActivate(std::function<void(int row)> handler) { onActivate_ = std::move(handler); }
    void Build() override;
    // The rows of the selection, in order; the cursor's row when none is selected.
    std::vector<int> SelectedRows() const;
    int RowCount() const { return static_cast<int>(rowTexts.size()); }

protected:
    bool GridKeyDown(QKeyEvent& event) override;
    bool GridDoubleClick(QMouseEvent& event) override;

private:
    void Activate(int gridRow);

    std::function<void(int)> onActivate_;
};

} // namespace marlo
