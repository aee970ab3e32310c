#include "clone/serialDoctor.h"

#include "clone/portDiagnosis.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace marlo {

namespace fs = std::filesystem;

namespace {

// `path` (absolute) inside the examined tree.
std::string under(const std::string& root, const std::string& path) {
    if (root.empty() || root == "/")
        return path;
    return (root.back() == '/' ? root.substr(0, root.size() - 1) : root) + path;
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

std::vector<std::string> byIdNames(const std::string& root) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(under(root, "/dev/serial/by-id"), ec))
        names.push_back("/dev/serial/by-id/" + entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct GroupEntry {
    std::string name;
    std::vector<std::string> members;
};

// The line of /etc/group for `gid`: "name:x:gid:member,member".
std::optional<GroupEntry> groupOf(const std::string& root, gid_t gid) {
    std::ifstream in(under(root, "/etc/group"));
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream parts(line);
        std::string field;
        while (std::getline(parts, field, ':'))
            fields.push_back(field);
        if (fields.size() < 3 || fields[2] != std::to_string(gid))
            continue;
        GroupEntry entry{fields[0], {}};
        std::stringstream members(fields.size() > 3 ? fields[3] : "");
        while (std::getline(members, field, ','))
            entry.members.push_back(field);
        return entry;
    }
    return std::nullopt;
}

// The processes running now by their names, as "1234 (name)".
std::vector<std::string> running(const std::string& root, const std::string& name) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& process : fs::directory_iterator(under(root, "/proc"), ec)) {
        std::ifstream in(process.path() / "comm");
        std::string comm;
        if (std::getline(in, comm) && comm == name)
            found.push_back(process.path().filename().string() + " (" + name + ")");
    }
    return found;
}

bool installed(const std::string& root, std::initializer_list<const char*> paths) {
    return std::any_of(paths.begin(), paths.end(),
                       [&](const char* path) { return exists(under(root, path)); });
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

bool mayReadAndWrite(const struct stat& info, const DoctorUser& user) {
    if (user.uid == 0)
        return true;
    mode_t wanted = S_IROTH | S_IWOTH;
    if (info.st_uid == user.uid)
        wanted = S_IRUSR | S_IWUSR;
    else if (std::find(user.groups.begin(), user.groups.end(), info.st_gid) != user.groups.end())
        wanted = S_IRGRP | S_IWGRP;
    return (info.st_mode & wanted) == wanted;
}

void examinePermission(const std::string& device, const struct stat& info, const DoctorUser& user,
                       const std::string& root, std::vector<DoctorFinding>& findings) {
    if (mayReadAndWrite(info, user))
        return;
    const std::optional<GroupEntry> group = groupOf(root, info.st_gid);
    const std::string groupName = group ? group->name : std::to_string(info.st_gid);
    const bool listed = group && std::find(group->members.begin(), group->members.end(),
                                           user.name) != group->members.end();
    if (listed) {
        findings.push_back({DoctorFinding::NewLogin,
                            user.name + " is in the group " + groupName + ", which owns " + device +
                                ", but this login started before that.",
                            "Log out and log in again (or restart), so that the new group "
                            "membership takes effect."});
        return;
    }
    findings.push_back(
        {DoctorFinding::Permission,
         device + " belongs to the group " + groupName + ", and " + user.name + " is not in it.",
         "Run: sudo usermod -aG " + groupName + " " + user.name +
             "\nthen log out and log in again: a new login is needed."});
}

} // namespace

DoctorUser DoctorUser::Current() {
    DoctorUser user;
    user.uid = ::getuid();
    if (const passwd* entry = ::getpwuid(user.uid))
        user.name = entry->pw_name;
    const int count = ::getgroups(0, nullptr);
    user.groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0)
        user.groups.resize(
            static_cast<std::size_t>(std::max(::getgroups(count, user.groups.data()), 0)));
    user.groups.push_back(::getgid());
    return user;
}

std::vector<DoctorFinding> examineSerialPort(const std::string& device, const DoctorUser& user,
                                             const std::string& root) {
    std::vector<DoctorFinding> findings;
    const std::string node = under(root, device);
    const bool brailleInstalled =
        installed(root, {"/usr/bin/brltty", "/bin/brltty", "/usr/lib/udev/rules.d/85-brltty.rules",
                         "/lib/udev/rules.d/85-brltty.rules"});
    const std::vector<std::string> braille = running(root, "brltty");
    const std::vector<std::string> modemManager = running(root, "ModemManager");

    struct stat info {};
    if (::stat(node.c_str(), &info) != 0) {
        const std::vector<std::string> names = byIdNames(root);
        findings.push_back({DoctorFinding::Missing, device + " does not exist.",
                            names.empty()
                                ? "Plug the cable in; no USB serial adapter is connected now."
                                : "Plug the cable in, or use one of the serial devices present: " +
                                      joined(names) + "."});
        if (brailleInstalled)
            findings.push_back(
                {DoctorFinding::Vanishing,
                 "The braille display daemon (brltty) is installed; it takes USB serial "
                 "adapters with common chips, so their device vanishes just after plugging in.",
                 "If no braille display is used: sudo apt remove brltty\nthen unplug and plug "
                 "the cable in again."});
        return findings;
    }
    examinePermission(device, info, user, root, findings);
    const std::vector<std::string> holders = portHolders(node, under(root, "/proc"));
    if (!holders.empty())
        findings.push_back({DoctorFinding::Busy, device + " is held by " + joined(holders) + ".",
                            "Close that program, or end it: kill " +
                                holders.front().substr(0, holders.front().find(' ')) + "."});
    if (!braille.empty())
        findings.push_back({DoctorFinding::BrailleDaemon,
                            "A braille display daemon runs: " + joined(braille) + ".",
                            "If no braille display is used: sudo apt remove brltty"});
    if (!modemManager.empty())
        findings.push_back(
            {DoctorFinding::ModemManager,
             "A modem manager runs (" + joined(modemManager) +
                 "); it probes new serial ports and sends them modem commands.",
             "Stop it while cloning: sudo systemctl stop ModemManager\nor install the udev "
             "rules shipped with marlo, which tell it to leave the cable alone."});
    return findings;
}

std::string doctorReport(const std::string& device, const std::vector<DoctorFinding>& findings) {
    if (findings.empty())
        return "None of the usual causes applies to " + device + ".\n";
    std::string text = "The serial port " + device + ":\n";
    for (const DoctorFinding& f : findings)
        text += f.text + "\n  " + [&] {
            std::string fix = f.fix;
            for (std::size_t at = fix.find('\n'); at != std::string::npos;
                 at = fix.find('\n', at + 3))
                fix.replace(at, 1, "\n  ");
            return fix;
        }() + "\n";
    return text;
}

} // namespace marlo
