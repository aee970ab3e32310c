#include "print/printPagination.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

constexpr int kMaxGroup = std::numeric_limits<std::uint16_t>::max();

cmcPrintGroup group(int first, int count) {
    return {first, static_cast<std::uint16_t>(std::clamp(count, 1, kMaxGroup))};
}

std::int64_t fixedSum(std::span<const int> sizes, int fixed) {
    return std::accumulate(sizes.begin(), sizes.begin() + fixed, std::int64_t{0});
}

} // namespace

std::vector<cmcPrintGroup> printColumnGroups(std::span<const int> widths, int fixedCols,
                                             const std::vector<bool>& mayBegin, int width) {
    const int count = static_cast<int>(widths.size());
    fixedCols = std::clamp(fixedCols, 0, count);
    const std::int64_t fixed = fixedSum(widths, fixedCols);
    std::vector<cmcPrintGroup> groups;
    for (int c = fixedCols; c < count;) {
        std::int64_t used = fixed;
        int n = 0;
        bool reachedEnd = true;
        for (int i = 0; c + i < count && i < kMaxGroup; ++i) {
            used += widths[static_cast<std::size_t>(c + i)];
            const auto at = static_cast<std::size_t>(c + i);
            if (at >= mayBegin.size() || mayBegin[at])
                n = i;
            if (n > 0 && used > width) {
                reachedEnd = false;
                break;
            }
        }
        if (reachedEnd)
            n = count - c;
        groups.push_back(group(c, n));
        c += groups.back().count;
    }
    return groups;
}

std::vector<cmcPrintGroup> printRowGroups(std::span<const int> heights, int fixedRows, int height) {
    const int count = static_cast<int>(heights.size());
    fixedRows = std::clamp(fixedRows, 0, count);
    const std::int64_t fixed = fixedSum(heights, fixedRows);
    std::vector<cmcPrintGroup> groups;
    for (int r = fixedRows; r < count;) {
        std::int64_t used = fixed;
        int i = 0;
        for (; r + i < count && i < kMaxGroup; ++i) {
            const int h = heights[static_cast<std::size_t>(r + i)];
            if (i > 0 && used + h > height)
                break;
            used += h;
        }
        groups.push_back(group(r, i));
        r += groups.back().count;
    }
    return groups;
}
