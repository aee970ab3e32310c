#pragma once

#include <cstdint>
#include <string_view>

// Colours of the attribute language: 0x00BBGGRR (red in the low byte), or, with
// the top bit set, a system colour index 1..20 that is resolved to the user's
// palette only when drawn.
using cmcColour = std::uint32_t;

constexpr cmcColour kSystemColourBit = 0x80000000u;
constexpr cmcColour systemColour(int index) {
    return kSystemColourBit + static_cast<cmcColour>(index);
}
constexpr bool isSystemColour(cmcColour c) {
    return (c & kSystemColourBit) != 0;
}

constexpr cmcColour kClWindow = systemColour(5);
constexpr cmcColour kClWindowText = systemColour(8);
constexpr cmcColour kClHighlight = systemColour(13);
constexpr cmcColour kClHighlightText = systemColour(14); // spelled clHightlightText
constexpr cmcColour kClBtnFace = systemColour(15);
constexpr cmcColour kClGrayText = systemColour(17);
constexpr cmcColour kClWhite = 0x00FFFFFFu;

// Looks a colour name up (exact, case-sensitive). False, and `value` untouched,
// for a name that is not in the table.
bool colourFromName(std::string_view name, cmcColour& value);
