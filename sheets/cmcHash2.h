#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct cmcSelList;

// The string-keyed index of the selection lists: a chained hash table of a fixed
// number of buckets whose values are borrowed lists. A key filed twice is a
// program error.
class cmcHash2 {
public:
    // 0 buckets means 1,031.
    explicit cmcHash2(std::uint32_t bucketCount = 0);
    ~cmcHash2();
    cmcHash2(const cmcHash2&) = delete;
    cmcHash2& operator=(const cmcHash2&) = delete;

    // Ends the program with "Overlapped Hash2 table." when the key is present.
    void Add(std::string_view key, cmcSelList* list);
    // The list filed under `key` (compared byte for byte), or nullptr.
    cmcSelList* Find(std::string_view key) const;

    std::uint32_t BucketCount() const { return bucketCount_; }
    // The same hash as the name tables use.
    static std::uint32_t Bucket(std::string_view key, std::uint32_t bucketCount);

private:
    struct Node {
        std::string key;
        cmcSelList* list;
        std::unique_ptr<Node> next;
    };

    std::uint32_t bucketCount_;
    std::vector<std::unique_ptr<Node>> buckets_;
};
