#include "clone/changedBlocks.h"

#include "clone/cloneFrames.h"
#include "core/imageDifference.h"
#include "core/memoryImage.h"

#include <algorithm>

namespace marlo {

namespace {

constexpr std::int32_t block = cloneFrame::blockSize;

std::int32_t blockStart(std::int32_t address) {
    return address - address % block;
}

} // namespace

ChangedBlocks changedBlocksBetween(const MemoryImage& prepared, const MemoryImage& base,
                                   RangeList writeRanges) {
    ChangedBlocks changes;
    std::vector<AddressRange>& out = changes.ranges;
    forEachRange(writeRanges, prepared.Size(), [&](std::int32_t first, std::int32_t last) {
        // One range at a time, so that a block never reaches into the next range.
        const AddressRange range{first, last};
        for (const AddressRange& run : differingRanges(prepared, base, RangeList(&range, 1))) {
            const AddressRange blocks{std::max(first, blockStart(run.first)),
                                      std::min(last, blockStart(run.last) + block - 1)};
            if (!out.empty() && out.back().last >= blocks.first - 1)
                out.back().last = std::max(out.back().last, blocks.last);
            else
                out.push_back(blocks);
        }
    });
    for (const AddressRange& r : out) {
        changes.blocks += r.last / block - r.first / block + 1;
        changes.bytes += r.last - r.first + 1;
    }
    out.push_back(kRangeEnd);
    return changes;
}

bool writeChangedBlocks(CloneWriter& writer, const MemoryImage& prepared,
                        const ChangedBlocks& changes, CloneWriter::Completion done) {
    if (changes.Empty() || writer.IsBusy())
        return false;
    writer.SetImageSize(prepared.Size());
    return writer.StartWrite(prepared, changes.List(), std::move(done));
}

void applyChangedBlocks(MemoryImage& base, const MemoryImage& prepared,
                        const ChangedBlocks& changes) {
    forEachRange(changes.List(), std::min(base.Size(), prepared.Size()),
                 [&](std::int32_t first, std::int32_t last) {
                     base.Write(first, prepared.Data() + first, last - first + 1);
                 });
}

} // namespace marlo
