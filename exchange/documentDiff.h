#pragma once

#include "core/cmcRangeList.h"

#include <span>
#include <string>
#include <vector>

class cmcCellContext;
class cmcEeprom;

// One image as the comparison reads it.
struct dstDiffSide {
    cmcEeprom& image;
    int variant;
};

// What differs between two documents, one line each, in this order:
//
//   channels slot 12: rx_khz 7053.4 -> 7055.0
//   settings TxPwrSel: High -> Low
//   phone slot 3: stored bytes differ where nothing shown differs (0x63E8)
//   bytes 0x6C2C..0x6C2D: 56 45 -> 58 58
//
// Every cell of every exchanged list is compared by the text it shows. An entry
// or setting whose cells show the same but whose own bytes differ says so, and
// bytes that belong to no list entry or setting are listed by address. Only the
// addresses within `ranges` are compared. No lines: the two are the same.
std::vector<std::string> diffDocuments(cmcCellContext& context, dstDiffSide a, dstDiffSide b,
                                       std::span<const cmcRange> ranges);
