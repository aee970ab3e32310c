#pragma once

#include "clone/lineSettings.h"

#include <cstdint>
#include <string>

namespace marlo {

// The POSIX side of a serial port: one terminal device opened non-blocking and
// held exclusively, set raw at the line settings. Operations report failures as
// errno values; a device that has gone away (unplugged, or the other end of a
// pty closed) is remembered as vanished, and every later operation fails fast.
class SerialDevice {
public:
    SerialDevice() = default;
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens `path` read-write without making it our controlling terminal, and
    // locks it: flock so that two of our programs never share a port, TIOCEXCL so
    // that other programs cannot open it meanwhile. 0 or the errno (EBUSY when
    // someone else holds it, ENOTTY when it is no terminal).
    int Open(const std::string& path);
    // Raw mode at the settings; EINVAL when the device cannot do them.
    int Configure(const LineSettings& settings);
    // RTS on, DTR off; a device without modem lines (a pty) is fine.
    int SetModemLines();
    // Drops whatever waits in either direction.
    int Purge();
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Bytes waiting to be read / not yet sent; -1 on failure.
    long InQueue();
    long OutQueue();
    // Reads what is there without waiting: the count, 0 when nothing waits, -1 on
    // failure.
    int Read(std::uint8_t* destination, int capacity);
    // Writes up to `count` bytes, waiting for the device at most `timeoutMs` in
    // all; returns how many it took.
    int Write(const std::uint8_t* bytes, int count, int timeoutMs);

    bool Vanished() const { return vanished_; }
    // The errno of the last failure.
    int LastError() const { return lastError_; }

private:
    int Fail(int error);

    int fd_ = -1;
    bool vanished_ = false;
    int lastError_ = 0;
};

} // namespace marlo
