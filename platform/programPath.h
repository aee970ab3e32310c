#pragma once

#include <string>

namespace marlo {

// Where the running executable lies.
std::string programPath();     // full path of the executable
std::string programDir();      // its folder, ending with '/'
std::string programFileName(); // its name without folder

// The folder of the installation files (overlay, initial files, help), ending
// with '/': "../share/marlo/" from the executable's folder in an installed copy
// (bin/ beside share/), else the executable's own folder, as in a build folder.
std::string programFilesDir();
// The same rule from a given executable folder (ending with '/').
std::string programFilesDir(const std::string& executableDir);

} // namespace marlo
