#include "clone/serialLink.h"
#include "core/portMap.h"
#include "support/eventLoop.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <numeric>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace marlo;

namespace {

// A pseudo-terminal pair: the port under test opens the slave path, the test
// plays the far end on the master.
class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        char name[128] = {};
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            ::ptsname_r(master_, name, sizeof name) != 0)
            std::abort();
        path_ = name;
    }
    ~PtyPair() { HangUp(); }

    const std::string& path() const { return path_; }
    void HangUp() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    // Bytes the port has sent that the far end has not read yet.
    int Waiting() const {
        int n = 0;
        ::ioctl(master_, FIONREAD, &n);
        return n;
    }
    std::vector<std::uint8_t> ReadAll() const {
        std::vector<std::uint8_t> bytes;
        std::uint8_t buffer[4096];
        ssize_t n;
        while ((n = ::read(master_, buffer, sizeof buffer)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        return bytes;
    }
    void Send(const std::vector<std::uint8_t>& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

private:
    int master_ = -1;
    std::string path_;
};

std::vector<std::uint8_t> pattern(int n) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
}

const std::string lineSettings = "9600,N,8,1";

TEST(SerialPort, OpensAPtyRawAndExclusive) {
    PtyPair pty;
    SerialLink port;
    ASSERT_TRUE(port.OpenDevice(pty.path(), lineSettings)) << port.OpenFailure().reason;
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.DevicePath(), pty.path());
    EXPECT_FALSE(port.OpenFailure().Failed());

    // Raw: nothing is echoed, translated or held back for a line end.
    pty.Send({0x0D, 0x0A, 0x03, 0xFE, 0xFD});
    ASSERT_TRUE(runEventLoopUntil([&] { return port.InQueue() == 5; }));
    std::uint8_t in[8] = {};
    ASSERT_EQ(port.Read(in, 8), 5);
    EXPECT_EQ(std::vector<std::uint8_t>(in, in + 5),
              (std::vector<std::uint8_t>{0x0D, 0x0A, 0x03, 0xFE, 0xFD}));
    EXPECT_EQ(pty.Waiting(), 0);

    SerialLink second;
    EXPECT_FALSE(second.OpenDevice(pty.path(), lineSettings));
    EXPECT_EQ(second.OpenFailure().kind, PortFailure::Busy);
    EXPECT_EQ(second.OpenFailure().detail.find(std::to_string(::getpid()) + " ("), 0u)
        << second.OpenFailure().detail;

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(second.OpenDevice(pty.path(), lineSettings)) << second.OpenFailure().reason;
}

TEST(SerialPort, OpenOnAnOpenPortFailsAndLeavesItAsItWas) {
    PtyPair pty;
    PtyPair other;
    SerialLink port;
    ASSERT_TRUE(port.OpenDevice(pty.path(), "38400,N,8,1"));
    EXPECT_FALSE(port.OpenDevice(other.path(), "9600,N,7,2"));
    EXPECT_FALSE(port.Open(5, "9600,N,7,2"));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.DevicePath(), pty.path());
    EXPECT_EQ(port.Settings().baudRate, 38400u);
    EXPECT_EQ(port.Settings().dataBits, 8);

    const std::vector<std::uint8_t> bytes = pattern(4);
    port.Write(bytes.data(), 4);
    EXPECT_EQ(pty.ReadAll(), bytes);
}

TEST(SerialPort, AMissingDeviceFailsKeepingTheSettingsAndSaysWhy) {
    SerialLink port;
    EXPECT_FALSE(port.OpenDevice("/dev/ttyUSB-marlo-missing", "38400,N,7,2"));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.WriteFailed());
    EXPECT_EQ(port.Settings().baudRate, 38400u);
    EXPECT_EQ(port.Settings().dataBits, 7);
    EXPECT_EQ(port.Settings().stopBits, LineSettings::Two);
    EXPECT_EQ(port.DevicePath(), "/dev/ttyUSB-marlo-missing");
    EXPECT_EQ(port.OpenFailure().kind, PortFailure::Missing);
    EXPECT_EQ(port.OpenFailure().device, "/dev/ttyUSB-marlo-missing");
    EXPECT_EQ(port.OpenFailure().reason, std::strerror(ENOENT));

    PortMap::SetOverrides({{42, "/dev/ttyUSB-marlo-missing"}});
    EXPECT_FALSE(port.Open(42, "9600,N,8,1"));
    EXPECT_EQ(port.PortNumber(), 42);
    EXPECT_EQ(port.DevicePath(), "/dev/ttyUSB-marlo-missing");
    EXPECT_FALSE(port.Open(0, "9600,N,8,1"));
    EXPECT_EQ(port.OpenFailure().kind, PortFailure::NoSuchPort);
    EXPECT_EQ(port.OpenFailure().device, "0");
    PortMap::SetOverrides({});
}

TEST(SerialPort, OpenByNumberFollowsThePortMap) {
    PtyPair pty;
    PortMap::SetOverrides({{9, pty.path()}});
    SerialLink port;
    EXPECT_TRUE(port.Open(9, lineSettings)) << port.OpenFailure().reason;
    EXPECT_EQ(port.DevicePath(), pty.path());
    EXPECT_EQ(port.PortNumber(), 9);
    PortMap::SetOverrides({});
}

struct RefusedOpen {
    const char* settings;
    const char* device; // empty: a pty
    PortFailure::Kind kind;
    const char* words; // in the reason or the detail
};

TEST(SerialPort, RefusedOpensLeaveTheDeviceFree) {
    for (const RefusedOpen& row : {
             RefusedOpen{"9600,N,8", "", PortFailure::BadSettings, "need four fields"},
             RefusedOpen{",N,8,1", "", PortFailure::BadSettings, "no baud rate"},
             RefusedOpen{"12345,N,8,1", "", PortFailure::BadSettings, "12345 baud"},
             RefusedOpen{"9600,N,4,1", "", PortFailure::BadSettings, "4 data bits"},
             RefusedOpen{"9600,N,8,1", "/dev/null", PortFailure::NotSerial, "Inappropriate ioctl"},
         }) {
        PtyPair pty;
        const std::string device = *row.device != '\0' ? row.device : pty.path();
        SerialLink port;
        EXPECT_FALSE(port.OpenDevice(device, row.settings)) << row.settings;
        EXPECT_FALSE(port.IsOpen());
        const PortFailure& failure = port.OpenFailure();
        EXPECT_EQ(failure.kind, row.kind) << row.settings;
        EXPECT_NE((failure.reason + " " + failure.detail).find(row.words), std::string::npos)
            << failure.reason << " / " << failure.detail;
        SerialLink next;
        EXPECT_TRUE(next.OpenDevice(pty.path(), lineSettings))
            << "left locked after " << row.settings;
    }
}

TEST(SerialPort, WriteOnAClosedPortDropsTheBytes) {
    PtyPair pty;
    SerialLink port;
    const std::vector<std::uint8_t> bytes = pattern(10);
    port.Write(bytes.data(), 10);
    EXPECT_EQ(port.OutPending(), 0);
    ASSERT_TRUE(port.OpenDevice(pty.path(), lineSettings));
    runEventLoopFor(30);
    EXPECT_EQ(pty.Waiting(), 0) << "nothing from before the open may be sent";
    EXPECT_FALSE(port.WriteFailed());
}

// A pty has no transmit queue of its own (its OutQueue reads 0), so what the
// pump holds back shows in OutPending and on the far end.
TEST(SerialPort, LongWritesLeaveInChunksOfAtMost1024) {
    PtyPair pty;
    SerialLink port;
    ASSERT_TRUE(port.OpenDevice(pty.path(), lineSettings));
    const std::vector<std::uint8_t> bytes = pattern(3000);
    port.Write(bytes.data(), 3000);

    // What the far end had received just before each further chunk left: the
    // pump waits for the previous chunk to be gone before it writes the next.
    std::vector<int> pending{port.OutPending()};
    std::vector<int> arrivedBefore;
    int seen = 0;
    ASSERT_TRUE(runEventLoopUntil([&] {
        const int now = port.OutPending();
        if (now != pending.back()) {
            pending.push_back(now);
            arrivedBefore.push_back(seen);
        }
        seen = pty.Waiting();
        return now == 0;
    }));
    EXPECT_EQ(pending, (std::vector<int>{1976, 952, 0}));
    EXPECT_EQ(arrivedBefore, (std::vector<int>{1024, 2048}));
    ASSERT_TRUE(runEventLoopUntil([&] { return pty.Waiting() == 3000; }));
    EXPECT_EQ(pty.ReadAll(), bytes);
    EXPECT_FALSE(port.WriteFailed());
}

TEST(SerialPort, WritesQueueBehindWhatIsPending) {
    PtyPair pty;
    SerialLink port;
    ASSERT_TRUE(port.OpenDevice(pty.path(), lineSettings));
    const std::vector<std::uint8_t> bytes = pattern(2500);
    port.Write(bytes.data(), 1500);
    port.Write(bytes.data() + 1500, 1000);
    EXPECT_EQ(port.OutPending(), 2500 - 2048) << "each Write runs the pump once";
    ASSERT_TRUE(runEventLoopUntil([&] { return port.OutPending() == 0; }));
    EXPECT_EQ(pty.ReadAll(), bytes);
}

TEST(SerialPort, ReadsTakeWhatWaitsAndNeverWait) {
    PtyPair pty;
    SerialLink port;
    std::uint8_t in[256];
    EXPECT_EQ(port.Read(in, 256), 0) << "closed";
    ASSERT_TRUE(port.OpenDevice(pty.path(), lineSettings));
    EXPECT_EQ(port.Read(in, 256), 0);

    pty.Send(pattern(10));
    ASSERT_TRUE(runEventLoopUntil([&] { return port.InQueue() == 10; }));
    EXPECT_EQ(port.Read(in, 256), 10);
    EXPECT_EQ(std::vector<std::uint8_t>(in, in + 10), pattern(10));
    EXPECT_EQ(port.Read(in, 256), 0);
    EXPECT_EQ(port.InQueue(), 0u);

    pty.Send(pattern(300));
    ASSERT_TRUE(runEventLoopUntil([&] { return port.InQueue() == 300; }));
    EXPECT_EQ(port.Read(in, 256), 256);
    EXPECT_EQ(port.Read(in, 256), 44);
    EXPECT_EQ(in[43], 44);
    EXPECT_EQ(port.Read(in, 0), 0);
}

TEST(SerialPort, APulledCableFailsTheWriteWithoutHanging) {
    PtyPair pty;
    SerialLink port;
    ASSERT_TRUE(port.OpenDevice(pty.path(), lineSettings));
    const std::vector<std::uint8_t> bytes = pattern(3000);
    port.Write(bytes.data(), 3000);
    EXPECT_EQ(port.OutPending(), 1976);
    pty.HangUp();

    ASSERT_TRUE(runEventLoopUntil([&] { return port.WriteFailed(); }));
    EXPECT_EQ(port.LineFailure().kind, PortFailure::Vanished);
    EXPECT_FALSE(port.LineFailure().reason.empty());
    EXPECT_GT(port.OutPending(), 0) << "unsent bytes stay until Close";
    std::uint8_t in[16];
    EXPECT_EQ(port.Read(in, 16), 0);
    EXPECT_EQ(port.InQueue(), 0u);
    port.Write(bytes.data(), 10);
    EXPECT_TRUE(port.WriteFailed());

    port.Close();
    EXPECT_FALSE(port.WriteFailed());
    EXPECT_EQ(port.OutPending(), 0);
    EXPECT_TRUE(port.LineFailure().Failed()) << "kept for the message after the close";
}

TEST(SerialPort, APulledCableIsNoticedByAReadToo) {
    PtyPair pty;
    SerialLink port;
    ASSERT_TRUE(port.OpenDevice(pty.path(), lineSettings));
    pty.HangUp();
    std::uint8_t in[16];
    EXPECT_EQ(port.Read(in, 16), 0);
    EXPECT_TRUE(port.WriteFailed());

    // Any next open forgets the failure, also one that finds no device.
    port.Close();
    EXPECT_FALSE(port.Open(0, lineSettings));
    EXPECT_FALSE(port.LineFailure().Failed());

    PtyPair fresh;
    ASSERT_TRUE(port.OpenDevice(fresh.path(), lineSettings));
    EXPECT_FALSE(port.WriteFailed());
    EXPECT_FALSE(port.LineFailure().Failed());
}

// The far end stops reading: the pty's buffer fills, and the chunk that no longer
// fits fails once the write time-out (3000 ms + 0 ms per byte at 230400) is over.
TEST(SerialPort, ADriverThatStopsTakingBytesSetsWriteFailed) {
    PtyPair pty;
    SerialLink port;
    ASSERT_TRUE(port.OpenDevice(pty.path(), "230400,N,8,1"));
    const std::vector<std::uint8_t> bytes(200000, 0x55);
    port.Write(bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_TRUE(runEventLoopUntil([&] { return port.WriteFailed(); }, 30000));
    EXPECT_EQ(port.LineFailure().kind, PortFailure::Stalled);
    const int stuck = port.OutPending();
    EXPECT_GT(stuck, 0);
    runEventLoopFor(50);
    EXPECT_EQ(port.OutPending(), stuck) << "the pump stops after a failed write";
}

} // namespace
