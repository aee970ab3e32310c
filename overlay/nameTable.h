#pragma once

#include "overlay/chainedHashTable.h"

#include <cstdint>
#include <string_view>

namespace marlo {

// The name tables: names of cell categories, labels and attributes to their
// 32-bit numbers.
class NameTable : public ChainedHashTable<std::uint32_t> {
public:
    // 0 buckets means 1,031.
    explicit NameTable(std::uint32_t bucketCount = 0)
        : ChainedHashTable(bucketCount, "Overlapped Hash table.") {}

    // The node whose key equals `key` byte for byte, or nullptr.
    const Node* Find(std::string_view key) const { return FindNode(key); }
};

} // namespace marlo
