#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>

namespace marlo {

// The last lines read from the overlay file, keyed by the offset where each one
// starts. Sheets re-read the same few entries over and over while drawing; this
// keeps those reads off the file.
class OverlayLineCache {
public:
    static constexpr std::size_t kCapacity = 64;

    struct Node {
        std::uint64_t start = 0;
        std::uint64_t length = 0; // offsets the line spans in the file, line end included
        std::string text;         // with its line end
    };

    // The line cached for `start`, which becomes the most recently used; nullptr
    // when none is.
    const Node* Find(std::uint64_t start);
    // Stores a line as the most recently used, dropping the least recently used
    // one when the cache is full.
    void Add(std::uint64_t start, std::uint64_t length, const std::string& text);

    std::size_t Size() const { return nodes_.size(); }

private:
    std::list<Node> nodes_; // most recently used first
};

} // namespace marlo
