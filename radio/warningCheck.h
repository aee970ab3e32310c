#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class OverlayTexts;
class CellEngine;

// The warnings check: every line of the overlay's check list is a cell whose
// parameter names the sheet it speaks for; the cell reports invalid (an error)
// or duplicate (a warning). The tree marks its nodes from the result, and a
// clone write is refused while there are errors.
enum class CheckMark { None, Warning, Error };

struct CheckLine {
    std::string key; // the cell's parameter: the sheet the tree node shows
    CheckMark mark = CheckMark::None;
};

struct WarningCheck {
    int errors = 0;
    int warnings = 0;
    std::vector<CheckLine> lines; // one per line of the list, in list order

    // The mark of the tree node that shows sheet `key`: an error on any line of
    // that key outranks a warning.
    CheckMark MarkOf(std::string_view key) const;
};

// The overlay entry that lists the checks.
inline constexpr char kWarningCheckList[] = "GI_WarningCheckList";

// Evaluates every line of the check list from `texts` with `engine`.
WarningCheck checkWarnings(CellEngine& engine, OverlayTexts& texts);

} // namespace marlo
