#pragma once

#include "overlay/cmcChainedHash.h"

#include <cstdint>
#include <string_view>

struct cmcSelList;

// The string-keyed index of the selection lists, whose values are borrowed lists.
class cmcHash2 : public cmcChainedHash<cmcSelList*> {
public:
    // 0 buckets means 1,031.
    explicit cmcHash2(std::uint32_t bucketCount = 0)
        : cmcChainedHash(bucketCount, "Overlapped Hash2 table.") {}

    // The list filed under `key` (compared byte for byte), or nullptr.
    cmcSelList* Find(std::string_view key) const {
        const Node* node = FindNode(key);
        return node != nullptr ? node->value : nullptr;
    }
};
