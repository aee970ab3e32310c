#pragma once

#include "sheets/colourTable.h"

#include <cstdint>
#include <optional>
#include <string>

namespace marlo {

class CellModel;
class CellRequest;

// The area of a cell while it is painted, in the grid's pixels.
struct CellRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The rows a context-menu operation works on.
struct CellBlock {
    static constexpr std::uint8_t Selected = 0x01; // a block of rows is selected
    static constexpr std::uint8_t NewBlock = 0x02; // the operation set a new block

    void* owner = nullptr;
    std::uint8_t flags = 0;
    std::int32_t first = 0;
    std::int32_t last = 0;
};

// A callback with the pointer its owner gave; `bits` are the engine's change bits.
struct CellCallback {
    using Function = void (*)(void* user, CellRequest& request, std::uint8_t bits);

    Function function = nullptr;
    void* user = nullptr;

    bool IsAssigned() const { return function != nullptr; }
    void operator()(CellRequest& request, std::uint8_t bits) const {
        if (function != nullptr)
            function(user, request, bits);
    }
};

// The request record of one cell operation: the caller fills in the cell and what
// the user did, the engine and its codecs fill in the text, state and result.
// It holds no window-system types: the window side passes its form, grid, canvas
// and image list as opaque handles and reads the drawing outputs back.
//
// Copying copies every field; the texts are duplicated, the links (partner,
// cell, handles, extra, callbacks) still point where the original's did.
class CellRequest {
public:
    // action: 0 is a paint or query; 1..126 a typed character; a special key is
    // its virtual-key code times 256.
    static constexpr std::int32_t kNoAction = 0;
    static constexpr std::int32_t kBackspace = 8;
    static constexpr std::int32_t kEnter = 13;
    static constexpr std::int32_t kSpace = 32;
    static constexpr std::int32_t kLastCharacter = 126;
    static constexpr std::int32_t kClick = 256; // on the grid's current cell; acts as Enter
    static constexpr std::int32_t kLeftKey = 0x25 * 256;
    static constexpr std::int32_t kRightKey = 0x27 * 256;
    // Function key n (1..12).
    static constexpr std::int32_t FunctionKey(int n) { return (0x6F + n) * 256; }
    static constexpr std::int32_t kF3 = (0x6F + 3) * 256;
    static constexpr std::int32_t kF4 = (0x6F + 4) * 256;

    // status: bits 0 and 1 belong to the caller.
    static constexpr std::uint8_t kDuplicate = 0x04;
    static constexpr std::uint8_t kInvalid = 0x08;

    // inputMode
    static constexpr std::uint8_t kNoInput = 0;
    static constexpr std::uint8_t kEditedText = 1; // inputText holds the editor's text
    static constexpr std::uint8_t kChosen = 2;     // a value was picked from a list

    // markerPlace: where the grid draws the invalid/duplicate mark.
    static constexpr std::uint8_t kMarkerAuto = 0;
    static constexpr std::uint8_t kMarkerLeft = 1;
    static constexpr std::uint8_t kMarkerRight = 2;
    static constexpr std::uint8_t kMarkerAfterText = 3;

    // Back to a fresh request: numbers 0, texts empty, links none.
    void Reset() { *this = CellRequest(); }

    bool HasGrid() const { return grid != nullptr; }
    // The typed character, or 0 when the action is not one.
    char TypedCharacter() const {
        return action >= 1 && action <= kLastCharacter ? static_cast<char>(action) : '\0';
    }

    // The request of the other side of a pop-up list or context menu (borrowed).
    CellRequest* partner = nullptr;
    void* form = nullptr;      // owner window, for dialogs
    void* grid = nullptr;      // the asking grid; none means display only
    CellModel* cell = nullptr; // borrowed; the codecs may set its alignment
    void* canvas = nullptr;    // set while painting
    void* images = nullptr;    // the sheet's mark images, passed on to pickers
    std::optional<CellRect> rect;
    std::int32_t selStart = 0;
    std::int32_t selLength = 0;
    std::int32_t action = kNoAction;
    std::int32_t popupCommand = 0;
    std::string inputText;
    std::string text;
    std::uint8_t status = 0;
    std::uint8_t markerPlace = kMarkerAuto;
    std::uint8_t inputMode = kNoInput;
    std::int32_t redirected = 0;
    std::int32_t outCategory = 0;
    std::int32_t outLabel = 0;
    std::int32_t outIndex = 0;
    std::int32_t outAction = 0;
    const std::string* extra = nullptr; // carried along, never read here
    CellBlock block;
    CellCallback onChange;
    CellCallback secondCallback; // kept and copied only

    // Set by a codec that refused typed text too long for its field: the most
    // characters the field takes. The engine says so on the status line.
    std::int32_t refusedAbove = 0;
    // Set by a codec that refused typed text it could not read one way only: how
    // to write it instead. The engine says so on the status line.
    std::string refusedHint;
    // Why the cell carries its invalid or duplicate mark, for the status line.
    std::string markReason;

    // Drawing output: the text colour chosen for this cell (olive for a cell that
    // may not be edited, red for a changed byte, ...); none keeps the cell's font.
    std::optional<Colour> fontColour;
};

} // namespace marlo
