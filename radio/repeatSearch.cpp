#include "radio/repeatSearch.h"

#include "radio/ListEntry.h"

#include <algorithm>

namespace cmcRepeat {

namespace {

// True when `same` holds for an earlier used entry of the list.
template <typename Same>
bool earlierUsed(const ListEntry& entry, Same same) {
    if (!entry.isUsed())
        return false;
    ListEntry other(entry.image());
    for (std::int32_t j = entry.index - 1; j >= ListEntry::firstIndex(entry.type); --j) {
        other.load(entry.type, j);
        if (other.isUsed() && same(other))
            return true;
    }
    return false;
}

} // namespace

bool channelNumber(const ListEntry& entry) {
    // Only the numbers are compared, so only they are read: the search runs for
    // every channel-number cell of a repaint.
    if (!entry.isUsed() || entry.type != listUserChannel)
        return false;
    for (std::int32_t j = entry.index - 1; j >= ListEntry::firstIndex(listUserChannel); --j) {
        if (entry.channelNumberOf(j) == entry.channelNumber)
            return true;
    }
    return false;
}

bool selCallId(const ListEntry& entry, bool longIds) {
    const std::size_t from = longIds ? 0 : 1;
    return earlierUsed(entry, [&](const ListEntry& other) {
        return std::equal(entry.callId.begin() + from, entry.callId.end(),
                          other.callId.begin() + from);
    });
}

bool telNumber(const ListEntry& entry) {
    return earlierUsed(entry,
                       [&](const ListEntry& other) { return other.telNumber == entry.telNumber; });
}

} // namespace cmcRepeat
