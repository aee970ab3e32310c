#include "radio/identityDigits.h"

#include <chrono>
#include <random>

namespace marlo {

void drawIdentityDigits(IdentityDigits& digits, std::uint32_t seed) {
    std::minstd_rand random(seed);
    for (std::size_t k = 0; k < 2 * digits.size(); ++k) {
        const auto digit = static_cast<std::uint8_t>(random() % 10);
        std::uint8_t& byte = digits[k / 2];
        byte = k % 2 == 0 ? static_cast<std::uint8_t>((byte & 0x0F) | (digit << 4))
                          : static_cast<std::uint8_t>((byte & 0xF0) | digit);
    }
}

std::uint32_t timeSeed() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

} // namespace marlo
