#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Chained hash table from names to 32-bit values, filled once from a built-in
// name table and then only searched. A name added twice is a program error.
class cmcHash {
public:
    struct Node {
        std::string key;
        std::uint32_t value = 0;
        std::unique_ptr<Node> next;
    };

    // 0 buckets means 1,031.
    explicit cmcHash(std::uint32_t bucketCount = 0);
    ~cmcHash();
    cmcHash(const cmcHash&) = delete;
    cmcHash& operator=(const cmcHash&) = delete;

    // Ends the program with "Overlapped Hash table." when the key is present.
    void Add(std::string_view key, std::uint32_t value);
    // The node whose key equals `key` byte for byte, or nullptr.
    const Node* Find(std::string_view key) const;

    std::uint32_t BucketCount() const { return bucketCount_; }
    // The bucket of `key` in a table of `bucketCount` buckets (0 counts as 1,031).
    static std::uint32_t Bucket(std::string_view key, std::uint32_t bucketCount);

private:
    std::uint32_t bucketCount_;
    std::vector<std::unique_ptr<Node>> buckets_;
};
