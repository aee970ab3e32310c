#pragma once

#include "core/notificationHub.h"
#include "sheets/colourTable.h"

#include <cstdint>
#include <string_view>

namespace marlo {

// The status line as the cell engine and the row operations write it: a text
// with its colour pair, through the hub. Normal texts use the system colours;
// a warning (a refused edit, a full ALE list) is yellow on dark red.
namespace statusLine {
inline constexpr Colour kText = kClWindowText;
inline constexpr Colour kBack = kClBtnFace;
inline constexpr Colour kWarningText = 0x00FFFF;
inline constexpr Colour kWarningBack = 0x000080;

inline void Post(std::string_view text, Colour colour = kText, Colour background = kBack) {
    NotificationHub::App().PostText(evStatusText, colourAsHubObject(colour),
                                    static_cast<std::int32_t>(background), text);
}

inline void PostWarning(std::string_view text) {
    Post(text, kWarningText, kWarningBack);
}
} // namespace statusLine

} // namespace marlo
