#pragma once

#include "clone/cmcCloneWriter.h"
#include "core/cmcRangeList.h"

#include <cstdint>
#include <vector>

class cmcEeprom;

// The blocks a write of only what changed sends: the 16-byte blocks of the
// write ranges (cut where a range begins or ends inside one) in which the image
// to send differs from what the radio holds, as a range list in address order.
// Neighbouring blocks share one range; the clone engine still sends one frame
// per block.
struct dstChangedBlocks {
    std::vector<cmcRange> ranges; // ended by cmcRangeEnd
    int blocks = 0;               // data frames on the wire
    std::int32_t bytes = 0;       // memory bytes on the wire

    bool Empty() const { return blocks == 0; }
    cmcRangeList List() const { return ranges; }
};

// Compares `prepared` (the image exactly as a full write would send it) with
// `base` (the radio's memory as last known) over `writeRanges`.
dstChangedBlocks cmcChangedBlocks(const cmcEeprom& prepared, const cmcEeprom& base,
                                  cmcRangeList writeRanges);

// Starts writing only `changes` of `prepared` through `writer`, in one write
// operation. `prepared` is borrowed until `done` has been called. False (and
// nothing sent, `done` never called) when there is nothing to send or the
// writer is busy.
bool cmcWriteChangedBlocks(cmcCloneWriter& writer, const cmcEeprom& prepared,
                           const dstChangedBlocks& changes, cmcCloneWriter::Completion done);

// What the radio holds after `changes` of `prepared` were written over `base`.
void cmcApplyChangedBlocks(cmcEeprom& base, const cmcEeprom& prepared,
                           const dstChangedBlocks& changes);
