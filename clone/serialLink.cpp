#include "clone/serialLink.h"

#include "clone/portDiagnosis.h"
#include "clone/serialDevice.h"
#include "core/portMap.h"

#include <algorithm>
#include <cstring>

namespace marlo {

namespace {

// The driver's write time-out for one chunk: a fixed allowance plus the time the
// bytes take on the line.
constexpr int writeTimeoutConstantMs = 3000;
constexpr std::uint32_t writeTimeoutPerByteBase = 100000;
constexpr std::int32_t pumpPollMs = 10;

} // namespace

SerialLink::SerialLink()
    : device_(std::make_unique<SerialDevice>()), pumpTask_(PeriodicTask::Create()) {
    pumpTask_->SetCallback(&SerialLink::PumpTick, this);
}

SerialLink::~SerialLink() {
    Close();
}

bool SerialLink::Open(int portNumber, const std::string& lineSettings) {
    if (IsOpen())
        return false;
    portNumber_ = portNumber;
    return OpenPath(PortMap::DevicePath(portNumber), lineSettings);
}

bool SerialLink::OpenDevice(const std::string& devicePath, const std::string& lineSettings) {
    if (IsOpen())
        return false;
    portNumber_ = 0;
    return OpenPath(devicePath, lineSettings);
}

bool SerialLink::OpenPath(const std::string& devicePath, const std::string& lineSettings) {
    writeFailed_ = false;
    lineFailure_ = {};
    openFailure_ = {};
    devicePath_ = devicePath;
    // Parsed before the device is touched, so that the settings stay stored even
    // when the open fails.
    if (!settings_.Parse(lineSettings)) {
        openFailure_ = {PortFailure::BadSettings, devicePath, settings_.fault, lineSettings};
        return false;
    }
    if (devicePath.empty()) {
        openFailure_ = {PortFailure::NoSuchPort, std::to_string(portNumber_), {}, {}};
        return false;
    }
    if (const int error = device_->Open(devicePath); error != 0) {
        openFailure_ = openFailure(devicePath, error);
        return false;
    }
    int error = device_->Purge();
    if (error == 0)
        error = device_->Configure(settings_);
    if (error == 0)
        error = device_->SetModemLines();
    if (error != 0) {
        // Unlike a handle left for the caller's Close, a half-opened device is let go
        // at once: it would keep the port locked against every other program.
        openFailure_ = setupFailure(devicePath, settings_, error);
        Close();
        return false;
    }
    return true;
}

void SerialLink::Close() {
    pumpTask_->SetInterval(-1);
    device_->Close();
    transmit_.Clear();
    writeFailed_ = false;
}

bool SerialLink::IsOpen() const {
    return device_->IsOpen();
}

int SerialLink::Read(std::uint8_t* destination, int capacity) {
    if (!IsOpen() || destination == nullptr || capacity <= 0)
        return 0;
    const int waiting =
        static_cast<int>(std::min<unsigned>(InQueue(), static_cast<unsigned>(capacity)));
    if (waiting == 0)
        return 0;
    const int n = device_->Read(destination, waiting);
    if (n < 0) {
        NoteLineFailure();
        return 0;
    }
    return n;
}

void SerialLink::Write(const std::uint8_t* bytes, int count) {
    if (!IsOpen())
        return;
    pumpTask_->SetInterval(-1);
    transmit_.AppendBytes(bytes, count);
    pumpTask_->SetInterval(0);
    Pump();
}

unsigned SerialLink::InQueue() {
    if (!IsOpen())
        return 0;
    const long n = device_->InQueue();
    if (n < 0) {
        NoteLineFailure();
        return 0;
    }
    return static_cast<unsigned>(n);
}

unsigned SerialLink::OutQueue() {
    if (!IsOpen())
        return 0;
    const long n = device_->OutQueue();
    if (n < 0) {
        NoteLineFailure();
        return 0;
    }
    return static_cast<unsigned>(n);
}

int SerialLink::OutPending() {
    return static_cast<int>(OutQueue()) + transmit_.Count();
}

void SerialLink::PumpTick(void* context, PeriodicTask*) {
    static_cast<SerialLink*>(context)->Pump();
}

// Feeds the driver one chunk at a time, and the next only once it has sent the
// previous one, so the driver never holds more than a chunk.
void SerialLink::Pump() {
    std::int32_t next = -1;
    if (IsOpen()) {
        const std::int32_t count = transmit_.Count();
        const std::int32_t chunk = std::min(transmitChunkSize, count);
        if (OutQueue() != 0) {
            next = pumpPollMs;
        } else if (!writeFailed_) {
            const int timeout =
                writeTimeoutConstantMs +
                static_cast<int>(writeTimeoutPerByteBase / settings_.baudRate) * chunk;
            const int written = device_->Write(transmit_.Data(), chunk, timeout);
            if (written < chunk) {
                // The unsent bytes stay buffered until Close; the engine sees the flag.
                writeFailed_ = true;
                NoteLineFailure();
                if (!lineFailure_.Failed())
                    lineFailure_ = {PortFailure::Stalled, devicePath_, LastReason(),
                                    std::to_string(written) + " / " + std::to_string(chunk)};
            } else if (chunk < count) {
                for (int i = 0; i < written; ++i)
                    transmit_.PopFront();
                next = pumpPollMs;
            } else {
                transmit_.Clear();
            }
        }
    }
    pumpTask_->SetInterval(next);
}

std::string SerialLink::LastReason() const {
    const int error = device_->LastError();
    return error != 0 ? std::strerror(error) : std::string();
}

void SerialLink::NoteLineFailure() {
    if (!device_->Vanished())
        return;
    writeFailed_ = true;
    if (!lineFailure_.Failed())
        lineFailure_ = {PortFailure::Vanished, devicePath_, LastReason(), {}};
}

} // namespace marlo
