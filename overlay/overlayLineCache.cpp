#include "overlay/overlayLineCache.h"

namespace marlo {

const OverlayLineCache::Node* OverlayLineCache::Find(std::uint64_t start) {
    for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
        if (it->start == start) {
            nodes_.splice(nodes_.begin(), nodes_, it);
            return &nodes_.front();
        }
    }
    return nullptr;
}

void OverlayLineCache::Add(std::uint64_t start, std::uint64_t length, const std::string& text) {
    if (nodes_.size() >= kCapacity)
        nodes_.pop_back();
    nodes_.push_front(Node{start, length, text});
}

} // namespace marlo
