#include "clone/cmcPortDiagnosis.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string joined(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

// The serial devices that are there now, so that a renamed USB cable can be found.
std::vector<std::string> presentSerialDevices() {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", ec))
        found.push_back(entry.path().string());
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0)
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string noSuchDevice(const std::string& path) {
    std::string text = "The serial port " + quoted(path) +
                       " does not exist. Check that the cable is plugged in; a USB cable "
                       "may have come back under another name.";
    const std::vector<std::string> present = presentSerialDevices();
    text += present.empty() ? "\nNo USB serial device is present now."
                            : "\nSerial devices present now: " + joined(present, ", ") + ".";
    return text;
}

std::string permissionDenied(const std::string& path) {
    const std::string group = cmcDeviceGroup(path);
    if (group.empty() || group == "root")
        return "You may not use the serial port " + quoted(path) +
               ". Ask the administrator of this computer for access to it.";
    return "You may not use the serial port " + quoted(path) +
           ": it is open to members of the group \"" + group +
           "\" only. Join that group with\n    sudo usermod -aG " + group +
           " $USER\nthen log out and log in again.";
}

std::string busy(const std::string& path) {
    const std::vector<std::string> holders = cmcPortHolders(path);
    std::string text = "The serial port " + quoted(path) + " is in use by another program";
    if (!holders.empty())
        text += " (process " + joined(holders, ", ") + ")";
    return text + ". Close that program and try again.";
}

std::string processName(const fs::path& processDir) {
    std::ifstream in(processDir / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

} // namespace

std::string cmcDescribeOpenFailure(const std::string& devicePath, int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return noSuchDevice(devicePath);
    case EACCES:
    case EPERM:
        return permissionDenied(devicePath);
    case EBUSY:
    case EWOULDBLOCK:
        return busy(devicePath);
    case ENOTTY:
    case EISDIR:
        return quoted(devicePath) + " is not a serial port. Choose the device of the clone cable.";
    default:
        return "The serial port " + quoted(devicePath) +
               " could not be opened: " + std::strerror(error) + ".";
    }
}

std::string cmcDescribeSetupFailure(const std::string& devicePath, const cmcLineSettings& settings,
                                    int error) {
    if (error == EINVAL)
        return "The serial port " + quoted(devicePath) + " cannot be set to " +
               std::to_string(settings.baudRate) + " baud with " +
               std::to_string(settings.dataBits) + " data bits.";
    return "The serial port " + quoted(devicePath) +
           " could not be set up: " + std::strerror(error) + ".";
}

std::vector<std::string> cmcPortHolders(const std::string& devicePath,
                                        const std::string& procRoot) {
    std::vector<std::string> holders;
    std::error_code ec;
    // By-id names are links; the descriptors point at the device itself.
    const fs::path device = fs::weakly_canonical(devicePath, ec);
    if (ec)
        return holders;
    for (const auto& process : fs::directory_iterator(procRoot, ec)) {
        const std::string pid = process.path().filename().string();
        if (pid.empty() ||
            !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        std::error_code fdError;
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd.path(), linkError) == device) {
                const std::string name = processName(process.path());
                holders.push_back(name.empty() ? pid : pid + " (" + name + ")");
                break;
            }
        }
    }
    return holders;
}

std::string cmcDeviceGroup(const std::string& devicePath) {
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) != 0)
        return {};
    const group* g = ::getgrgid(info.st_gid);
    return g != nullptr ? g->gr_name : std::string();
}
