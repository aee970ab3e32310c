#pragma once

#include "clone/cmcCloneWriter.h"
#include "core/cmcRangeList.h"
#include "core/cmcTask.h"
#include "core/cmcTick.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class cmcCloneDrv;
class cmcCloneProgress;
class cmcEeprom;
struct dst_CDrv_Result;

// Which serial line the next operations use: a device path when one is given,
// else a port number, else (number 0) the port setting of the settings store,
// read afresh before every operation.
struct dstClonePort {
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
class indCloneMan : public cmcCloneWriter {
public:
    // A check sees every result of its kind and may change a code of 0.
    using Check = std::function<void(dst_CDrv_Result& result)>;
    // Gets the result of the operation it was given to; the result dies after it.
    using Done = std::function<void(dst_CDrv_Result& result)>;
    using Listener = std::function<void(const dst_CDrv_Result& result)>;

    indCloneMan();
    ~indCloneMan() override;
    indCloneMan(const indCloneMan&) = delete;
    indCloneMan& operator=(const indCloneMan&) = delete;

    void SetIdentification(std::uint32_t value1, std::uint32_t value2);
    void SetImageSize(std::int32_t size) override;
    // Without an information check every information result fails with 11;
    // without a read check every read fails with 8.
    void SetInformationCheck(Check check);
    void SetReadCheck(Check check);
    void SetPort(dstClonePort port);
    // The engine's clock and its rate (cmcCloneDrv::SetClock); null is the system tick.
    void SetClock(cmcTickClock clock, int rate = 1);
    // Borrowed; may be null.
    void SetProgress(cmcCloneProgress* progress) { progress_ = progress; }
    // Told of every result once its completion has run (a chain learns how the
    // write it had the controller start ended).
    void SetResultListener(Listener listener) { listener_ = std::move(listener); }

    bool IsBusy() const override;
    // Stops a running information request or read (cmcCloneDrv::Cancel); its
    // completion gets codeCancelled, with no message, the line let go.
    bool Cancel();
    bool Cancellable() const;
    bool StartInformation(Done done);
    bool StartRead(cmcRangeList ranges, Done done);
    bool StartWrite(const cmcEeprom& image, cmcRangeList ranges,
                    cmcCloneWriter::Completion done) override;

    // Memory bytes the running (or last) read or write moves, and has moved.
    std::int32_t ExpectedBytes() const { return expectedBytes_; }
    std::int32_t DataBytes() const;
    // The port of the last operation as the messages name it: its number, or
    // the device path.
    const std::string& PortText() const { return portText_; }

private:
    static void onResult(void* context, dst_CDrv_Result& result);
    static void onProgressTick(void* context, cmcTask* task);
    void HandleResult(dst_CDrv_Result& result);
    // The message of a failed result; for a port that cannot be used, with what
    // the serial doctor found.
    std::string FailureText(const dst_CDrv_Result& result) const;
    void ProgressTick();
    void Prepare();
    void BeginTransfer(cmcRangeList ranges);

    Check informationCheck_;
    Check readCheck_;
    Done done_;
    Listener listener_;
    std::unique_ptr<cmcCloneDrv> engine_;
    std::int32_t expectedBytes_ = 0;
    cmcTaskPtr progressTask_;
    cmcCloneProgress* progress_ = nullptr;
    dstClonePort port_;
    std::string portText_;
};
