#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

// The bucket of `key` in a table of `bucketCount` buckets (0 counts as 1,031):
// characters count as signed bytes and the sum wraps in 32 bits.
std::uint32_t nameBucket(std::string_view key, std::uint32_t bucketCount);
// Ends the program: a table was given a key it already holds.
[[noreturn]] void failRepeatedKey(const char* message);

// A chained hash table from names to values, filled once from a built-in table
// and then only searched. A name added twice is a program error and ends the
// program with the table's own message. New nodes go to the head of their chain.
template <typename Value>
class ChainedHashTable {
public:
    struct Node {
        std::string key;
        Value value{};
        std::unique_ptr<Node> next;
    };

    static constexpr std::uint32_t kDefaultBuckets = 1031;

    // 0 buckets means 1,031. `overlapMessage` must outlive the table.
    ChainedHashTable(std::uint32_t bucketCount, const char* overlapMessage)
        : bucketCount_(bucketCount == 0 ? kDefaultBuckets : bucketCount), buckets_(bucketCount_),
          overlapMessage_(overlapMessage) {}
    // Chains are unlinked one node at a time: a long chain must not recurse
    // through the nodes' own destructors.
    ~ChainedHashTable() {
        for (std::unique_ptr<Node>& head : buckets_) {
            while (head)
                head = std::move(head->next);
        }
    }
    ChainedHashTable(const ChainedHashTable&) = delete;
    ChainedHashTable& operator=(const ChainedHashTable&) = delete;

    void Add(std::string_view key, Value value) {
        if (FindNode(key) != nullptr)
            failRepeatedKey(overlapMessage_);
        std::unique_ptr<Node>& head = buckets_[Bucket(key, bucketCount_)];
        head = std::make_unique<Node>(Node{std::string(key), std::move(value), std::move(head)});
    }
    // The node whose key equals `key` byte for byte, or nullptr.
    const Node* FindNode(std::string_view key) const {
        for (const Node* node = buckets_[Bucket(key, bucketCount_)].get(); node != nullptr;
             node = node->next.get()) {
            if (node->key == key)
                return node;
        }
        return nullptr;
    }

    std::uint32_t BucketCount() const { return bucketCount_; }
    static std::uint32_t Bucket(std::string_view key, std::uint32_t bucketCount) {
        return nameBucket(key, bucketCount);
    }

private:
    std::uint32_t bucketCount_;
    std::vector<std::unique_ptr<Node>> buckets_;
    const char* overlapMessage_;
};

} // namespace marlo
