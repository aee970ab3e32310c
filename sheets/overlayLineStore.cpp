#include "sheets/overlayLineStore.h"

namespace marlo {

OverlayLineStore::OverlayLineStore(std::vector<std::string> lines) : lines_(std::move(lines)) {
    lines_.emplace_back("#End_Of_Ovl");
    pointers_.reserve(lines_.size());
    for (const auto& line : lines_)
        pointers_.push_back(line.c_str());
    store_.SetLines(pointers_);
}

} // namespace marlo
