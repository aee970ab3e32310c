#include "sheets/cmcHash2.h"

#include "overlay/cmcHash.h"
#include "platform/cmcFatal.h"

namespace {
constexpr std::uint32_t kDefaultBuckets = 1031;
}

cmcHash2::cmcHash2(std::uint32_t bucketCount)
    : bucketCount_(bucketCount == 0 ? kDefaultBuckets : bucketCount), buckets_(bucketCount_) {}

cmcHash2::~cmcHash2() {
    // One node at a time: a recursive teardown of a long chain could exhaust the stack.
    for (auto& head : buckets_) {
        while (head)
            head = std::move(head->next);
    }
}

void cmcHash2::Add(std::string_view key, cmcSelList* list) {
    if (Find(key) != nullptr)
        cmcFatal("Overlapped Hash2 table.");
    auto& head = buckets_[Bucket(key, bucketCount_)];
    head = std::make_unique<Node>(Node{std::string(key), list, std::move(head)});
}

cmcSelList* cmcHash2::Find(std::string_view key) const {
    for (const Node* node = buckets_[Bucket(key, bucketCount_)].get(); node != nullptr;
         node = node->next.get()) {
        if (node->key == key)
            return node->list;
    }
    return nullptr;
}

std::uint32_t cmcHash2::Bucket(std::string_view key, std::uint32_t bucketCount) {
    return cmcHash::Bucket(key, bucketCount == 0 ? kDefaultBuckets : bucketCount);
}
