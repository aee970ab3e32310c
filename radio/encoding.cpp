#include "radio/encoding.h"

#include <algorithm>

namespace marlo {

namespace encoding {

namespace {

bool holdsDigit(std::size_t size, int k) {
    return k >= 0 && static_cast<std::size_t>(k / 2) < size;
}

} // namespace

std::uint64_t readBase100(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::uint8_t b : bytes)
        value = value * 100 + b;
    return value;
}

void writeBase100(std::span<std::uint8_t> bytes, std::uint64_t value) {
    std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
    for (auto it = bytes.rbegin(); it != bytes.rend() && value != 0; ++it) {
        *it = static_cast<std::uint8_t>(value % 100);
        value /= 100;
    }
}

int twoDigitGet(std::span<const std::uint8_t> bytes, int k) {
    if (!holdsDigit(bytes.size(), k))
        return -1;
    const int b = bytes[static_cast<std::size_t>(k / 2)];
    return (k % 2 == 0 ? b / 10 : b) % 10;
}

void twoDigitSet(std::span<std::uint8_t> bytes, int k, int digit) {
    if (!holdsDigit(bytes.size(), k) || digit < 0 || digit > 9)
        return;
    std::uint8_t& b = bytes[static_cast<std::size_t>(k / 2)];
    const int d = digit;
    if (k % 2 == 0)
        b = static_cast<std::uint8_t>(d * 10 + b % 10);
    else
        b = static_cast<std::uint8_t>(b / 10 % 10 * 10 + d);
}

bool twoDigitIsEmpty(std::span<const std::uint8_t> bytes) {
    return bytes.empty() || bytes[0] >= 100;
}

int nibbleGet(std::span<const std::uint8_t> bytes, int k) {
    if (!holdsDigit(bytes.size(), k))
        return -1;
    const std::uint8_t b = bytes[static_cast<std::size_t>(k / 2)];
    return k % 2 == 0 ? b >> 4 : b & 0x0F;
}

void nibbleSet(std::span<std::uint8_t> bytes, int k, int digit) {
    if (!holdsDigit(bytes.size(), k) || digit < 0 || digit > 15)
        return;
    std::uint8_t& b = bytes[static_cast<std::size_t>(k / 2)];
    const int d = digit;
    b = static_cast<std::uint8_t>(k % 2 == 0 ? (b & 0x0F) | (d << 4) : (b & 0xF0) | d);
}

std::uint16_t readLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void writeLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::int32_t readLe32(const std::uint8_t* p) {
    const std::uint32_t u =
        static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return static_cast<std::int32_t>(u);
}

void writeLe32(std::uint8_t* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

} // namespace encoding

} // namespace marlo
