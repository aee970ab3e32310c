#pragma once

#include <cstdint>
#include <string_view>

namespace marlo {

// Colours of the attribute language: 0x00BBGGRR (red in the low byte), or, with
// the top bit set, a system colour index 1..20 that is resolved to the user's
// palette only when drawn.
using Colour = std::uint32_t;

constexpr Colour kSystemColourBit = 0x80000000u;
constexpr Colour systemColour(int index) {
    return kSystemColourBit + static_cast<Colour>(index);
}
constexpr bool isSystemColour(Colour c) {
    return (c & kSystemColourBit) != 0;
}

constexpr Colour kClWindow = systemColour(5);
constexpr Colour kClWindowText = systemColour(8);
constexpr Colour kClHighlight = systemColour(13);
constexpr Colour kClHighlightText = systemColour(14); // spelled clHightlightText
constexpr Colour kClBtnFace = systemColour(15);
constexpr Colour kClGrayText = systemColour(17);
constexpr Colour kClWhite = 0x00FFFFFFu;

// Looks a colour name up (exact, case-sensitive). False, and `value` untouched,
// for a name that is not in the table.
bool colourFromName(std::string_view name, Colour& value);

} // namespace marlo
