#include "core/hexText.h"

namespace marlo {

std::vector<std::uint8_t> hexToBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    bool high = true;
    for (const char c : text) {
        const int v = hexDigitValue(c);
        if (v < 0)
            continue;
        if (high)
            bytes.push_back(static_cast<std::uint8_t>(v << 4));
        else
            bytes.back() = static_cast<std::uint8_t>(bytes.back() | v);
        high = !high;
    }
    return bytes;
}

} // namespace marlo
