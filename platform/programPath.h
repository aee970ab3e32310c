#pragma once

#include <string>

// Where the running executable lies; its installation files sit beside it.
std::string programPath();     // full path of the executable
std::string programDir();      // its folder, ending with '/'
std::string programFileName(); // its name without folder
