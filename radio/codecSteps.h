#pragma once

#include "sheets/colourTable.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace marlo {

class CellRequest;

// The steps the value codecs share: reading typed text and starting the grid's
// in-place editor. Typed text may be anything (control characters, UTF-8, a
// thousand digits); every reader here looks at a bounded number of characters
// and cannot overflow.
namespace codec {

// The result byte of a codec call, as the engine returns it to the grid.
constexpr std::uint8_t kResultNone = 0;
constexpr std::uint8_t kResultListOpened = 1; // a list or dialog was opened
constexpr std::uint8_t kResultOpenEditor = 2; // the grid opens its in-place editor

// Text colours the cells are drawn with.
constexpr Colour kOlive = 0x008080;  // a cell that may not be edited now
constexpr Colour kRed = 0x0000FF;    // a byte that differs from the comparison image
constexpr Colour kSilver = 0xC0C0C0; // a value that does not apply

// Filter: keeps only the decimal digits and the characters of `extra` (ASCII);
// a byte of 0x80 or above is never kept.
std::string filter(std::string_view text, std::string_view extra);

// The decimal number at the start of `text`: an optional "-", digits, and an
// optional "." with more digits. Whatever follows is ignored; no digits read as
// 0. The caller bounds the text, so the result is always finite.
double leadingDecimal(std::string_view text);
// The unsigned integer made of the digits at the start of `text`; 0 when there
// are none. Digits beyond the ninth are ignored.
std::int64_t leadingDigits(std::string_view text);

// Number: filter(text, ".-"), cut to 9 characters, read as a decimal number and
// rounded half away from zero.
std::int64_t typedNumber(std::string_view text);

// Rounds a / b half away from zero; b > 0.
std::int64_t divideRounded(std::int64_t a, std::int64_t b);

std::string trimSpaces(std::string_view text);

// True when the request carries edited text or a list choice.
bool hasInput(const CellRequest& request);
// True, and the refusal noted in the request, when `length` typed characters are
// more than a key field's `most`: the entry is left as it was rather than erased.
bool refusedAsTooLong(CellRequest& request, std::size_t length, std::size_t most);

// True, and a hint noted in the request, when typed text of a digit field has a
// character that is no digit and not in `separators`: dropping it would store
// another value than the one typed ("12X4" as 124, "1O23" as 123).
bool refusedAsNotDigits(CellRequest& request, std::string_view separators);

// True, and a hint noted in the request, when typed decimal text has a comma
// before exactly three digits ("7,055"): a thousands separator to some, a
// decimal comma to others, so it is refused rather than guessed.
bool refusedAsAmbiguous(CellRequest& request);
// The typed text with a comma read as the decimal point.
std::string pointedDecimal(std::string_view text);

// Sets the display text with the whole of it selected.
void showText(CellRequest& request, std::string text);
// Opens the editor on `text` with the given selection.
void startEditor(CellRequest& request, std::string text, std::int32_t selStart,
                 std::int32_t selLength, std::uint8_t& result);
// Opens the editor on the typed character, caret after it.
void startEditorWithKey(CellRequest& request, char key, std::uint8_t& result);
// Opens the editor on the current text trimmed of spaces, all selected.
void startEditorOnText(CellRequest& request, std::uint8_t& result);

// Editor start: only for a request from a grid. With spaceIsEnter, Space and
// Backspace count as Enter. Enter opens the editor on the current text; a digit,
// "." (allowDot) or a character of `signs` opens it on that character.
void editorStart(CellRequest& request, bool allowDot, std::string_view signs, bool spaceIsEnter,
                 std::uint8_t& result);

// Edit restriction: a cell that may not be edited now is drawn olive and a typed
// character is swallowed (action becomes 0). True when a character was swallowed,
// so that the engine can say why nothing happened.
bool editRestriction(CellRequest& request, bool editable);

// Runs a codec for a 32-bit value on one unsigned byte; a value outside 0..255
// is not stored.
template <typename Codec>
bool onByte(std::uint8_t& byte, Codec codec) {
    std::int32_t value = byte;
    if (!codec(value) || value < 0 || value > 255)
        return false;
    byte = static_cast<std::uint8_t>(value);
    return true;
}

} // namespace codec

} // namespace marlo
