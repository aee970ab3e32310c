#pragma once

#include <cstdint>

namespace marlo {

class CellRequest;
class CellContext;
class MemoryImage;
class ListRecord;

// The row operations of a list sheet's context menu: Copy, Paste, Carry up,
// Carry down, Clear, Delete and Insert (`command` is the item's label), on the
// rows lo..hi of the list that `entry` (loaded from the document) belongs to.
//
// The rows worked on are the request's selected block when it has one, else the
// entry's row. The block the sheet selects afterwards comes back in the request's
// block (NewBlock set); when the cursor must follow the rows, the request is
// redirected to outIndex. Questions go through the prompter, status texts and
// repaints through the hub. Nothing is ever written outside lo..hi, and every
// refusal (outside the list, another list's clipboard, the end of the list, a
// list without row moves, Cancel, too many ALE channels) leaves the image as it
// was.
void runRowOperation(std::int32_t command, CellContext& context, CellRequest& request,
                     ListRecord& entry, std::int32_t lo, std::int32_t hi);

// Orders the 500 user channels by channel number, empty slots last; channels of
// the same number keep their order.
void sortUserChannels(MemoryImage& image);

} // namespace marlo
