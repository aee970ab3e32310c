// The serial doctor on fake systems: a device tree, a process table and a group
// file of each case's own, never the machine's.
#include "clone/serialDoctor.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace marlo;

namespace fs = std::filesystem;

namespace {

using C = DoctorFinding;

struct FakeSystem {
    QTemporaryDir dir;
    std::string root = dir.path().toStdString();

    void file(const std::string& path, const std::string& text = {}) {
        fs::create_directories(fs::path(root + path).parent_path());
        std::ofstream(root + path) << text;
    }
    void device(const std::string& path, mode_t mode) {
        file(path);
        ::chmod((root + path).c_str(), mode);
    }
    void process(int pid, const std::string& name, const std::string& heldDevice = {}) {
        const std::string procDir = "/proc/" + std::to_string(pid);
        file(procDir + "/comm", name + "\n");
        fs::create_directories(root + procDir + "/fd");
        if (!heldDevice.empty())
            fs::create_symlink(root + heldDevice, root + procDir + "/fd/3");
    }
};

TEST(SerialDoctor, NamesEachUsualCauseWithItsFix) {
    const gid_t deviceGroup = ::getgid(); // what a file made here belongs to
    const std::string groupLine = "dialout:x:" + std::to_string(deviceGroup) + ":";
    const std::string tty = "/dev/ttyUSB0";
    const struct {
        const char* name;
        std::function<void(FakeSystem&)> make;
        std::set<C::Cause> causes;
        std::string inFix; // in the fixes, all told
    } cases[] = {
        {"unplugged, another adapter present",
         [](FakeSystem& s) { s.file("/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0"); },
         {C::Missing},
         "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0"},
        {"vanishes after plugging: a braille daemon is installed",
         [](FakeSystem& s) { s.file("/usr/lib/udev/rules.d/85-brltty.rules"); },
         {C::Missing, C::Vanishing},
         "sudo apt remove brltty"},
        {"not in the device's group",
         [&](FakeSystem& s) {
             s.device(tty, 0660);
             s.file("/etc/group", groupLine + "other\n");
         },
         {C::Permission},
         "sudo usermod -aG dialout ham\nthen log out and log in again"},
        {"in the group, not yet in this login",
         [&](FakeSystem& s) {
             s.device(tty, 0660);
             s.file("/etc/group", groupLine + "other,ham\n");
         },
         {C::NewLogin},
         "Log out and log in again"},
        {"held by another program, with a modem manager probing",
         [&](FakeSystem& s) {
             s.device(tty, 0666);
             s.process(4321, "minicom", tty);
             s.process(77, "ModemManager");
             s.process(78, "bash");
         },
         {C::Busy, C::ModemManager},
         "kill 4321"},
        {"a running braille daemon",
         [&](FakeSystem& s) {
             s.device(tty, 0666);
             s.process(12, "brltty");
         },
         {C::BrailleDaemon},
         "sudo apt remove brltty"},
        {"nothing wrong", [&](FakeSystem& s) { s.device(tty, 0666); }, {}, ""},
    };
    DoctorUser user;
    user.name = "ham";
    user.uid = ::getuid() + 1; // never the owner of the fake device
    user.groups = {deviceGroup + 1};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        ASSERT_TRUE(system.dir.isValid());
        c.make(system);
        const std::vector<C> findings = examineSerialPort(tty, user, system.root);
        std::set<C::Cause> causes;
        std::string fixes;
        for (const C& f : findings) {
            causes.insert(f.cause);
            fixes += f.fix + "\n";
        }
        EXPECT_EQ(causes, c.causes);
        EXPECT_NE(fixes.find(c.inFix), std::string::npos) << fixes;
        EXPECT_NE(doctorReport(tty, findings).find(tty), std::string::npos);
    }
}

} // namespace
