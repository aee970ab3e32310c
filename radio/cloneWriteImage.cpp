#include "radio/cloneWriteImage.h"

#include "core/memoryImage.h"
#include "radio/listRecord.h"

namespace marlo {

namespace {

constexpr std::size_t firmwareOffset = 24;

std::uint32_t bigEndian(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]};
}

void giveScanGroupToGroupZero(MemoryImage& image) {
    ListRecord channel(&image);
    for (std::int32_t i = ListRecord::FirstIndex(listUserChannel);
         i <= ListRecord::LastIndex(listUserChannel); ++i) {
        channel.Load(listUserChannel, i);
        if (channel.scanGroup == 0) {
            channel.scanGroup = 1;
            channel.Store(listUserChannel, i);
        }
    }
}

} // namespace

bool firmwareBeforeScanGroupFix(const RadioInfo& info) {
    static constexpr std::uint8_t fixed[] = {'3', '4', '0', '0'};
    return bigEndian(info.block.data() + firmwareOffset) < bigEndian(fixed);
}

CloneWriteImage makeCloneWriteImage(const MemoryImage& prepared, const RadioInfo& info,
                                    bool factory) {
    CloneWriteImage out;
    out.image = std::make_unique<MemoryImage>();
    out.image->Assign(prepared);
    if (firmwareBeforeScanGroupFix(info))
        giveScanGroupToGroupZero(*out.image);
    out.ranges = factory ? RangeList(marloModel::writeRangeFactory)
                         : RangeList(marloModel::writeRangeNormal);
    return out;
}

} // namespace marlo
