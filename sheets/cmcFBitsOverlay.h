#pragma once

#include "sheets/cmcLineStore.h"

// The bit picker's sheet, built into the program rather than the overlay file:
// a header row with the bit numbers and a row of one cell per bit (label
// CL_FBits, index = bit number, highest bit first), with a narrow separator
// column between bits. Its cell models come from the overlay file.
class cmcFBitsOverlay : public cmcLineStore {
public:
    static constexpr const char* kSheetKey = "GI_Sheet_FBitsR";

    explicit cmcFBitsOverlay(int bitCount = 8);
};
