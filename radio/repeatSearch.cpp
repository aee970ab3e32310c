#include "radio/repeatSearch.h"

#include "radio/listRecord.h"

#include <algorithm>

namespace marlo {

namespace repeatSearch {

namespace {

// True when `same` holds for an earlier used entry of the list.
template <typename Same>
bool earlierUsed(const ListRecord& entry, Same same) {
    if (!entry.isUsed())
        return false;
    ListRecord other(entry.image());
    for (std::int32_t j = entry.index - 1; j >= ListRecord::FirstIndex(entry.type); --j) {
        other.Load(entry.type, j);
        if (other.isUsed() && same(other))
            return true;
    }
    return false;
}

} // namespace

bool channelNumber(const ListRecord& entry) {
    // Only the numbers are compared, so only they are read: the search runs for
    // every channel-number cell of a repaint.
    if (!entry.isUsed() || entry.type != listUserChannel)
        return false;
    for (std::int32_t j = entry.index - 1; j >= ListRecord::FirstIndex(listUserChannel); --j) {
        if (entry.ChannelNumberOf(j) == entry.channelNumber)
            return true;
    }
    return false;
}

bool selCallId(const ListRecord& entry, bool longIds) {
    const std::size_t from = longIds ? 0 : 1;
    return earlierUsed(entry, [&](const ListRecord& other) {
        return std::equal(entry.callId.begin() + from, entry.callId.end(),
                          other.callId.begin() + from);
    });
}

bool telNumber(const ListRecord& entry) {
    return earlierUsed(entry,
                       [&](const ListRecord& other) { return other.telNumber == entry.telNumber; });
}

} // namespace repeatSearch

} // namespace marlo
