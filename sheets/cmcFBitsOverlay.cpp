#include "sheets/cmcFBitsOverlay.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> fbitsEntries(int bitCount) {
    const std::string key = cmcFBitsOverlay::kSheetKey;
    std::string header;
    std::string bits;
    for (int bit = bitCount - 1; bit >= 0; --bit) {
        header += "|{($iChI)}" + std::to_string(bit) + "|";
        if (bit != bitCount - 1)
            bits += "{($iQp)}";
        bits += "|{($eWh)^(%CL_FBits[" + std::to_string(bit) + "])}9|";
    }
    return {
        "#" + key + "_Style",
        "(FixedCols=1)(FixedRows=1)",
        "#" + key + "_BasicCell",
        "{($Basic)(PopupMenu=GI_PMenu_NoItem)}",
        "#" + key + "_Cells",
        "",
        header,
        "",
        bits,
        "",
        "",
        "#",
    };
}

} // namespace

cmcFBitsOverlay::cmcFBitsOverlay(int bitCount)
    : cmcLineStore(fbitsEntries(std::clamp(bitCount, 1, 32))) {}
