#pragma once

#include "overlay/chainedHashTable.h"

#include <cstdint>
#include <string_view>

namespace marlo {

struct SelectionList;

// The string-keyed index of the selection lists, whose values are borrowed lists.
class SelectionListIndex : public ChainedHashTable<SelectionList*> {
public:
    // 0 buckets means 1,031.
    explicit SelectionListIndex(std::uint32_t bucketCount = 0)
        : ChainedHashTable(bucketCount, "Overlapped Hash2 table.") {}

    // The list filed under `key` (compared byte for byte), or nullptr.
    SelectionList* Find(std::string_view key) const {
        const Node* node = FindNode(key);
        return node != nullptr ? node->value : nullptr;
    }
};

} // namespace marlo
