#include "core/cmcRecent.h"

#include <QString>

#include <algorithm>

namespace {

// Paths are UTF-8, so letter case is compared by Qt rather than byte by byte.
bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return QString::compare(QString::fromStdString(a), QString::fromStdString(b),
                            Qt::CaseInsensitive) == 0;
}

std::string withoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

cmcRecent::cmcRecent(int capacity) : capacity_(std::max(capacity, 0)) {}

void cmcRecent::Remove(const std::string& name) {
    std::erase_if(names_, [&](const std::string& entry) { return sameIgnoringCase(entry, name); });
}

void cmcRecent::AddFirst(const std::string& name) {
    Remove(name);
    names_.insert(names_.begin(), name);
    trim();
}

void cmcRecent::AddLast(const std::string& name) {
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
    if (!sameIgnoringCase(entryDir, withoutTrailingSlashes(directory)))
        return path;
    return path.substr(slash + 1);
}

void cmcRecent::trim() {
    if (names_.size() > static_cast<std::size_t>(capacity_))
        names_.resize(static_cast<std::size_t>(capacity_));
}
