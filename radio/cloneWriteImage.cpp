#include "radio/cloneWriteImage.h"

#include "core/cmcEeprom.h"
#include "radio/ListEntry.h"

namespace {

constexpr std::size_t firmwareOffset = 24;

std::uint32_t bigEndian(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]};
}

void giveScanGroupToGroupZero(cmcEeprom& image) {
    ListEntry channel(&image);
    for (std::int32_t i = ListEntry::firstIndex(listUserChannel);
         i <= ListEntry::lastIndex(listUserChannel); ++i) {
        channel.load(listUserChannel, i);
        if (channel.scanGroup == 0) {
            channel.scanGroup = 1;
            channel.store(listUserChannel, i);
        }
    }
}

} // namespace

bool cmcFirmwareBeforeScanGroupFix(const dstRadioInfo& info) {
    static constexpr std::uint8_t fixed[] = {'3', '4', '0', '0'};
    return bigEndian(info.block.data() + firmwareOffset) < bigEndian(fixed);
}

dstCloneWriteImage cmcMakeCloneWriteImage(const cmcEeprom& prepared, const dstRadioInfo& info,
                                          bool factory) {
    dstCloneWriteImage out;
    out.image = std::make_unique<cmcEeprom>();
    out.image->Assign(prepared);
    if (cmcFirmwareBeforeScanGroupFix(info))
        giveScanGroupToGroupZero(*out.image);
    out.ranges = factory ? cmcRangeList(marloModel::writeRangeFactory)
                         : cmcRangeList(marloModel::writeRangeNormal);
    return out;
}
