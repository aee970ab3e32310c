#include "core/cmcRecent.h"

#include <algorithm>

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

cmcRecent::cmcRecent(int capacity) : capacity_(std::max(capacity, 0)) {}

void cmcRecent::Remove(const std::string& name) {
    std::erase(names_, name);
}

void cmcRecent::AddFirst(const std::string& name) {
    if (name.empty())
        return;
    Remove(name);
    names_.insert(names_.begin(), name);
    trim();
}

void cmcRecent::AddLast(const std::string& name) {
    if (name.empty())
        return;
    Remove(name);
    names_.push_back(name);
    trim();
}

std::string cmcRecent::Item(int index) const {
    if (index < 0 || index >= Count())
        return {};
    return names_[static_cast<std::size_t>(index)];
}

std::string cmcRecent::DisplayName(int index, const std::string& directory) const {
    const std::string path = Item(index);
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return path;
    const std::string entryDir = withoutTrailingSlashes(path.substr(0, slash));
    if (entryDir != withoutTrailingSlashes(directory))
        return path;
    return path.substr(slash + 1);
}

void cmcRecent::trim() {
    if (names_.size() > static_cast<std::size_t>(capacity_))
        names_.resize(static_cast<std::size_t>(capacity_));
}
