#pragma once

#include "clone/cmcLineSettings.h"

#include <string>
#include <vector>

// Why a serial device could not be opened, in words a radio operator can act on.
// Each text names the device path and says what to do next.

// A failure of opening and locking the device, by its errno: no such device,
// permission denied (naming the device's group and how to join it), busy (naming
// the process that holds it, when /proc tells), not a serial device.
std::string cmcDescribeOpenFailure(const std::string& devicePath, int error);
// A device that opened but cannot take the settings (EINVAL), or failed otherwise.
std::string cmcDescribeSetupFailure(const std::string& devicePath, const cmcLineSettings& settings,
                                    int error);

// Processes that have `devicePath` open, as "1234 (minicom)", found by scanning
// <procRoot>/<pid>/fd; empty when nothing is found or /proc may not be read.
std::vector<std::string> cmcPortHolders(const std::string& devicePath,
                                        const std::string& procRoot = "/proc");
// The name of the group that owns the device; empty when unknown.
std::string cmcDeviceGroup(const std::string& devicePath);
