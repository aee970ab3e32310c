#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace marlo {

class CellRequest;

// The codecs whose value is chosen in a list or window: selection lists and raw
// bytes. The lists and windows belong to the sheets; the codecs reach them
// through these interfaces.
namespace codec {

// The selection lists of the overlay: a list is named by its key and holds items
// of one kind (the label number its items carry), each standing for a value.
class SelectionLists {
public:
    virtual ~SelectionLists() = default;
    // The item text for `value`.
    virtual std::string TextOf(std::string_view listKey, int kind, std::int32_t value) = 0;
    // The value `direction` (+1 or -1) items on, wrapping; nothing when the list
    // offers none.
    virtual std::optional<std::int32_t> Step(std::string_view listKey, int kind, std::int32_t value,
                                             int direction) = 0;
    // Opens the list as a pop-up menu beside the request's cell with `value`
    // marked. The pick comes back later as a new request for the same cell, with
    // inputMode 2 and the picked item's request as its partner.
    virtual void OpenList(CellRequest& request, std::string_view listKey, int kind,
                          std::int32_t value) = 0;
};

struct SelectionForm {
    std::string listKey;
    int kind = 1; // 1 ordinary lists, 2 the mode list, 5 the call-kind list
    // Values the field can hold; a pick or step outside is refused.
    std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    std::int32_t hi = std::numeric_limits<std::int32_t>::max();
};

// Selection: a pick (a partner whose label is the form's kind, inputMode 2) sets
// the value to the partner cell's index; any other partner changes nothing and
// shows nothing. Space and Backspace step through the list, Enter opens it.
bool selection(CellRequest& request, const SelectionForm& form, std::int32_t& value,
               SelectionLists& lists, std::uint8_t& result);
bool selectionByte(CellRequest& request, const SelectionForm& form, std::uint8_t& value,
                   SelectionLists& lists, std::uint8_t& result);

// The window that edits the eight bits of a raw byte.
class BitEditorOpener {
public:
    virtual ~BitEditorOpener() = default;
    // Opens the editor on `value` with the overlay list `listKey`. The choice
    // comes back as a request with inputMode 2 whose partner cell's index,
    // shifted right by 18, is the new byte.
    virtual void OpenBitEditor(CellRequest& request, std::uint8_t value,
                               std::string_view listKey) = 0;
};

constexpr std::string_view kBitEditorList = "GI_Sheet_Sel_Bit_EeDebugWin";
constexpr int kBitEditorShift = 18;

// Hex byte: shown as two hex digits, red while it differs from `compareValue`;
// typed as one or two hex digits. Enter opens the bit editor (when there is one).
bool hexByte(CellRequest& request, std::uint8_t& value, std::uint8_t compareValue,
             BitEditorOpener* bitEditor, std::uint8_t& result);

} // namespace codec

} // namespace marlo
