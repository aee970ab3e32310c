#pragma once

#include "clone/cloneWriter.h"
#include "core/periodicTask.h"
#include "core/rangeList.h"
#include "core/timeout.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace marlo {

class CloneProtocol;
class CloneProgress;
class MemoryImage;
struct CloneResult;

// Which serial line the next operations use: a device path when one is given,
// else a port number, else (number 0) the port setting of the settings store,
// read afresh before every operation.
struct ClonePort {
    int number = 0;
    std::string device;
};

// The clone manager: the user's side of the clone engine. It prepares the engine
// before every operation, runs the registered checks on every result, turns a
// failure code into a message box (captioned with the program's title), and
// then hands the result to the operation's completion. A progress observer (the
// desktop's "Cloning" window, marlo-clone's percentage) follows each operation.
//
// One operation at a time: every Start... returns false while one runs. The
// completion is cleared before it is called, and may start the next operation.
class CloneManager : public CloneWriter {
public:
    // A check sees every result of its kind and may change a code of 0.
    using Check = std::function<void(CloneResult& result)>;
    // Gets the result of the operation it was given to; the result dies after it.
    using Done = std::function<void(CloneResult& result)>;
    using Listener = std::function<void(const CloneResult& result)>;

    CloneManager();
    ~CloneManager() override;
    CloneManager(const CloneManager&) = delete;
    CloneManager& operator=(const CloneManager&) = delete;

    void SetIdentification(std::uint32_t value1, std::uint32_t value2);
    void SetImageSize(std::int32_t size) override;
    // Without an information check every information result fails with 11;
    // without a read check every read fails with 8.
    void SetInformationCheck(Check check);
    void SetReadCheck(Check check);
    void SetPort(ClonePort port);
    // The engine's clock and its rate (CloneProtocol::SetClock); null is the system tick.
    void SetClock(TimeoutClock clock, int rate = 1);
    // Borrowed; may be null.
    void SetProgress(CloneProgress* progress) { progress_ = progress; }
    // Told of every result once its completion has run (a chain learns how the
    // write it had the controller start ended).
    void SetResultListener(Listener listener) { listener_ = std::move(listener); }

    bool IsBusy() const override;
    // Stops a running information request or read (CloneProtocol::Cancel); its
    // completion gets codeCancelled, with no message, the line let go.
    bool Cancel();
    bool Cancellable() const;
    bool StartInformation(Done done);
    bool StartRead(RangeList ranges, Done done);
    bool StartWrite(const MemoryImage& image, RangeList ranges,
                    CloneWriter::Completion done) override;

    // Memory bytes the running (or last) read or write moves, and has moved.
    std::int32_t ExpectedBytes() const { return expectedBytes_; }
    std::int32_t DataBytes() const;
    // The port of the last operation as the messages name it: its number, or
    // the device path.
    const std::string& PortText() const { return portText_; }

private:
    static void OnResult(void* context, CloneResult& result);
    static void OnProgressTick(void* context, PeriodicTask* task);
    void HandleResult(CloneResult& result);
    // The message of a failed result; for a port that cannot be used, with what
    // the serial doctor found.
    std::string FailureText(const CloneResult& result) const;
    void ProgressTick();
    void Prepare();
    void BeginTransfer(RangeList ranges);

    Check informationCheck_;
    Check readCheck_;
    Done done_;
    Listener listener_;
    std::unique_ptr<CloneProtocol> engine_;
    std::int32_t expectedBytes_ = 0;
    TaskPtr progressTask_;
    CloneProgress* progress_ = nullptr;
    ClonePort port_;
    std::string portText_;
};

} // namespace marlo
