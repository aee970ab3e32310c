#pragma once

#include <map>
#include <string>

namespace marlo {

// Which device a port number means. Without an override, ports 1..4 are the
// built-in serial ports /dev/ttyS0../dev/ttyS3 and ports 5 and up are USB cables,
// /dev/ttyUSB0, /dev/ttyUSB1, ... An override may name any device path, such as a
// stable /dev/serial/by-id/... name.
//
// The overrides come from the user's settings: INI group "Ports", value names
// "Port1", "Port2", ... each holding a device path, e.g.
//   [Ports]
//   Port5=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0
// The settings store hands them over with SetOverrides at start-up.
class PortMap {
public:
    // Replaces every override; empty paths are ignored.
    static void SetOverrides(const std::map<int, std::string>& overrides);
    static const std::map<int, std::string>& Overrides();

    // The device path of port `portNumber`: its override, else the default; empty
    // for a number below 1 that has no override.
    static std::string DevicePath(int portNumber);
    static std::string DefaultDevicePath(int portNumber);

    // The settings value name of a port's override ("Port5").
    static std::string SettingName(int portNumber);
};

} // namespace marlo
