#pragma once

#include <string>
#include <vector>

namespace marlo {

// marlo-clone's spreadsheet and comparison commands; each returns the exit
// status, or -1 for a usage error (the caller prints the usage).
//
//   export FILE --list LIST [-o OUT.csv]        one list of FILE as CSV
//   import FILE --list LIST CSV [-o OUT] [--expert]
//                                               the CSV into that list, saved to OUT or FILE
//   diff A B                                    what differs between two files
namespace marloCloneExit {
inline constexpr int different = 1;     // diff: the files differ
inline constexpr int dataRefused = 65;  // import: the table was refused; nothing written
inline constexpr int noInput = 66;      // import: the table cannot be read
inline constexpr int cannotCreate = 73; // export: the output cannot be written
} // namespace marloCloneExit

int runExportCommand(const std::vector<std::string>& args);
int runImportCommand(const std::vector<std::string>& args);
int runDiffCommand(const std::vector<std::string>& args);

} // namespace marlo
