#include "core/imageDifference.h"

#include "core/memoryImage.h"

#include <algorithm>

namespace marlo {

std::vector<AddressRange> differingRanges(const MemoryImage& a, const MemoryImage& b,
                                          RangeList ranges) {
    std::vector<AddressRange> found;
    const std::int32_t size = std::min(a.Size(), b.Size());
    for (const AddressRange& r : ranges) {
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

} // namespace marlo
