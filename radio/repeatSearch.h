#pragma once

#include <cstdint>

namespace marlo {

class ListRecord;

// The searches behind the repeat marks of list keys: does an earlier used entry
// of the same list hold the same key? Each walks from the entry before `entry`
// down to the first one and stops at the first hit; an unused entry repeats
// nothing. `entry` is loaded and bound to the image searched.
namespace repeatSearch {

// User channel numbers.
bool channelNumber(const ListRecord& entry);
// Selective-call IDs: all three bytes with long IDs, else the last two.
bool selCallId(const ListRecord& entry, bool longIds);
// Telephone numbers: all eight bytes.
bool telNumber(const ListRecord& entry);

} // namespace repeatSearch

} // namespace marlo
