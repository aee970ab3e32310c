#pragma once

#include <string>
#include <vector>

namespace marlo {

// The serial devices present on this computer, as the port dialog offers them:
// USB adapters (ttyUSB*, ttyACM*), the built-in ports (ttyS*) that answer as a
// serial port, and the stable names under serial/by-id, which keep naming the
// same adapter whichever socket it is plugged into.
struct SerialDeviceEntry {
    std::string path;    // as it is opened, e.g. /dev/serial/by-id/usb-...
    std::string target;  // the device a by-id name leads to; else the path
    std::string name;    // the adapter's name from its by-id name; may be empty
    bool usable = false; // this user may open it for reading and writing
    std::string group;   // the device's group, when not usable (usually dialout)
};

// Scans `devRoot` (the /dev folder; tests give a folder of their own). The by-id
// names come first, then the devices by kind and number.
std::vector<SerialDeviceEntry> listSerialDevices(const std::string& devRoot = "/dev");

// One line of the dialog's list: the path, the adapter's name, and whether the
// user may open it, or which group they would need to join.
std::string describeSerialDevice(const SerialDeviceEntry& device);

} // namespace marlo
