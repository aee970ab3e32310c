#pragma once

#include "clone/lineSettings.h"
#include "clone/portFailure.h"
#include "core/byteQueue.h"
#include "core/periodicTask.h"

#include <cstdint>
#include <memory>
#include <string>

namespace marlo {

class SerialDevice;

// The program's one way to a serial port. Reads never wait: they hand out what
// has already arrived. Writes go into a transmit buffer that a pump on a 10 ms
// task feeds to the driver in chunks of at most 1024 bytes, each chunk only once
// the driver has sent the previous one; an idle port runs no timer. One chunk
// waits at most the write time-out (3000 ms + 100000 / baud ms per byte).
//
// While open the line is raw 8-N-1 (or as the settings say), RTS on, DTR off, and
// the device is held exclusively: no other program, and no second port object
// of ours, can open it meanwhile.
//
// A driver that takes fewer bytes than offered, or a device that vanishes (cable
// pulled: EIO, ENXIO, hang-up), sets the sticky write-failed flag; reads then
// give 0 bytes. Nothing here blocks beyond one bounded write and nothing here
// words a message: OpenFailure and LineFailure say what failed, and callers put
// that into words.
class SerialLink {
public:
    static constexpr std::int32_t receiveQueueSize = 32000;
    static constexpr std::int32_t transmitChunkSize = 1024;

    SerialLink();
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens port `portNumber` (its device path comes from PortMap). Fails at once
    // if already open (the open port stays as it is). The settings are parsed and
    // stored before the device is touched, so they stay stored even when the open
    // fails. True only when every step succeeded.
    bool Open(int portNumber, const std::string& lineSettings);
    // The same for a device path ("/dev/ttyUSB0", "/dev/serial/by-id/...", a pty).
    bool OpenDevice(const std::string& devicePath, const std::string& lineSettings);
    // Stops the pump, closes the device, empties the transmit buffer and clears the
    // write-failed flag. Safe when closed.
    void Close();
    bool IsOpen() const;

    // Reads min(capacity, InQueue()) bytes without waiting; 0 when closed, when
    // nothing waits or on failure.
    int Read(std::uint8_t* destination, int capacity);
    // Queues the bytes and runs the pump once at once; dropped when closed.
    void Write(const std::uint8_t* bytes, int count);

    // Bytes in the driver's receive / transmit queue; 0 when closed or on failure.
    unsigned InQueue();
    unsigned OutQueue();
    // OutQueue plus the bytes still in the transmit buffer.
    int OutPending();
    // Sticky from a failed write (or a vanished device) until the next Open or Close.
    bool WriteFailed() const { return writeFailed_; }

    // The port number of the last Open (0 after OpenDevice).
    int PortNumber() const { return portNumber_; }
    // The settings of the last Open / OpenDevice, as parsed.
    const LineSettings& Settings() const { return settings_; }
    // The device path of the last Open / OpenDevice.
    const std::string& DevicePath() const { return devicePath_; }
    // Why the last Open / OpenDevice failed; none after a successful open.
    const PortFailure& OpenFailure() const { return openFailure_; }
    // Why the line failed while open (device gone, driver refused bytes); none if
    // it did not. Survives Close so that it can be shown after the operation ended;
    // cleared by the next Open.
    const PortFailure& LineFailure() const { return lineFailure_; }

private:
    static void PumpTick(void* context, PeriodicTask* task);
    void Pump();
    bool OpenPath(const std::string& devicePath, const std::string& lineSettings);
    void NoteLineFailure();
    std::string LastReason() const;

    std::unique_ptr<SerialDevice> device_;
    int portNumber_ = 0;
    bool writeFailed_ = false;
    ByteQueue transmit_;
    LineSettings settings_;
    std::string devicePath_;
    PortFailure openFailure_;
    PortFailure lineFailure_;
    TaskPtr pumpTask_;
};

} // namespace marlo
