#pragma once

#include <cstdint>
#include <span>
#include <string_view>

class cmcCellCapsule;

// The text codecs: fixed-width character fields of the image.
namespace cmcCodec {

// The characters a channel comment, selective-call name or telephone name may hold.
constexpr std::string_view kNameAlphabet =
    " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_-/.'()*+<=>@";
// The characters of an ALE address; lower-case letters are stored in upper case.
constexpr std::string_view kAleAlphabet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@?_";

// Name text on a field of n characters: typed text fills it from the left, padded
// with spaces; a character outside 32..126 (a UTF-8 sequence counts as one)
// becomes a space. Shown trimmed of spaces.
bool nameText(cmcCellCapsule& request, std::span<std::uint8_t> field, std::uint8_t& result);
// Turns every character outside the name alphabet into a space.
void keepNameAlphabet(std::span<std::uint8_t> field);

// ALE text: only the ALE alphabet is kept; 1..n such characters fill the field,
// upper-cased; anything else (none, or more than fit) clears it to 0xFF bytes.
bool aleText(cmcCellCapsule& request, std::span<std::uint8_t> field, std::uint8_t& result);

} // namespace cmcCodec
