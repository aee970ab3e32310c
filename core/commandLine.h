#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The radio's identity digits: ten decimal digits in five bytes, one digit per
// nibble, digit k in the high nibble of byte k/2 when k is even and in the low
// nibble when it is odd. All bytes are 0xFF until digits are drawn.
using cmcIdentityDigits = std::array<std::uint8_t, 5>;
inline constexpr cmcIdentityDigits kNoIdentityDigits{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Draws ten new digits from a generator seeded with `seed`.
void cmcDrawIdentityDigits(cmcIdentityDigits& digits, std::uint32_t seed);
// A seed from the clock, so that each run (and each factory write) draws anew.
std::uint32_t cmcTimeSeed();

// The modes the command line switched on.
struct dstModeSwitches {
    int expert = 0;
    int factory = 0;
    int gene = 0;
    cmcIdentityDigits identity = kNoIdentityDigits;
    std::string modeText; // the texts of the switches given, in argument order
};

// Reads "/expert", "/factory" and "/gene" from every argument, the program's own
// name included. Letter case does not matter, but an argument counts only when it
// is the whole switch ("/expert=1" is not "/expert"). Every match counts, in
// argument order: each appends its text to the mode text, and each "/factory"
// draws new identity digits. `expertText` is asked only when "/expert" is given,
// since its text comes from the overlay.
dstModeSwitches cmcReadModeSwitches(const std::vector<std::string>& args,
                                    const std::function<std::string()>& expertText,
                                    std::uint32_t seed);
