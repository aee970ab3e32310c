#pragma once

#include "radio/identityDigits.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace marlo {

// The modes the command line switched on.
struct ModeSwitches {
    int expert = 0;
    int factory = 0;
    int gene = 0;
    IdentityDigits identity = kNoIdentityDigits;
    std::string modeText; // the texts of the switches given, in argument order
};

// Reads "/expert", "/factory" and "/gene" from every argument, the program's own
// name included. Letter case does not matter, but an argument counts only when it
// is the whole switch ("/expert=1" is not "/expert"). Every match counts, in
// argument order: each appends its text to the mode text, and each "/factory"
// draws new identity digits. `expertText` is asked only when "/expert" is given,
// since its text comes from the overlay.
ModeSwitches readModeSwitches(const std::vector<std::string>& args,
                              const std::function<std::string()>& expertText, std::uint32_t seed);

// The file the command line names: the first argument after the program's own
// name that is not one of the switches. Any other word, even one that starts
// with "/", is a path. Empty when there is none.
std::string commandLineFile(const std::vector<std::string>& args);

} // namespace marlo
