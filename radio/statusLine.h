#pragma once

#include "sheets/cmcColorTable.h"
#include "sheets/cmcEvMan.h"

#include <cstdint>
#include <string_view>

// The status line as the cell engine and the row operations write it: a text
// with its colour pair, through the hub. Normal texts use the system colours;
// a warning (a refused edit, a full ALE list) is yellow on dark red.
namespace cmcStatusLine {
inline constexpr cmcColour kText = kClWindowText;
inline constexpr cmcColour kBack = kClBtnFace;
inline constexpr cmcColour kWarningText = 0x00FFFF;
inline constexpr cmcColour kWarningBack = 0x000080;

inline void Post(std::string_view text, cmcColour colour = kText, cmcColour background = kBack) {
    cmcEvMan::App().PostText(evStatusText, cmcEvColourObject(colour),
                             static_cast<std::int32_t>(background), text);
}

inline void PostWarning(std::string_view text) {
    Post(text, kWarningText, kWarningBack);
}
} // namespace cmcStatusLine
