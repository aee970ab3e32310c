#pragma once

#include "radio/cellEngine.h"
#include "radio/errorCells.h"
#include "radio/imageCellContext.h"
#include "sheets/cellModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlo {

// How a value of an exchanged column is read and compared.
enum class ValueForm : std::uint8_t {
    Choice,    // one of the texts its cell's list offers
    Decimal,   // a number, compared by value ("07" is "7")
    Frequency, // kHz, compared by value; a decimal comma is read in ';' tables
    Transmit,  // a transmit frequency, or "<-" for "as received"
    Name,      // characters of the name alphabet
    Printable, // printable ASCII characters
    Ale,       // characters of the ALE alphabet, any case
    Digits,    // a digit string, compared as written
    Range,     // a channel range "from-to", compared by value
    Timer,     // a number, or the cell's word for 0
    Shown,     // shown only; an import may only repeat it
};

// One column of an exchanged list: a cell label of the list's rows.
struct ExchangeColumn {
    std::string header; // stable lower-case name
    std::int32_t label = 0;
    ValueForm form = ValueForm::Shown;
    int length = 0;          // characters of a text, digits of a digit string
    std::string parameter;   // the cell's parameter (the channel range it shows)
    std::string blankInput;  // typed for a blank value; empty: the blank itself
    std::string blankChoice; // chosen for a blank value of a choice
};

// One row: the cell reference's category and index, and the key it goes by.
// A settings row names its own label and form for the list's one column.
struct ExchangeRow {
    std::int32_t category = 0;
    std::int32_t index = 0;
    std::string key;
    std::int32_t label = -1;
    ValueForm form = ValueForm::Shown;
    int length = 0;
};

struct ExchangeList {
    std::string name;      // as the command line names it
    std::string keyHeader; // the column that names the row
    std::vector<ExchangeColumn> columns;
    // The column whose value makes a row an entry in use (a channel's number,
    // an ID, an address); -1 when every row always is. Such a list is exchanged
    // whole: a row that is missing or holds its key alone is an empty entry.
    int usedColumn = -1;
    std::vector<ExchangeRow> rows;
};

// The lists by name: channels, selcall, ale, phone, modes, edges, settings.
const ExchangeList* findExchangeList(std::string_view name);
const std::vector<ExchangeList>& exchangeLists();
// "channels, selcall, ..." for messages.
std::string exchangeListNames();

// The engine on one image, cell by cell of an exchanged list.
class ExchangeCells {
public:
    ExchangeCells(CellContext& base, MemoryImage& image, int variant);

    struct Shown {
        std::string text; // trimmed of spaces
        bool invalid = false;
        bool duplicate = false;
        bool restricted = false; // the cell may not be edited now
        std::string reason;      // why it carries its mark
    };
    // What the cell's codec said of typed text it refused; all empty when none.
    struct Typed {
        bool redirected = false;  // the row is not in use: its key must come first
        std::int32_t tooLong = 0; // the most characters the field takes
        std::string hint;         // how to write an ambiguous value instead
    };

    Shown Show(const ExchangeRow& row, const ExchangeColumn& column);
    // Types `text` into the cell as its editor would hand it over.
    Typed Type(const ExchangeRow& row, const ExchangeColumn& column, const std::string& text);
    // The list the cell opens on Enter; none for a cell without one.
    std::optional<OpenedList> ListOf(const ExchangeRow& row, const ExchangeColumn& column);
    // Picks `value` from the cell's list; false when the row is not in use and
    // the cell cannot take it on its own.
    bool Pick(const ExchangeRow& row, const ExchangeColumn& column, const OpenedList& list,
              std::int32_t value);

    // What the cell shows for each item of its list, in the list's order, each
    // tried on a copy of the image (which stays as it was).
    std::vector<std::pair<std::string, std::int32_t>>
    Items(const ExchangeRow& row, const ExchangeColumn& column, const OpenedList& list);

    // The cells of the image the warnings check counts as errors.
    std::vector<ErrorCell> ErrorCells();

    ImageCellContext& Context() { return context_; }
    MemoryImage& Image() { return context_.CurrentImage(); }

    static std::int32_t LabelOf(const ExchangeRow& row, const ExchangeColumn& column) {
        return row.label >= 0 ? row.label : column.label;
    }
    static ValueForm FormOf(const ExchangeRow& row, const ExchangeColumn& column) {
        return row.label >= 0 ? row.form : column.form;
    }

private:
    CellModel& CellFor(const ExchangeRow& row, const ExchangeColumn& column);

    ImageCellContext context_;
    CellEngine engine_;
    CellModel cell_;
};

} // namespace marlo
