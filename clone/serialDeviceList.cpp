#include "clone/serialDeviceList.h"

#include "clone/portDiagnosis.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace marlo {

namespace fs = std::filesystem;

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The number after the kind, for ordering ttyUSB2 before ttyUSB10.
int trailingNumber(const std::string& name) {
    std::size_t at = name.size();
    while (at > 0 && name[at - 1] >= '0' && name[at - 1] <= '9')
        --at;
    return at < name.size() && name.size() - at < 7 ? std::stoi(name.substr(at)) : -1;
}

// A built-in port answers when the driver knows a UART behind it; the kernel
// keeps placeholders (ttyS4..ttyS31) that have none. A port we may not open is
// shown only among the usual four.
bool builtInPortAnswers(const std::string& path, int number) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES && number >= 0 && number < 4;
    serial_struct info{};
    const bool answers = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return answers;
}

// "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0" -> "FTDI FT232R USB UART A1B2C3".
std::string adapterName(std::string link) {
    if (startsWith(link, "usb-"))
        link.erase(0, 4);
    if (const std::size_t at = link.rfind("-if"); at != std::string::npos && at > 0)
        link.erase(at);
    std::replace(link.begin(), link.end(), '_', ' ');
    return link;
}

SerialDeviceEntry describe(const std::string& path, const std::string& target, std::string name) {
    SerialDeviceEntry device{path, target, std::move(name), false, {}};
    device.usable = ::access(target.c_str(), R_OK | W_OK) == 0;
    if (!device.usable)
        device.group = deviceGroup(target);
    return device;
}

} // namespace

std::vector<SerialDeviceEntry> listSerialDevices(const std::string& devRoot) {
    std::vector<SerialDeviceEntry> found;
    std::error_code ec;
    const fs::path byId = fs::path(devRoot) / "serial" / "by-id";
    std::vector<fs::path> links;
    for (const auto& entry : fs::directory_iterator(byId, ec))
        links.push_back(entry.path());
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        const fs::path target = fs::canonical(link, ec);
        if (ec)
            continue; // a dangling name: the adapter has gone
        found.push_back(describe(link.string(), target.string(), adapterName(link.filename())));
    }

    struct Kind {
        const char* prefix;
        bool probe;
    };
    std::vector<std::pair<std::string, int>> names;
    for (const auto& entry : fs::directory_iterator(devRoot, ec))
        names.emplace_back(entry.path().filename().string(), 0);
    for (const Kind kind : {Kind{"ttyUSB", false}, Kind{"ttyACM", false}, Kind{"ttyS", true}}) {
        std::vector<std::pair<int, std::string>> ofKind;
        for (const auto& [name, unused] : names) {
            const int number = trailingNumber(name);
            if (startsWith(name, kind.prefix) && number >= 0 &&
                name.size() == std::string(kind.prefix).size() + std::to_string(number).size())
                ofKind.emplace_back(number, name);
        }
        std::sort(ofKind.begin(), ofKind.end());
        for (const auto& [number, name] : ofKind) {
            const std::string path = (fs::path(devRoot) / name).string();
            if (kind.probe && !builtInPortAnswers(path, number))
                continue;
            found.push_back(describe(path, path, {}));
        }
    }
    return found;
}

std::string describeSerialDevice(const SerialDeviceEntry& device) {
    std::string text = device.path;
    if (!device.name.empty())
        text += "  (" + device.name + ")";
    if (device.usable)
        return text + "  - ready";
    if (device.group.empty() || device.group == "root")
        return text + "  - you may not open it; ask the administrator";
    return text + "  - you may not open it: join the group \"" + device.group + "\"";
}

} // namespace marlo
