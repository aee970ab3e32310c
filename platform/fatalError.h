#pragma once

#include <string>

namespace marlo {

// Ends the process after a program error or a broken installation file: the text
// always goes to stderr, a box captioned with the program's file name is shown
// when the installed prompter has windows, and the exit status is 3.
[[noreturn]] void fatalError(const std::string& text);

} // namespace marlo
