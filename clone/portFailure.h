#pragma once

#include <cstdint>
#include <string>

namespace marlo {

// What went wrong with a serial port, as facts. The port layer fills it; the
// clone manager puts it into words from the overlay (portFailureText).
struct PortFailure {
    enum Kind : std::uint8_t {
        None = 0,
        NoSuchPort,  // a port number with no device; `device` is the number
        BadSettings, // the line settings text or the device refused them
        Missing,     // no such device (a USB cable unplugged or renamed)
        Permission,  // the user may not open it
        Busy,        // another program holds it
        NotSerial,   // the path is no terminal device
        Vanished,    // it went away while open
        Stalled,     // the driver did not take the bytes in time
        Other,
    };

    Kind kind = None;
    std::string device; // the device path
    std::string reason; // the system's own words (or the settings' fault)
    // What helps the user on: the group that may use a protected device, the
    // processes that hold a busy one, the serial devices present when one is
    // missing, the bytes taken by a stalled driver. Often empty.
    std::string detail;

    bool Failed() const { return kind != None; }
};

} // namespace marlo
