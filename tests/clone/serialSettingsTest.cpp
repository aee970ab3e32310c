#include "clone/cloneMessages.h"
#include "clone/lineSettings.h"
#include "clone/portDiagnosis.h"
#include "core/portMap.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <string>
#include <unistd.h>

using namespace marlo;

namespace {

using Parity = LineSettings::Parity;

struct SettingsRow {
    const char* text;
    bool valid;
    std::uint32_t baud;
    Parity parity;
    int dataBits;
    int stopBits;
};

class LineSettingsParse : public ::testing::TestWithParam<SettingsRow> {};

TEST_P(LineSettingsParse, Row) {
    const SettingsRow& row = GetParam();
    LineSettings s;
    EXPECT_EQ(s.Parse(row.text), row.valid);
    EXPECT_EQ(s.valid, row.valid);
    EXPECT_EQ(s.fault.empty(), row.valid);
    EXPECT_EQ(s.baudRate, row.baud);
    EXPECT_EQ(s.parity, row.parity);
    EXPECT_EQ(s.dataBits, row.dataBits);
    EXPECT_EQ(s.stopBits, row.stopBits);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineSettingsParse,
    ::testing::Values(
        SettingsRow{"9600,N,8,1", true, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"38400,N,8,1", true, 38400, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,n,8,1", true, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,N,9,1", true, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,N,3,1", true, 9600, Parity::None, 4, LineSettings::One},
        SettingsRow{"9600,N,-2,1", true, 9600, Parity::None, 4, LineSettings::One},
        SettingsRow{"9600,N,7,1.5", true, 9600, Parity::None, 7, LineSettings::OneAndHalf},
        SettingsRow{"9600,N,8,2", true, 9600, Parity::None, 8, LineSettings::Two},
        SettingsRow{"9600,N,8,", true, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,N,8,2.0", true, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,N,8, 2", true, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,e,7,1", true, 9600, Parity::Even, 7, LineSettings::One},
        SettingsRow{"4800,O,8,1", true, 4800, Parity::Odd, 8, LineSettings::One},
        SettingsRow{"4800,m,8,1", true, 4800, Parity::Mark, 8, LineSettings::One},
        SettingsRow{"9600baud,None,8,1", true, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,N,8,1,extra", true, 9600, Parity::None, 8, LineSettings::One},
        // Refused, but what could be read stays stored.
        SettingsRow{"19200,N,7", false, 19200, Parity::None, 7, LineSettings::One},
        SettingsRow{"19200", false, 19200, Parity::None, 8, LineSettings::One},
        SettingsRow{"", false, 0, Parity::None, 8, LineSettings::One},
        SettingsRow{"fast,N,8,1", false, 0, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,X,8,1", false, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"9600,,8,1", false, 9600, Parity::None, 8, LineSettings::One},
        SettingsRow{"99999999999,N,8,1", true, 0xFFFFFFFFu, Parity::None, 8, LineSettings::One}));

struct PortRow {
    int port;
    const char* path;
};

TEST(PortMap, DefaultsAreBuiltInPortsThenUsbCables) {
    PortMap::SetOverrides({});
    for (const PortRow& row : {PortRow{1, "/dev/ttyS0"}, PortRow{4, "/dev/ttyS3"},
                               PortRow{5, "/dev/ttyUSB0"}, PortRow{6, "/dev/ttyUSB1"},
                               PortRow{20, "/dev/ttyUSB15"}, PortRow{0, ""}, PortRow{-3, ""}}) {
        EXPECT_EQ(PortMap::DevicePath(row.port), row.path) << "port " << row.port;
    }
}

TEST(PortMap, OverridesWinAndAreReplacedAsAWhole) {
    const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    PortMap::SetOverrides({{5, byId}, {2, "/dev/ttyACM0"}, {3, ""}, {0, "/dev/ttyAMA0"}});
    EXPECT_EQ(PortMap::DevicePath(5), byId);
    EXPECT_EQ(PortMap::DevicePath(2), "/dev/ttyACM0");
    EXPECT_EQ(PortMap::DevicePath(3), "/dev/ttyS2") << "an empty override is no override";
    EXPECT_EQ(PortMap::DevicePath(0), "/dev/ttyAMA0");
    EXPECT_EQ(PortMap::SettingName(5), "Port5");

    PortMap::SetOverrides({{6, "/dev/ttyACM1"}});
    EXPECT_EQ(PortMap::DevicePath(5), "/dev/ttyUSB0");
    EXPECT_EQ(PortMap::DevicePath(6), "/dev/ttyACM1");
    PortMap::SetOverrides({});
}

// The port layer says what failed; the clone manager's words, from the overlay,
// name the device and the system's reason for every kind.
TEST(PortDiagnosis, EachFailureHasItsKindAndWordsNamingDeviceAndReason) {
    using F = PortFailure;
    const struct {
        int error;
        F::Kind kind;
        const char* words;
    } rows[] = {
        {ENOENT, F::Missing, "does not exist"},
        {ENXIO, F::Missing, "plugged in"},
        {EACCES, F::Permission, "may not use"},
        {EBUSY, F::Busy, "in use by another program"},
        {ENOTTY, F::NotSerial, "is not a serial port"},
        {EMFILE, F::Other, "could not be used"},
    };
    const std::string device = "/dev/ttyUSB-marlo-missing";
    for (const auto& row : rows) {
        const PortFailure failure = openFailure(device, row.error);
        EXPECT_EQ(failure.kind, row.kind) << row.words;
        EXPECT_EQ(failure.device, device);
        EXPECT_EQ(failure.reason, std::strerror(row.error));
        const std::string text = portFailureText(failure);
        EXPECT_NE(text.find("\"" + device + "\""), std::string::npos) << text;
        EXPECT_NE(text.find(std::strerror(row.error)), std::string::npos) << text;
        EXPECT_NE(text.find(row.words), std::string::npos) << text;
    }
    const PortFailure gone{F::Vanished, "/dev/ttyUSB0", std::strerror(EIO), {}};
    EXPECT_NE(portFailureText(gone).find("has gone away (" + std::string(std::strerror(EIO))),
              std::string::npos);
    const PortFailure held{F::Busy, "/dev/ttyS0", std::strerror(EBUSY), "42 (minicom)"};
    EXPECT_NE(portFailureText(held).find("\nIt is held by process 42 (minicom)."),
              std::string::npos);
    EXPECT_EQ(portFailureText({}), "");
}

TEST(PortDiagnosis, PermissionNamesTheDevicesGroupAndHowToJoinIt) {
    const group* dialout = ::getgrnam("dialout");
    if (dialout == nullptr)
        GTEST_SKIP() << "no dialout group on this system";
    const std::string path = ::testing::TempDir() + "marlo-fake-tty-" + std::to_string(::getpid());
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    if (::chown(path.c_str(), static_cast<uid_t>(-1), dialout->gr_gid) != 0)
        GTEST_SKIP() << "cannot give a file to the dialout group here";

    const PortFailure failure = openFailure(path, EACCES);
    EXPECT_EQ(failure.detail, "dialout");
    const std::string text = portFailureText(failure);
    EXPECT_EQ(deviceGroup(path), "dialout");
    EXPECT_NE(text.find(path), std::string::npos);
    EXPECT_NE(text.find("group \"dialout\""), std::string::npos) << text;
    EXPECT_NE(text.find("sudo usermod -aG dialout $USER"), std::string::npos);
    EXPECT_NE(text.find("log in again"), std::string::npos);
    std::filesystem::remove(path);
}

TEST(PortDiagnosis, HoldersAreFoundThroughProc) {
    const std::string path = ::testing::TempDir() + "marlo-held-" + std::to_string(::getpid());
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    const std::vector<std::string> holders = portHolders(path);
    const std::string self = std::to_string(::getpid()) + " (";
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].rfind(self, 0), 0u) << holders[0];
    std::fclose(f);
    EXPECT_TRUE(portHolders(path).empty());
    EXPECT_TRUE(portHolders(path, "/nonexistent-proc").empty());
    std::filesystem::remove(path);
}

} // namespace
