#pragma once

#include "sheets/overlayLineStore.h"

namespace marlo {

// The bit picker's sheet, built into the program rather than the overlay file:
// a header row with the bit numbers and a row of one cell per bit (label
// CL_FBits, index = bit number, highest bit first), with a narrow separator
// column between bits. The store is complete by itself: it also holds the cell
// models the sheet names and the sheet's (empty) context menu, so the picker is
// built the same whatever the installed overlay file holds.
class BitPickerSheet : public OverlayLineStore {
public:
    static constexpr const char* kSheetKey = "GI_Sheet_FBitsR";
    static constexpr const char* kMenuKey = "GI_PMenu_NoItem";

    explicit BitPickerSheet(int bitCount = 8);
};

} // namespace marlo
