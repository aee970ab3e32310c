#include "radio/rowClipboard.h"

#include <algorithm>

namespace marlo {

std::int32_t RowClipboard::holdable(std::uint8_t listType, std::int32_t count) {
    if (listType == listNone || count < 1)
        return 0;
    return std::min(count, ListRecord::lastStoredIndex(listType) + 1);
}

void RowClipboard::clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    type_ = listNone;
    first_ = 0;
}

std::int32_t RowClipboard::makeRoom(std::uint8_t listType, std::int32_t first, std::int32_t count) {
    clear();
    const std::int32_t n = holdable(listType, count);
    if (n == 0)
        return 0;
    entries_.resize(static_cast<std::size_t>(n));
    type_ = listType;
    first_ = first;
    return n;
}

void RowClipboard::copyFrom(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                            std::int32_t count) {
    // Only rows of the list are held: a block reaching past its end is cut there.
    count = first < 0 ? 0 : std::min(count, ListRecord::lastStoredIndex(listType) - first + 1);
    const std::int32_t n = makeRoom(listType, first, count);
    for (std::int32_t i = 0; i < n; ++i)
        loadOne(image, listType, first + i, entries_[static_cast<std::size_t>(i)]);
}

void RowClipboard::loadOne(MemoryImage& image, std::uint8_t listType, std::int32_t entryIndex,
                           ListRecord& entry) {
    entry.bind(&image);
    entry.load(listType, entryIndex);
}

bool RowClipboard::accepts(std::uint8_t listType) const {
    return type_ != listNone && type_ == listType;
}

void RowClipboard::pasteTo(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                           std::int32_t count) {
    if (!accepts(listType))
        return;
    const std::int32_t n = std::min(heldCount(), count);
    for (std::int32_t i = 0; i < n; ++i)
        storeOne(image, listType, first + i, entries_[static_cast<std::size_t>(i)]);
}

void RowClipboard::storeOne(MemoryImage& image, std::uint8_t listType, std::int32_t entryIndex,
                            ListRecord& entry) {
    entry.bind(&image);
    entry.store(listType, entryIndex);
}

void RowClipboard::fillBlank(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                             std::int32_t count) {
    const std::int32_t n = makeRoom(listType, first, count);
    for (std::int32_t i = 0; i < n; ++i) {
        ListRecord& entry = entries_[static_cast<std::size_t>(i)];
        entry.bind(&image);
        entry.makeBlank(listType, first + i);
    }
}

ProgramRowClipboard::~ProgramRowClipboard() = default;

} // namespace marlo
