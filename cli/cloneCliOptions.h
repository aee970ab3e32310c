#pragma once

#include "clone/cloneManager.h"

#include <optional>
#include <string>
#include <vector>

namespace marlo {

// The options of marlo-clone's radio commands:
//   info  [--port N | --device PATH] [--variant V]
//   read  [--port N | --device PATH] [--variant V] -o FILE
//   write [--port N | --device PATH] [--variant V] [--backup FILE]
//         [--changes-from BASE] [--verify] FILE
//   diff  FILE --radio [--port N | --device PATH]   (the variant is FILE's)
enum class CloneCliCommand { Info, Read, Write, Diff };

struct CloneCliOptions {
    ClonePort port;             // neither number nor device: the port setting
    std::optional<int> variant; // none: the variant setting
    std::string file;           // read: -o FILE; write, diff: FILE
    std::string backup;         // write: the radio's memory is first saved here
    std::string changesFrom;    // write: send only what differs from this file
    bool changesOnly = false;   // write with a backup: send only what differs from it (fleet)
    bool verify = false;        // write: read back and compare afterwards
};

// Parses the arguments that follow the command's name. On a usage error returns
// nothing and says why in `problem`.
std::optional<CloneCliOptions> parseCloneCliOptions(CloneCliCommand command,
                                                    const std::vector<std::string>& args,
                                                    std::string& problem);

} // namespace marlo
