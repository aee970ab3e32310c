#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace marlo {

class CellRequest;

// The text codecs: fixed-width character fields of the image.
namespace codec {

// The characters a channel comment, selective-call name or telephone name may hold.
constexpr std::string_view kNameAlphabet =
    " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_-/.'()*+<=>@";
// The characters of an ALE address; lower-case letters are stored in upper case.
constexpr std::string_view kAleAlphabet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@?_";

// Name text on a field of n characters: typed text fills it from the left, padded
// with spaces; a character outside 32..126 (a UTF-8 sequence counts as one) or
// outside `alphabet`, unless that is empty, becomes a space. So what the editor
// shows after the edit is what the image holds. Shown trimmed of spaces, with
// bytes that are no character shown as spaces.
bool nameText(CellRequest& request, std::span<std::uint8_t> field, std::uint8_t& result,
              std::string_view alphabet = {});

// ALE text: only the ALE alphabet is kept; 1..n such characters fill the field,
// upper-cased; none clears it to 0xFF bytes; more than fit are refused and change
// nothing.
bool aleText(CellRequest& request, std::span<std::uint8_t> field, std::uint8_t& result);

} // namespace codec

} // namespace marlo
