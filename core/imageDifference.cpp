#include "core/imageDifference.h"

#include "core/cmcEeprom.h"

#include <algorithm>

std::vector<cmcRange> cmcDifferingRanges(const cmcEeprom& a, const cmcEeprom& b,
                                         cmcRangeList ranges) {
    std::vector<cmcRange> found;
    const std::int32_t size = std::min(a.Size(), b.Size());
    for (const cmcRange& r : ranges) {
        if (r.last < r.first)
            break;
        for (std::int32_t address = std::max(r.first, 0); address <= r.last; ++address) {
            if (address < size && a.GetByte(address) == b.GetByte(address))
                continue;
            if (!found.empty() && found.back().last == address - 1)
                found.back().last = address;
            else
                found.push_back({address, address});
        }
    }
    return found;
}
