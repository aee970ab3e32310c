#include "core/commandLine.h"

#include <chrono>
#include <random>

namespace {

// ASCII only: bytes of multi-byte characters are left as they are.
std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

void cmcDrawIdentityDigits(cmcIdentityDigits& digits, std::uint32_t seed) {
    std::minstd_rand random(seed);
    for (std::size_t k = 0; k < 2 * digits.size(); ++k) {
        const auto digit = static_cast<std::uint8_t>(random() % 10);
        std::uint8_t& byte = digits[k / 2];
        byte = k % 2 == 0 ? static_cast<std::uint8_t>((byte & 0x0F) | (digit << 4))
                          : static_cast<std::uint8_t>((byte & 0xF0) | digit);
    }
}

std::uint32_t cmcTimeSeed() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

dstModeSwitches cmcReadModeSwitches(const std::vector<std::string>& args,
                                    const std::function<std::string()>& expertText,
                                    std::uint32_t seed) {
    dstModeSwitches modes;
    for (const std::string& arg : args) {
        const std::string word = lowerCase(arg);
        if (word == "/expert") {
            modes.expert = 1;
            modes.modeText += expertText();
        } else if (word == "/factory") {
            modes.factory = 1;
            modes.modeText += "[ FACTORY ]";
            // A second "/factory" must not repeat the first one's digits.
            cmcDrawIdentityDigits(modes.identity, seed++);
        } else if (word == "/gene") {
            modes.gene = 1;
            modes.modeText += "[ GENE ]";
        }
    }
    return modes;
}
