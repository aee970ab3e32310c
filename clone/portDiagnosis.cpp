#include "clone/portDiagnosis.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <system_error>

namespace marlo {

namespace fs = std::filesystem;

namespace {

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

PortFailure failure(PortFailure::Kind kind, const std::string& path, int error,
                    std::string detail = {}) {
    return {kind, path, std::strerror(error), std::move(detail)};
}

std::string processName(const fs::path& processDir) {
    std::ifstream in(processDir / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

} // namespace

PortFailure openFailure(const std::string& devicePath, int error) {
    using F = PortFailure;
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return failure(F::Missing, devicePath, error, joined(presentSerialDevices(), ", "));
    case EACCES:
    case EPERM: {
        // Joining root's group is no advice worth giving.
        const std::string group = deviceGroup(devicePath);
        return failure(F::Permission, devicePath, error, group == "root" ? "" : group);
    }
    case EBUSY:
    case EWOULDBLOCK:
        return failure(F::Busy, devicePath, error, joined(portHolders(devicePath), ", "));
    case ENOTTY:
    case EISDIR:
        return failure(F::NotSerial, devicePath, error);
    default:
        return failure(F::Other, devicePath, error);
    }
}

PortFailure setupFailure(const std::string& devicePath, const LineSettings& settings, int error) {
    if (error == EINVAL)
        return failure(PortFailure::BadSettings, devicePath, error,
                       std::to_string(settings.baudRate) + " baud, " +
                           std::to_string(settings.dataBits) + " data bits");
    return failure(PortFailure::Other, devicePath, error);
}

std::vector<std::string> portHolders(const std::string& devicePath, const std::string& procRoot) {
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

std::string deviceGroup(const std::string& devicePath) {
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) != 0)
        return {};
    const group* g = ::getgrgid(info.st_gid);
    return g != nullptr ? g->gr_name : std::string();
}

} // namespace marlo
