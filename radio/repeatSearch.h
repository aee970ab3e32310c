#pragma once

#include <cstdint>

class ListEntry;

// The searches behind the repeat marks of list keys: does an earlier used entry
// of the same list hold the same key? Each walks from the entry before `entry`
// down to the first one and stops at the first hit; an unused entry repeats
// nothing. `entry` is loaded and bound to the image searched.
namespace cmcRepeat {

// User channel numbers.
bool channelNumber(const ListEntry& entry);
// Selective-call IDs: all three bytes with long IDs, else the last two.
bool selCallId(const ListEntry& entry, bool longIds);
// Telephone numbers: all eight bytes.
bool telNumber(const ListEntry& entry);

} // namespace cmcRepeat
