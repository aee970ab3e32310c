#pragma once

#include "overlay/overlayTexts.h"

#include <string>
#include <vector>

namespace marlo {

// An overlay store over lines that it owns, for built-in entries (the bit
// picker's sheet) and for tests. "#End_Of_Ovl" is appended, so reading past the
// last entry stops there as it does in the overlay file.
class OverlayLineStore {
public:
    explicit OverlayLineStore(std::vector<std::string> lines);
    OverlayLineStore(const OverlayLineStore&) = delete;
    OverlayLineStore& operator=(const OverlayLineStore&) = delete;

    OverlayTexts& Store() { return store_; }

private:
    std::vector<std::string> lines_;
    std::vector<const char*> pointers_;
    OverlayTexts store_;
};

} // namespace marlo
