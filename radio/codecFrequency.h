#pragma once

#include "radio/frequencyLimits.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlo {

class CellRequest;
class ListRecord;

// The frequency codecs: frequencies are held in Hz and typed and shown in kHz.
namespace codec {

constexpr std::int32_t kMaxFrequency = marloFrequency::highest;
constexpr std::int32_t kNoEdge = marloFrequency::noEdge;

// Typed kHz to Hz: the digits and points of the text (a comma counts as a
// point), cut to 10 characters,
// times 1000, rounded and limited to 0..29,999,999. Nothing when the text holds
// neither digits nor points.
std::optional<std::int32_t> typedFrequency(std::string_view text);
// Hz as kHz with one decimal ("7053.4") or, precise, three ("7053.450").
std::string frequencyText(std::int32_t hz, bool precise);

// Channel frequency on the receive or transmit side of a user channel. Typed
// text is stored at 100 Hz resolution; a cleared editor or 0 marks the side
// empty, and other text without digits changes nothing.
// With `linked`, a transmit side equal to the receive side follows its changes
// and shows "<-".
bool channelFrequency(CellRequest& request, ListRecord& channel, bool receiveSide, bool linked,
                      std::uint8_t& result);

// Band edge on one limit of a band edge entry; `precise` keeps 1 Hz resolution,
// `emptyAllowed` (transmit ranges) stores 0 or a cleared editor as kNoEdge.
bool bandEdge(CellRequest& request, std::int32_t& limit, bool precise, bool emptyAllowed,
              std::uint8_t& result);

} // namespace codec

} // namespace marlo
