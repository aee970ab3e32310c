#include "overlay/cmcHash.h"

#include "platform/cmcFatal.h"

namespace {
constexpr std::uint32_t kDefaultBuckets = 1031;
}

cmcHash::cmcHash(std::uint32_t bucketCount)
    : bucketCount_(bucketCount == 0 ? kDefaultBuckets : bucketCount), buckets_(bucketCount_) {}

// Chains are unlinked one node at a time: a long chain must not recurse through
// the nodes' own destructors.
cmcHash::~cmcHash() {
    for (std::unique_ptr<Node>& head : buckets_) {
        while (head)
            head = std::move(head->next);
    }
}

void cmcHash::Add(std::string_view key, std::uint32_t value) {
    if (Find(key))
        cmcFatal("Overlapped Hash table.");
    std::unique_ptr<Node>& head = buckets_[Bucket(key, bucketCount_)];
    auto node = std::make_unique<Node>();
    node->key = std::string(key);
    node->value = value;
    node->next = std::move(head);
    head = std::move(node);
}

const cmcHash::Node* cmcHash::Find(std::string_view key) const {
    for (const Node* node = buckets_[Bucket(key, bucketCount_)].get(); node;
         node = node->next.get()) {
        if (node->key == key)
            return node;
    }
    return nullptr;
}

std::uint32_t cmcHash::Bucket(std::string_view key, std::uint32_t bucketCount) {
    if (bucketCount == 0)
        bucketCount = kDefaultBuckets;
    const std::uint32_t initialShift = bucketCount / 2;
    std::uint32_t shift = initialShift;
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        // Characters count as signed bytes; the sum wraps in 32 bits.
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
