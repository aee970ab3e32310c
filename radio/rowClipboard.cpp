#include "radio/rowClipboard.h"

#include <algorithm>

namespace marlo {

std::int32_t RowClipboard::Holdable(std::uint8_t listType, std::int32_t count) {
    if (listType == listNone || count < 1)
        return 0;
    return std::min(count, ListRecord::LastStoredIndex(listType) + 1);
}

void RowClipboard::Clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    type_ = listNone;
    first_ = 0;
}

std::int32_t RowClipboard::MakeRoom(std::uint8_t listType, std::int32_t first, std::int32_t count) {
    Clear();
    const std::int32_t n = Holdable(listType, count);
    if (n == 0)
        return 0;
    entries_.resize(static_cast<std::size_t>(n));
    type_ = listType;
    first_ = first;
    return n;
}

void RowClipboard::CopyFrom(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                            std::int32_t count) {
    // Only rows of the list are held: a block reaching past its end is cut there.
    count = first < 0 ? 0 : std::min(count, ListRecord::LastStoredIndex(listType) - first + 1);
    const std::int32_t n = MakeRoom(listType, first, count);
    for (std::int32_t i = 0; i < n; ++i)
        LoadOne(image, listType, first + i, entries_[static_cast<std::size_t>(i)]);
}

void RowClipboard::LoadOne(MemoryImage& image, std::uint8_t listType, std::int32_t entryIndex,
                           ListRecord& entry) {
    entry.Bind(&image);
    entry.Load(listType, entryIndex);
}

bool RowClipboard::Accepts(std::uint8_t listType) const {
    return type_ != listNone && type_ == listType;
}

void RowClipboard::PasteTo(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                           std::int32_t count) {
    if (!Accepts(listType))
        return;
    const std::int32_t n = std::min(heldCount(), count);
    for (std::int32_t i = 0; i < n; ++i)
        StoreOne(image, listType, first + i, entries_[static_cast<std::size_t>(i)]);
}

void RowClipboard::StoreOne(MemoryImage& image, std::uint8_t listType, std::int32_t entryIndex,
                            ListRecord& entry) {
    entry.Bind(&image);
    entry.Store(listType, entryIndex);
}

void RowClipboard::FillBlank(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                             std::int32_t count) {
    const std::int32_t n = MakeRoom(listType, first, count);
    for (std::int32_t i = 0; i < n; ++i) {
        ListRecord& entry = entries_[static_cast<std::size_t>(i)];
        entry.Bind(&image);
        entry.MakeBlank(listType, first + i);
    }
}

ProgramRowClipboard::~ProgramRowClipboard() = default;

} // namespace marlo
