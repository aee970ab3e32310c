#include "print/printPagination.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace marlo {

namespace {

constexpr int kMaxGroup = std::numeric_limits<std::uint16_t>::max();

PrintGroup group(int first, int count) {
    return {first, static_cast<std::uint16_t>(std::clamp(count, 1, kMaxGroup))};
}

// Cuts the sizes after the fixed ones into groups; `take(first, fixedSize)`
// says how many the group from `first` holds (clamped to 1..kMaxGroup).
template <typename Take>
std::vector<PrintGroup> cutIntoGroups(std::span<const int> sizes, int fixed, Take take) {
    const int count = static_cast<int>(sizes.size());
    fixed = std::clamp(fixed, 0, count);
    const std::int64_t fixedSize =
        std::accumulate(sizes.begin(), sizes.begin() + fixed, std::int64_t{0});
    std::vector<PrintGroup> groups;
    for (int first = fixed; first < count;) {
        groups.push_back(group(first, take(first, fixedSize)));
        first += groups.back().count;
    }
    return groups;
}

} // namespace

std::vector<PrintGroup> printColumnGroups(std::span<const int> widths, int fixedCols,
                                          const std::vector<bool>& mayBegin, int width) {
    const int count = static_cast<int>(widths.size());
    return cutIntoGroups(widths, fixedCols, [&](int c, std::int64_t used) {
        int n = 0;
        for (int i = 0; c + i < count && i < kMaxGroup; ++i) {
            used += widths[static_cast<std::size_t>(c + i)];
            const auto at = static_cast<std::size_t>(c + i);
            if (at >= mayBegin.size() || mayBegin[at])
                n = i;
            if (n > 0 && used > width)
                return n;
        }
        return count - c; // the scan reached the last column
    });
}

std::vector<PrintGroup> printRowGroups(std::span<const int> heights, int fixedRows, int height) {
    const int count = static_cast<int>(heights.size());
    return cutIntoGroups(heights, fixedRows, [&](int r, std::int64_t used) {
        int i = 0;
        for (; r + i < count && i < kMaxGroup; ++i) {
            const int h = heights[static_cast<std::size_t>(r + i)];
            if (i > 0 && used + h > height)
                break;
            used += h;
        }
        return i;
    });
}

} // namespace marlo
