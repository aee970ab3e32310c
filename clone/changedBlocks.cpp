#include "clone/changedBlocks.h"

#include "clone/cloneFrames.h"
#include "core/cmcEeprom.h"
#include "core/imageDifference.h"

#include <algorithm>

namespace {

constexpr std::int32_t block = cmcFrame::blockSize;

std::int32_t blockStart(std::int32_t address) {
    return address - address % block;
}

} // namespace

dstChangedBlocks cmcChangedBlocks(const cmcEeprom& prepared, const cmcEeprom& base,
                                  cmcRangeList writeRanges) {
    dstChangedBlocks changes;
    std::vector<cmcRange>& out = changes.ranges;
    cmcForEachRange(writeRanges, prepared.Size(), [&](std::int32_t first, std::int32_t last) {
        // One range at a time, so that a block never reaches into the next range.
        const cmcRange range{first, last};
        for (const cmcRange& run : cmcDifferingRanges(prepared, base, cmcRangeList(&range, 1))) {
            const cmcRange blocks{std::max(first, blockStart(run.first)),
                                  std::min(last, blockStart(run.last) + block - 1)};
            if (!out.empty() && out.back().last >= blocks.first - 1)
                out.back().last = std::max(out.back().last, blocks.last);
            else
                out.push_back(blocks);
        }
    });
    for (const cmcRange& r : out) {
        changes.blocks += r.last / block - r.first / block + 1;
        changes.bytes += r.last - r.first + 1;
    }
    out.push_back(cmcRangeEnd);
    return changes;
}

bool cmcWriteChangedBlocks(cmcCloneWriter& writer, const cmcEeprom& prepared,
                           const dstChangedBlocks& changes, cmcCloneWriter::Completion done) {
    if (changes.Empty() || writer.IsBusy())
        return false;
    writer.SetImageSize(prepared.Size());
    return writer.StartWrite(prepared, changes.List(), std::move(done));
}

void cmcApplyChangedBlocks(cmcEeprom& base, const cmcEeprom& prepared,
                           const dstChangedBlocks& changes) {
    cmcForEachRange(changes.List(), std::min(base.Size(), prepared.Size()),
                    [&](std::int32_t first, std::int32_t last) {
                        base.Write(first, prepared.Data() + first, last - first + 1);
                    });
}
