#include "clone/cloneProgress.h"

#include <algorithm>

namespace marlo {

std::int32_t rangeBytes(RangeList ranges) {
    std::int64_t bytes = 0;
    for (const AddressRange& r : ranges) {
        if (r.last < r.first)
            break;
        bytes += static_cast<std::int64_t>(r.last) - r.first + 1;
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(bytes, INT32_MAX));
}

int progressSegments(std::int32_t dataBytes, std::int32_t expectedBytes) {
    if (expectedBytes <= 0 || dataBytes <= 0)
        return 0;
    // 64 bits: 33 x a large byte count would overflow 32.
    return static_cast<int>(std::int64_t{kProgressSegmentCount + 1} * dataBytes / expectedBytes);
}

int progressPercent(std::int32_t dataBytes, std::int32_t expectedBytes) {
    if (expectedBytes <= 0 || dataBytes <= 0)
        return 0;
    return static_cast<int>(
        std::min<std::int64_t>(std::int64_t{100} * dataBytes / expectedBytes, 100));
}

} // namespace marlo
