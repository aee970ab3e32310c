#include "views/textSheet.h"

#include "overlay/overlayTexts.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace marlo {

namespace {

constexpr char kKey[] = "GI_Sheet_Texts";
constexpr int kHeaderRows = 1;
// A sample no wider than this sets a column's width; longer texts are cut on
// screen and read whole by assistive technology.
constexpr std::size_t kWidestSample = 48;

// What stands in the definition for a text: as wide, without the characters
// the definition's syntax reads.
std::string sample(const std::string& text) {
    std::string s = text.substr(0, kWidestSample);
    for (char& c : s)
        if (c == '|' || c == '{' || c == '}' || c == '(' || c == ')' || c == '\\' || c == '\n' ||
            c == '\r' || c == '#' || c == ':')
            c = 'W';
    return s;
}

std::vector<std::string> definition(const std::string& title,
                                    const std::vector<std::string>& header,
                                    const TextSheet::Rows& rows) {
    const std::string key = kKey;
    std::vector<std::string> lines{
        "#" + key + "_Style",
        "(TitleString=" + sample(title) +
            ")(TitleColor=clTeal)(TitleFont=DEFAULT_CHARSET,,clWhite,-15,,fsBold,)(FixedRows=1)"
            "(MultiSelect=Line)",
        "#" + key + "_BasicCell",
        "{($Basic)}",
        "#" + key + "_Cells",
        ":(SelectOFF)",
    };
    // Each column as wide as its widest text.
    std::vector<std::string> widest = header;
    for (const auto& row : rows)
        for (std::size_t c = 0; c < widest.size() && c < row.size(); ++c)
            if (row[c].size() > widest[c].size())
                widest[c] = row[c];
    std::string line;
    for (std::size_t c = 0; c < header.size(); ++c)
        line += (c == 0 ? "{($HdL)}" : "|{($HdL)}") + sample(widest[c]);
    lines.push_back(line);
    lines.push_back(":(SelectON)");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        line.clear();
        const char* model = r + 1 == rows.size() ? "{($VB)}" : "{($V)}";
        for (std::size_t c = 0; c < header.size(); ++c)
            line += (c == 0 ? "" : "|") + std::string(model) + (r == 0 ? sample(widest[c]) : "W");
        lines.push_back(line);
    }
    lines.push_back("#");
    lines.push_back("#End_Of_Ovl");
    return lines;
}

} // namespace

TextSheetDefinition::TextSheetDefinition(const std::string& title, std::vector<std::string> header_,
                                         Rows rows_)
    : headerTexts(std::move(header_)), rowTexts(std::move(rows_)),
      lines(definition(title, headerTexts, rowTexts)), store(std::make_unique<OverlayTexts>()) {
    for (const std::string& l : lines)
        pointers.push_back(l.c_str());
    store->SetLines(pointers);
}

TextSheetDefinition::~TextSheetDefinition() = default;

TextSheet::TextSheet(QWidget* host, const std::string& title, std::vector<std::string> header,
                     Rows rows, const MarkImages* marks)
    : TextSheetDefinition(title, std::move(header), std::move(rows)),
      Sheet(host, nullptr, {}, *store, kKey, marks, &OverlayTexts::App()) {
    // Plain texts: nothing for the engine to do.
    SetEngine([](CellRequest&, bool) -> std::uint8_t { return 0; });
}

TextSheet::~TextSheet() = default;

void TextSheet::Build() {
    Sheet::Build();
    for (std::size_t c = 0; c < headerTexts.size(); ++c) {
        const int col = static_cast<int>(c);
        Cell(col, 0).model.SetText(headerTexts[c]);
        for (std::size_t r = 0; r < rowTexts.size(); ++r)
            Cell(col, static_cast<int>(r) + kHeaderRows)
                .model.SetText(c < rowTexts[r].size() ? rowTexts[r][c] : std::string());
    }
    if (Grid() != nullptr)
        Grid()->InvalidateAll();
}

std::vector<int> TextSheet::SelectedRows() const {
    std::vector<int> selected;
    for (int r = 0; r < RowCount(); ++r)
        if (IsHighlighted(0, r + kHeaderRows))
            selected.push_back(r);
    return selected;
}

void TextSheet::Activate(int gridRow) {
    const int row = gridRow - kHeaderRows;
    if (onActivate_ && row >= 0 && row < RowCount())
        onActivate_(row);
}

bool TextSheet::GridKeyDown(QKeyEvent& event) {
    if ((event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
        event.modifiers() == Qt::NoModifier && Grid() != nullptr) {
        Activate(Grid()->Row());
        return true;
    }
    return Sheet::GridKeyDown(event);
}

bool TextSheet::GridDoubleClick(QMouseEvent& event) {
    if (Grid() == nullptr)
        return false;
    const GridCell cell = Grid()->CellAt(event.position().toPoint());
    Activate(cell.row);
    return true;
}

} // namespace marlo
