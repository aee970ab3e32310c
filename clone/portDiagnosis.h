#pragma once

#include "clone/lineSettings.h"
#include "clone/portFailure.h"

#include <string>
#include <vector>

namespace marlo {

// Why a serial device could not be opened, as facts for the clone manager to put
// into words: the kind, the device, the system's reason and what helps on.

// A failure of opening and locking the device, by its errno: no such device (with
// the serial devices present now), permission denied (with the device's group),
// busy (with the processes that hold it, when /proc tells), not a serial device.
PortFailure openFailure(const std::string& devicePath, int error);
// A device that opened but cannot take the settings (EINVAL), or failed otherwise.
PortFailure setupFailure(const std::string& devicePath, const LineSettings& settings, int error);

// Processes that have `devicePath` open, as "1234 (minicom)", found by scanning
// <procRoot>/<pid>/fd; empty when nothing is found or /proc may not be read.
std::vector<std::string> portHolders(const std::string& devicePath,
                                     const std::string& procRoot = "/proc");
// The name of the group that owns the device; empty when unknown.
std::string deviceGroup(const std::string& devicePath);

} // namespace marlo
