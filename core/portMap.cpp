#include "core/portMap.h"

namespace marlo {

namespace {

std::map<int, std::string>& overrideTable() {
    static std::map<int, std::string> table;
    return table;
}

constexpr int builtInPorts = 4;

} // namespace

void PortMap::SetOverrides(const std::map<int, std::string>& overrides) {
    std::map<int, std::string>& table = overrideTable();
    table.clear();
    for (const auto& [port, path] : overrides) {
        if (!path.empty())
            table.emplace(port, path);
    }
}

const std::map<int, std::string>& PortMap::Overrides() {
    return overrideTable();
}

std::string PortMap::DevicePath(int portNumber) {
    const auto& table = overrideTable();
    const auto it = table.find(portNumber);
    return it != table.end() ? it->second : DefaultDevicePath(portNumber);
}

std::string PortMap::DefaultDevicePath(int portNumber) {
    if (portNumber < 1)
        return {};
    if (portNumber <= builtInPorts)
        return "/dev/ttyS" + std::to_string(portNumber - 1);
    return "/dev/ttyUSB" + std::to_string(portNumber - builtInPorts - 1);
}

std::string PortMap::SettingName(int portNumber) {
    return "Port" + std::to_string(portNumber);
}

} // namespace marlo
