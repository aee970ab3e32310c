#pragma once

#include "clone/cloneWriter.h"
#include "core/rangeList.h"

#include <cstdint>
#include <vector>

namespace marlo {

class MemoryImage;

// The blocks a write of only what changed sends: the 16-byte blocks of the
// write ranges (cut where a range begins or ends inside one) in which the image
// to send differs from what the radio holds, as a range list in address order.
// Neighbouring blocks share one range; the clone engine still sends one frame
// per block.
struct ChangedBlocks {
    std::vector<AddressRange> ranges; // ended by kRangeEnd
    int blocks = 0;                   // data frames on the wire
    std::int32_t bytes = 0;           // memory bytes on the wire

    bool Empty() const { return blocks == 0; }
    RangeList List() const { return ranges; }
};

// Compares `prepared` (the image exactly as a full write would send it) with
// `base` (the radio's memory as last known) over `writeRanges`.
ChangedBlocks changedBlocksBetween(const MemoryImage& prepared, const MemoryImage& base,
                                   RangeList writeRanges);

// Starts writing only `changes` of `prepared` through `writer`, in one write
// operation. `prepared` is borrowed until `done` has been called. False (and
// nothing sent, `done` never called) when there is nothing to send or the
// writer is busy.
bool writeChangedBlocks(CloneWriter& writer, const MemoryImage& prepared,
                        const ChangedBlocks& changes, CloneWriter::Completion done);

// What the radio holds after `changes` of `prepared` were written over `base`.
void applyChangedBlocks(MemoryImage& base, const MemoryImage& prepared,
                        const ChangedBlocks& changes);

} // namespace marlo
