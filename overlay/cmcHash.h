#pragma once

#include "overlay/cmcChainedHash.h"

#include <cstdint>
#include <string_view>

// The name tables: names of cell categories, labels and attributes to their
// 32-bit numbers.
class cmcHash : public cmcChainedHash<std::uint32_t> {
public:
    // 0 buckets means 1,031.
    explicit cmcHash(std::uint32_t bucketCount = 0)
        : cmcChainedHash(bucketCount, "Overlapped Hash table.") {}

    // The node whose key equals `key` byte for byte, or nullptr.
    const Node* Find(std::string_view key) const { return FindNode(key); }
};
