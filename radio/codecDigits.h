#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace marlo {

class CellRequest;
class ListRecord;

// The codecs of digit strings and channel ranges. The key fields (selective-call
// ID, telephone number) are cleared to 0xFF bytes by an input that gives no
// digits: that is how the user empties an entry. More digits than the field
// takes are refused and change nothing. The self ID takes exactly its 9 digits,
// is cleared by an input without digits, and refuses any other count.
namespace codec {

// Selective-call ID: 6 digits in two-digit bytes; 1..6 typed digits (1..4 with
// short IDs) are stored right-aligned with leading zeros. Short IDs show their
// first two places as spaces. Typed text with anything but digits, blanks and
// dashes is refused and changes nothing.
bool selCallId(CellRequest& request, std::array<std::uint8_t, 3>& field, bool longIds,
               std::uint8_t& result);

// Self ID: exactly 9 digits in the first kSelfIdBytes two-digit bytes of `bytes`.
// A shorter span is neither read nor written.
constexpr std::size_t kSelfIdBytes = 5;
bool selfId(CellRequest& request, std::span<std::uint8_t> bytes, std::uint8_t& result);

// Telephone number: up to 16 digits in packed nibbles, shown up to the first
// nibble that is not a digit.
bool telNumber(CellRequest& request, std::array<std::uint8_t, 8>& field, std::uint8_t& result);

// Channel range: the pair (0..4) named by the cell's parameter of the entry's
// five channel ranges, typed as "from-to" or one channel; 0 clears the pair.
// A cell without a valid pair number shows nothing and changes nothing.
bool channelRange(CellRequest& request, ListRecord& entry, std::uint8_t& result);

// Code display: 5 bytes of packed nibbles shown as "123-456-7890", up to the
// first nibble that is not a digit. Read-only.
void codeDisplay(CellRequest& request, std::span<const std::uint8_t> bytes);

} // namespace codec

} // namespace marlo
