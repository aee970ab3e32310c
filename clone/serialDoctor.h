#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace marlo {

// The serial doctor: why the cable's port cannot be used, by the usual causes on
// Linux, each with the exact fix. It only reads the system (/dev, /proc,
// /etc/group and the installed programs, all under a root folder so that tests
// give it a tree of their own) and changes nothing.

// Who asks: the user's name, user id and the groups the running process has.
struct DoctorUser {
    std::string name;
    uid_t uid = 0;
    std::vector<gid_t> groups;
    // The user this process runs as.
    static DoctorUser Current();
};

struct DoctorFinding {
    enum Cause {
        Missing,       // no such device node
        Permission,    // the user is not in the device's group
        NewLogin,      // in the group, but not yet in this login
        Busy,          // another process holds the device
        BrailleDaemon, // a braille display daemon that takes USB-serial adapters
        ModemManager,  // a modem manager probing new serial ports
        Vanishing,     // the node goes away just after the cable is plugged in
    };
    Cause cause;
    std::string text; // what was found
    std::string fix;  // what to do, as exact as the system allows
};

// The causes found for `device` (an absolute path), in the order to try their
// fixes; empty when none of the usual causes applies.
std::vector<DoctorFinding> examineSerialPort(const std::string& device, const DoctorUser& user,
                                             const std::string& root = "/");

// The findings as text for a message or stderr: each cause and its fix.
std::string doctorReport(const std::string& device, const std::vector<DoctorFinding>& findings);

} // namespace marlo
