#pragma once

#include "overlay/cmcGTex.h"

#include <string>
#include <vector>

// An overlay store over lines that it owns, for built-in entries (the bit
// picker's sheet) and for tests. "#End_Of_Ovl" is appended, so reading past the
// last entry stops there as it does in the overlay file.
class cmcLineStore {
public:
    explicit cmcLineStore(std::vector<std::string> lines);
    cmcLineStore(const cmcLineStore&) = delete;
    cmcLineStore& operator=(const cmcLineStore&) = delete;

    cmcGTex& Store() { return store_; }

private:
    std::vector<std::string> lines_;
    std::vector<const char*> pointers_;
    cmcGTex store_;
};
