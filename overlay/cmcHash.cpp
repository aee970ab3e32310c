#include "overlay/cmcHash.h"

#include "platform/cmcFatal.h"

namespace {
constexpr std::uint32_t kDefaultBuckets = 1031;
}

cmcHash::cmcHash(std::uint32_t bucketCount)
    : bucketCount_(bucketCount == 0 ? kDefaultBuckets : bucketCount), buckets_(bucketCount_) {}

cmcHash::~cmcHash() {
    // Unlink chains one node at a time; a recursive unique_ptr teardown of a
    // long chain could run out of stack.
    for (auto& head : buckets_) {
        while (head)
            head = std::move(head->next);
    }
}

void cmcHash::Add(std::string_view key, std::uint32_t value) {
    if (Find(key) != nullptr)
        cmcFatal("Overlapped Hash table.");
    auto node = std::make_unique<Node>();
    node->key = key;
    node->value = value;
    auto& head = buckets_[Bucket(key, bucketCount_)];
    node->next = std::move(head);
    head = std::move(node);
}

const cmcHash::Node* cmcHash::Find(std::string_view key) const {
    for (const Node* node = buckets_[Bucket(key, bucketCount_)].get(); node != nullptr;
         node = node->next.get()) {
        if (node->key == key)
            return node;
    }
    return nullptr;
}

std::uint32_t cmcHash::Bucket(std::string_view key, std::uint32_t bucketCount) {
    if (bucketCount == 0)
        bucketCount = kDefaultBuckets;
    const std::uint32_t half = bucketCount / 2;
    std::uint32_t shift = half;
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        // Characters count as signed bytes, so bytes of 0x80 and above subtract.
        const auto ch =
            static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(key[i])));
        h = 2 * h + shift + ch;
        const char next = i + 1 < key.size() ? key[i + 1] : '\0';
        if ((static_cast<unsigned char>(next) & 1) != 0) {
            shift /= 2;
            if (shift == 0)
                shift = half;
        }
    }
    return h % bucketCount;
}
