#include "core/recentFiles.h"

#include <algorithm>

namespace marlo {

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

RecentFiles::RecentFiles(int capacity) : capacity_(std::max(capacity, 0)) {}

void RecentFiles::Remove(const std::string& name) {
    std::erase(names_, name);
}

void RecentFiles::AddFirst(const std::string& name) {
    if (name.empty())
        return;
    Remove(name);
    names_.insert(names_.begin(), name);
    Trim();
}

void RecentFiles::AddLast(const std::string& name) {
    if (name.empty())
        return;
    Remove(name);
    names_.push_back(name);
    Trim();
}

std::string RecentFiles::Item(int index) const {
    if (index < 0 || index >= Count())
        return {};
    return names_[static_cast<std::size_t>(index)];
}

std::string RecentFiles::DisplayName(int index, const std::string& directory) const {
    const std::string path = Item(index);
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return path;
    const std::string entryDir = withoutTrailingSlashes(path.substr(0, slash));
    if (entryDir != withoutTrailingSlashes(directory))
        return path;
    return path.substr(slash + 1);
}

void RecentFiles::Trim() {
    if (names_.size() > static_cast<std::size_t>(capacity_))
        names_.resize(static_cast<std::size_t>(capacity_));
}

} // namespace marlo
