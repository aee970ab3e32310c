#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace marlo {

// Hexadecimal digits in text, shared by the clone file, the wire frames and the
// raw-byte cells.

// The value 0..15 of a hexadecimal digit of either case, or -1.
constexpr int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The upper-case digit of the low four bits of `value`.
constexpr char upperHexDigit(unsigned value) {
    return "0123456789ABCDEF"[value & 0xFu];
}

// The bytes spelt by the hexadecimal digits of `text` taken in pairs, high digit
// first; every other character is skipped, and a lone last digit becomes a byte with
// that digit as its high half.
std::vector<std::uint8_t> hexToBytes(std::string_view text);

} // namespace marlo
