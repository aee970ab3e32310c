#pragma once

#include <array>
#include <cstdint>

namespace marlo {

// The radio's identity digits: ten decimal digits in five bytes, one digit per
// nibble, digit k in the high nibble of byte k/2 when k is even and in the low
// nibble when it is odd. All bytes are 0xFF until digits are drawn.
using IdentityDigits = std::array<std::uint8_t, 5>;
inline constexpr IdentityDigits kNoIdentityDigits{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Draws ten new digits from a generator seeded with `seed`.
void drawIdentityDigits(IdentityDigits& digits, std::uint32_t seed);
// A seed from the clock, so that each run (and each factory write) draws anew.
std::uint32_t timeSeed();

} // namespace marlo
