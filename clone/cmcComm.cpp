#include "clone/cmcComm.h"

#include "clone/cmcPortDiagnosis.h"
#include "clone/cmcSerialDevice.h"
#include "core/cmcPortMap.h"

#include <algorithm>
#include <cstring>

namespace {

// The driver's write time-out for one chunk: a fixed allowance plus the time the
// bytes take on the line.
constexpr int writeTimeoutConstantMs = 3000;
constexpr std::uint32_t writeTimeoutPerByteBase = 100000;
constexpr std::int32_t pumpPollMs = 10;

} // namespace

cmcComm::cmcComm() : device_(std::make_unique<cmcSerialDevice>()), pumpTask_(cmcTask::Create()) {
    pumpTask_->SetCallback(&cmcComm::pumpTick, this);
}

cmcComm::~cmcComm() {
    Close();
}

bool cmcComm::Open(int portNumber, const std::string& lineSettings) {
    if (IsOpen())
        return false;
    portNumber_ = portNumber;
    return openPath(cmcPortMap::DevicePath(portNumber), lineSettings);
}

bool cmcComm::OpenDevice(const std::string& devicePath, const std::string& lineSettings) {
    if (IsOpen())
        return false;
    portNumber_ = 0;
    return openPath(devicePath, lineSettings);
}

bool cmcComm::openPath(const std::string& devicePath, const std::string& lineSettings) {
    writeFailed_ = false;
    lineFailure_ = {};
    openFailure_ = {};
    devicePath_ = devicePath;
    // Parsed before the device is touched, so that the settings stay stored even
    // when the open fails.
    if (!settings_.Parse(lineSettings)) {
        openFailure_ = {dstPortFailure::BadSettings, devicePath, settings_.fault, lineSettings};
        return false;
    }
    if (devicePath.empty()) {
        openFailure_ = {dstPortFailure::NoSuchPort, std::to_string(portNumber_), {}, {}};
        return false;
    }
    if (const int error = device_->Open(devicePath); error != 0) {
        openFailure_ = cmcOpenFailure(devicePath, error);
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
        openFailure_ = cmcSetupFailure(devicePath, settings_, error);
        Close();
        return false;
    }
    return true;
}

void cmcComm::Close() {
    pumpTask_->SetInterval(-1);
    device_->Close();
    transmit_.Clear();
    writeFailed_ = false;
}

bool cmcComm::IsOpen() const {
    return device_->IsOpen();
}

int cmcComm::Read(std::uint8_t* destination, int capacity) {
    if (!IsOpen() || destination == nullptr || capacity <= 0)
        return 0;
    const int waiting =
        static_cast<int>(std::min<unsigned>(InQueue(), static_cast<unsigned>(capacity)));
    if (waiting == 0)
        return 0;
    const int n = device_->Read(destination, waiting);
    if (n < 0) {
        noteLineFailure();
        return 0;
    }
    return n;
}

void cmcComm::Write(const std::uint8_t* bytes, int count) {
    if (!IsOpen())
        return;
    pumpTask_->SetInterval(-1);
    transmit_.AppendBytes(bytes, count);
    pumpTask_->SetInterval(0);
    pump();
}

unsigned cmcComm::InQueue() {
    if (!IsOpen())
        return 0;
    const long n = device_->InQueue();
    if (n < 0) {
        noteLineFailure();
        return 0;
    }
    return static_cast<unsigned>(n);
}

unsigned cmcComm::OutQueue() {
    if (!IsOpen())
        return 0;
    const long n = device_->OutQueue();
    if (n < 0) {
        noteLineFailure();
        return 0;
    }
    return static_cast<unsigned>(n);
}

int cmcComm::OutPending() {
    return static_cast<int>(OutQueue()) + transmit_.Count();
}

void cmcComm::pumpTick(void* context, cmcTask*) {
    static_cast<cmcComm*>(context)->pump();
}

// Feeds the driver one chunk at a time, and the next only once it has sent the
// previous one, so the driver never holds more than a chunk.
void cmcComm::pump() {
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
                noteLineFailure();
                if (!lineFailure_.Failed())
                    lineFailure_ = {dstPortFailure::Stalled, devicePath_, lastReason(),
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

std::string cmcComm::lastReason() const {
    const int error = device_->LastError();
    return error != 0 ? std::strerror(error) : std::string();
}

void cmcComm::noteLineFailure() {
    if (!device_->Vanished())
        return;
    writeFailed_ = true;
    if (!lineFailure_.Failed())
        lineFailure_ = {dstPortFailure::Vanished, devicePath_, lastReason(), {}};
}
