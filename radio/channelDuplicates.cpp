#include "radio/channelDuplicates.h"

#include "radio/listRecord.h"

#include <map>
#include <tuple>

namespace marlo {

std::vector<std::int32_t> duplicateChannels(MemoryImage& image) {
    using Key = std::tuple<std::int32_t, std::int32_t, std::int32_t>;
    const std::int32_t lo = ListRecord::FirstIndex(listUserChannel);
    const std::int32_t hi = ListRecord::LastIndex(listUserChannel);
    ListRecord channel(&image);
    std::vector<std::pair<std::int32_t, Key>> used;
    std::map<Key, int> counts;
    for (std::int32_t i = lo; i <= hi; ++i) {
        channel.Load(listUserChannel, i);
        if (!channel.isUsed())
            continue;
        const std::int32_t rx =
            (channel.state & ListRecord::stateRxEmpty) != 0 ? 0 : channel.rxFrequency;
        const std::int32_t tx =
            (channel.state & ListRecord::stateTxEmpty) != 0 ? 0 : channel.txFrequency;
        const Key key{rx, tx, channel.mode};
        used.emplace_back(i, key);
        ++counts[key];
    }
    std::vector<std::int32_t> sharing;
    for (const auto& [slot, key] : used)
        if (counts[key] > 1)
            sharing.push_back(slot);
    return sharing;
}

} // namespace marlo
