#include "sheets/bitPickerSheet.h"

#include <algorithm>
#include <string>
#include <vector>

namespace marlo {

namespace {

std::vector<std::string> fbitsEntries(int bitCount) {
    const std::string key = BitPickerSheet::kSheetKey;
    std::string header;
    std::string bits;
    for (int bit = bitCount - 1; bit >= 0; --bit) {
        header += "|{($iChI)}" + std::to_string(bit) + "|";
        if (bit != bitCount - 1)
            bits += "{($iQp)}";
        bits += "|{($eWh)^(%CL_FBits[" + std::to_string(bit) + "])}9|";
    }
    const std::string menu = BitPickerSheet::kMenuKey;
    return {
        // The cell models: the base, the bit-number heading, the bit itself and
        // the short grey pillar between two bits.
        "#CellModel_Basic",
        "-<(Font=DEFAULT_CHARSET,,clWindowText,-16,,,)",
        "#CellModel_iChI",
        "^-WH(Color=clBtnFace)",
        "#CellModel_eWh",
        "S<_WHB",
        "#CellModel_iQp",
        "(%CT_Null.CL_Misc_QuarterPillar)",
        // The context menu of every cell: nothing to choose.
        "#" + menu + "_BasicCell",
        "{(%CT_PopupMenu.)}",
        "#" + menu + "_Body",
        "+No item\t{(%CL_PMenu_NoItem)}",
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

BitPickerSheet::BitPickerSheet(int bitCount)
    : OverlayLineStore(fbitsEntries(std::clamp(bitCount, 1, 32))) {}

} // namespace marlo
