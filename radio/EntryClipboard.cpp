#include "radio/EntryClipboard.h"

#include <algorithm>

std::int32_t EntryClipboard::holdable(std::uint8_t listType, std::int32_t count) {
    if (listType == listNone || count < 1)
        return 0;
    return std::min(count, ListEntry::lastStoredIndex(listType) + 1);
}

void EntryClipboard::clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    type_ = listNone;
    first_ = 0;
}

std::int32_t EntryClipboard::makeRoom(std::uint8_t listType, std::int32_t first,
                                      std::int32_t count) {
    clear();
    const std::int32_t n = holdable(listType, count);
    if (n == 0)
        return 0;
    entries_.resize(static_cast<std::size_t>(n));
    type_ = listType;
    first_ = first;
    return n;
}

void EntryClipboard::copyFrom(cmcEeprom& image, std::uint8_t listType, std::int32_t first,
                              std::int32_t count) {
    // Only rows of the list are held: a block reaching past its end is cut there.
    count = first < 0 ? 0 : std::min(count, ListEntry::lastStoredIndex(listType) - first + 1);
    const std::int32_t n = makeRoom(listType, first, count);
    for (std::int32_t i = 0; i < n; ++i)
        loadOne(image, listType, first + i, entries_[static_cast<std::size_t>(i)]);
}

void EntryClipboard::loadOne(cmcEeprom& image, std::uint8_t listType, std::int32_t entryIndex,
                             ListEntry& entry) {
    entry.bind(&image);
    entry.load(listType, entryIndex);
}

bool EntryClipboard::accepts(std::uint8_t listType) const {
    return type_ != listNone && type_ == listType;
}

void EntryClipboard::pasteTo(cmcEeprom& image, std::uint8_t listType, std::int32_t first,
                             std::int32_t count) {
    if (!accepts(listType))
        return;
    const std::int32_t n = std::min(heldCount(), count);
    for (std::int32_t i = 0; i < n; ++i)
        storeOne(image, listType, first + i, entries_[static_cast<std::size_t>(i)]);
}

void EntryClipboard::storeOne(cmcEeprom& image, std::uint8_t listType, std::int32_t entryIndex,
                              ListEntry& entry) {
    entry.bind(&image);
    entry.store(listType, entryIndex);
}

void EntryClipboard::fillBlank(cmcEeprom& image, std::uint8_t listType, std::int32_t first,
                               std::int32_t count) {
    const std::int32_t n = makeRoom(listType, first, count);
    for (std::int32_t i = 0; i < n; ++i) {
        ListEntry& entry = entries_[static_cast<std::size_t>(i)];
        entry.bind(&image);
        entry.makeBlank(listType, first + i);
    }
}

indEntryClipboard::~indEntryClipboard() = default;
