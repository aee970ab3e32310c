#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace marlo {

class CellRequest;
class OverlayTexts;

// The numeric codecs. Each takes the request, the value and its form, parses the
// request's input into the value, writes the display text (all selected) and,
// for a request from a grid, reacts to the key. They return true when the value
// was changed and set `result` when the grid shall open its editor.
namespace codec {

struct NumberForm {
    std::int32_t lo = 0;
    std::int32_t hi = 0;
    std::int32_t offset = 0; // shown and typed as value + offset
    std::int32_t step = 1;
    bool clamp = false; // limit a stored value that lies outside lo..hi
    std::optional<std::string> fixedText{};
    int minDigits = 0; // shown with leading zeros to this many digits
};

// Number: input is rounded to the step and limited to lo..hi; Space and
// Backspace step through the range with wrap-around.
bool number(CellRequest& request, std::int32_t& value, const NumberForm& form,
            std::uint8_t& result);
// The same on one unsigned byte; the form's range must lie within 0..255.
bool numberByte(CellRequest& request, std::uint8_t& value, const NumberForm& form,
                std::uint8_t& result);

// Channel number in lo..hi (lo >= 1), `emptyValue` meaning no channel: typing 0
// empties it, an empty value shows a single space.
bool channelNumber(CellRequest& request, std::uint32_t& value, std::uint32_t lo, std::uint32_t hi,
                   std::uint32_t emptyValue, std::uint8_t& result);

enum class TimerKind : std::uint8_t { Off = 1, Auto = 2 };

// The overlay texts a timer of value 0 shows.
constexpr const char* kTimerOffText = "GI_AppInd_TimerOff";
constexpr const char* kTimerAutoText = "GI_AppInd_TimerAuto";

struct TimerForm {
    std::int32_t scale = 1; // stored units per shown unit
    std::int32_t lo = 0;
    std::int32_t hi = 0;
    TimerKind kind = TimerKind::Auto;
    int decimals = 0; // trailing zeros the "off" kind may drop
};

// Timer: a number whose 0 means "off" or "auto", shown with the overlay's word
// for it (`texts` holds kTimerOffText and kTimerAutoText) and typed as that word
// or a number.
bool timer(CellRequest& request, std::int32_t& value, const TimerForm& form, OverlayTexts& texts,
           std::uint8_t& result);
bool timerByte(CellRequest& request, std::uint8_t& value, const TimerForm& form,
               OverlayTexts& texts, std::uint8_t& result);

} // namespace codec

} // namespace marlo
