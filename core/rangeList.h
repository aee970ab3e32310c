#pragma once

#include <cstdint>
#include <span>

namespace marlo {

// One inclusive block of image addresses.
struct AddressRange {
    std::int32_t first;
    std::int32_t last;
};

// A list of address blocks. It ends at the first pair whose last address is below
// its first (we write (1, 0)) or at the end of the span, whichever comes first, so
// a list without its terminator is still read safely.
using RangeList = std::span<const AddressRange>;

inline constexpr AddressRange kRangeEnd{1, 0};

// Calls fn(first, last) for each block in list order. The walk stops at the
// terminator, at the end of the span, or at the first block that does not lie
// inside an image of `size` bytes: what follows a bad block is never trusted.
template <typename Fn>
void forEachRange(RangeList list, std::int32_t size, Fn&& fn) {
    for (const AddressRange& r : list) {
        if (r.last < r.first || r.first < 0 || r.last >= size)
            return;
        fn(r.first, r.last);
    }
}

} // namespace marlo
