#include "overlay/chainedHashTable.h"

#include "platform/fatalError.h"

namespace marlo {

std::uint32_t nameBucket(std::string_view key, std::uint32_t bucketCount) {
    if (bucketCount == 0)
        bucketCount = ChainedHashTable<int>::kDefaultBuckets;
    const std::uint32_t initialShift = bucketCount / 2;
    std::uint32_t shift = initialShift;
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto ch = static_cast<std::int32_t>(static_cast<std::int8_t>(key[i]));
        h = 2 * h + shift + static_cast<std::uint32_t>(ch);
        const char following = i + 1 < key.size() ? key[i + 1] : '\0';
        if (following & 1) {
            shift /= 2;
            if (shift == 0)
                shift = initialShift;
        }
    }
    return h % bucketCount;
}

void failRepeatedKey(const char* message) {
    fatalError(message);
}

} // namespace marlo
