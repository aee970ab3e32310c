#include "clone/cloneProtocol.h"

#include "clone/cloneFrameCheck.h"
#include "clone/cloneFrames.h"
#include "clone/cloneReceive.h"
#include "clone/serialLink.h"
#include "core/memoryImage.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace marlo {

namespace {

constexpr std::int32_t tickMs = 10;
// Sent bytes that may be on their way back while data frames are being sent;
// every other state waits for the whole echo before it acts.
constexpr std::int32_t echoHoldSending = 128;
constexpr int framesPerTick = 8;
constexpr std::int32_t commandPreambleCount = 12;
constexpr std::uint32_t purgeWaitMs = 100;
constexpr int purgeLimit = 65535;
constexpr std::int32_t compactAbove = 4096;
constexpr std::uint32_t quietMs = 1000;
constexpr std::uint32_t quietLimitMs = 5000;

} // namespace

CloneProtocol::CloneProtocol()
    : port_(std::make_unique<SerialLink>()), task_(PeriodicTask::Create()) {
    task_->SetCallback(&CloneProtocol::TaskTick, this);
}

// The task goes through its deferred release: we may be destroyed from inside
// our own completion callback, that is, from inside the task's tick.
CloneProtocol::~CloneProtocol() = default;

void CloneProtocol::SetIdentification(std::uint32_t value1, std::uint32_t value2) {
    identification1_ = value1;
    identification2_ = value2;
}

void CloneProtocol::SetImageSize(std::int32_t n) {
    imageSize_ = n;
}

void CloneProtocol::Prepare(int portNumber) {
    portNumber_ = portNumber;
    devicePath_.clear();
    lineSettings_ = "9600,N,8,1";
    commandPreamble_ = commandPreambleCount;
    dataPreambleFirst_ = 0;
    dataPreambleLater_ = 0;
    echoCheck_ = true;
}

void CloneProtocol::PrepareDevice(const std::string& devicePath) {
    Prepare(0);
    devicePath_ = devicePath;
}

bool CloneProtocol::StartInformation(CloneDoneCallback done, void* context) {
    return !IsBusy() && Start(CloneResult::opInformation, done, context);
}

bool CloneProtocol::StartRead(RangeList ranges, CloneDoneCallback done, void* context) {
    if (IsBusy() || !CopyRanges(ranges, imageSize_))
        return false;
    return Start(CloneResult::opRead, done, context);
}

bool CloneProtocol::StartWrite(const MemoryImage& image, RangeList ranges, CloneDoneCallback done,
                               void* context) {
    if (IsBusy() || !CopyRanges(ranges, image.Size()))
        return false;
    Start(CloneResult::opWrite, done, context);
    rangeCursor_ = 0;
    currentAddress_ = ranges_.empty() ? 0 : ranges_.front().first;
    result_->image.Resize(image.Size());
    result_->image.Assign(image);
    return true;
}

// Keeps the blocks up to the terminator; false if one of them leaves the image.
bool CloneProtocol::CopyRanges(RangeList ranges, std::int32_t imageSize) {
    std::vector<AddressRange> kept;
    for (const AddressRange& r : ranges) {
        if (r.last < r.first)
            break;
        if (r.first < 0 || r.last >= imageSize)
            return false;
        kept.push_back(r);
    }
    ranges_ = std::move(kept);
    return true;
}

void CloneProtocol::SetClock(TimeoutClock clock, int rate) {
    if (IsBusy())
        return;
    clock_ = clock;
    clockRate_ = std::max(rate, 1);
    timeout_ = Timeout(clock);
    quiet_ = Timeout(clock);
    quietLimit_ = Timeout(clock);
}

bool CloneProtocol::Start(std::uint8_t operation, CloneDoneCallback done, void* context) {
    done_ = done;
    doneContext_ = context;
    frameCount_ = 0;
    dataBytes_ = 0;
    operation_ = operation;
    result_ =
        std::make_unique<CloneResult>(operation, identification1_, identification2_, imageSize_);
    // Nothing to settle on a line that the last operation left drained and open.
    state_ = ContinuesOnOpenPort() ? stOpening : stStarting;
    task_->SetInterval(std::max(tickMs / clockRate_, 1));
    return true;
}

void CloneProtocol::TaskTick(void* context, PeriodicTask* /*task*/) {
    static_cast<CloneProtocol*>(context)->Tick();
}

void CloneProtocol::Tick() {
    if (state_ != stIdle)
        Step();
    // A driver that stopped taking our bytes ends the operation whatever the step did.
    if (result_ && port_->WriteFailed()) {
        result_->code = CloneResult::codeWriteFailed;
        result_->portFailure = port_->LineFailure();
        state_ = stDone;
    }
    if (state_ == stDone) {
        Finish(); // may have destroyed us: nothing may follow
        return;
    }
    if (state_ == stIdle)
        task_->SetInterval(-1);
}

void CloneProtocol::Step() {
    std::uint8_t next = state_ + 1;
    const bool expired = timeout_.Remaining() == 0;
    bool progress = true;

    bool mismatch = false;
    bool hold = false;
    if (state_ != stDraining && state_ != stQuieting && echo_.Count() > 0) {
        mismatch = TakeEcho(progress);
        hold = echo_.Count() > (state_ == stSendingData ? echoHoldSending : 0);
    }
    if (mismatch) {
        result_->code = CloneResult::codeEchoError;
        next = stDraining;
    } else if (hold) {
        next = state_;
    } else {
        next = Act(progress);
    }

    if (next != state_)
        progress = true;
    if (progress) {
        timeout_.Start(next == stAwaitWriteResult ? timeoutWriteResult_ : timeoutDefault_);
    } else if (expired) {
        result_->code = echo_.Count() > 0 ? CloneResult::codeEchoError : CloneResult::codeNoAnswer;
        // A port that cannot drain would otherwise keep us draining for good.
        next = state_ == stDraining ? stDone : stDraining;
    }

    if (receive_.Count() > compactAbove)
        receive_.Compact();
    if (echo_.Count() > compactAbove)
        echo_.Compact();
    state_ = next;
}

// Compares what came back with what we sent; true on the first difference.
bool CloneProtocol::TakeEcho(bool& progress) {
    ReadPort();
    return cloneFrame::TakeEcho(receive_, echo_, progress);
}

std::uint8_t CloneProtocol::Act(bool& progress) {
    switch (state_) {
    case stStarting:
        return stSettling;
    case stSettling:
        progress = port_->OutPending() != 0;
        return progress ? stSettling : stOpening;
    case stOpening:
        return OpenPort();
    case stSendInformation:
        SendRequest(cloneFrame::informationRequest);
        return stAwaitInformation;
    case stAwaitInformation:
        progress = false;
        return AwaitInformation();
    case stSendRead:
        SendRequest(cloneFrame::readRequest);
        return stReceiving;
    case stReceiving:
        progress = false;
        return Receive(progress);
    case stSendWrite:
        SendRequest(cloneFrame::writeRequest);
        return stSendingData;
    case stSendingData:
        progress = false;
        return SendData(progress);
    case stSendEnd:
        SendEnd();
        return stAwaitWriteResult;
    case stAwaitWriteResult:
        progress = false;
        return AwaitWriteResult();
    case stDraining:
        progress = false;
        return port_->OutPending() != 0 ? std::uint8_t{stDraining} : Drained();
    case stQuieting:
        return Quieting();
    default:
        return stDone;
    }
}

std::uint8_t CloneProtocol::Drained() {
    if (result_->code == CloneResult::codeSuccess || !port_->IsOpen())
        return stDone;
    quiet_.Start(quietMs);
    quietLimit_.Start(quietLimitMs);
    return stQuieting;
}

// Discards what arrives; counts as progress, so the operation's timeout never
// changes the failure's code while we wait.
std::uint8_t CloneProtocol::Quieting() {
    const int n = port_->Read(scratch_.data(), static_cast<int>(scratch_.size()));
    if (n > 0)
        quiet_.Start(quietMs);
    return quiet_.Remaining() == 0 || quietLimit_.Remaining() == 0 ? stDone : stQuieting;
}

void CloneProtocol::Finish() {
    // After a success the line is known to be quiet: a completion that starts
    // the next operation (identify, then read or write) goes on over the open
    // port instead of reopening it and waiting for the line to settle again.
    const bool keepOpen =
        result_->code == CloneResult::codeSuccess && port_->IsOpen() && !port_->WriteFailed();
    if (!keepOpen)
        port_->Close();
    lingering_ = keepOpen;
    state_ = stIdle;
    receive_.Clear();
    frame_.Clear();
    echo_.Clear();
    task_->SetInterval(-1);
    std::unique_ptr<CloneResult> result = std::move(result_);
    const CloneDoneCallback done = done_;
    void* const context = doneContext_;
    done_ = nullptr;
    doneContext_ = nullptr;
    // Last: the callback may start the next operation or destroy this engine.
    if (done != nullptr) {
        const std::weak_ptr<bool> alive = alive_;
        done(context, *result);
        if (alive.expired())
            return;
    }
    // Nothing follows: the port is let go, as after every end.
    if (state_ == stIdle)
        ClosePortNow();
}

bool CloneProtocol::Cancellable() const {
    if (state_ == stIdle || state_ == stDraining || state_ == stDone || state_ == stQuieting ||
        !result_ || result_->code == CloneResult::codeCancelled)
        return false;
    return operation_ != CloneResult::opWrite;
}

bool CloneProtocol::Cancel() {
    if (!Cancellable())
        return false;
    result_->code = CloneResult::codeCancelled;
    state_ = stDraining;
    timeout_.Start(timeoutDefault_);
    return true;
}

void CloneProtocol::ReleasePort() {
    if (state_ == stIdle)
        ClosePortNow();
}

void CloneProtocol::ClosePortNow() {
    lingering_ = false;
    port_->Close();
}

void CloneProtocol::ReadPort() {
    const int n = port_->Read(scratch_.data(), static_cast<int>(scratch_.size()));
    receive_.AppendBytes(scratch_.data(), n);
}

void CloneProtocol::Send(const ByteQueue& bytes) {
    port_->Write(bytes.Data(), bytes.Count());
    if (echoCheck_)
        echo_.Append(bytes);
}

void CloneProtocol::SendRequest(std::uint8_t command) {
    frame_.Clear();
    ByteQueue request;
    cloneFrame::AppendRequest(request, command, identification1_, identification2_,
                              commandPreamble_);
    Send(request);
}

std::uint8_t CloneProtocol::OpenPort() {
    if (ContinuesOnOpenPort()) {
        // Still open from the operation that just succeeded on this line.
        lingering_ = false;
        DiscardInput();
        return OperationState();
    }
    ClosePortNow();
    const std::string line = LineName();
    const bool opened = devicePath_.empty() ? port_->Open(portNumber_, lineSettings_)
                                            : port_->OpenDevice(devicePath_, lineSettings_);
    if (!opened) {
        result_->code = CloneResult::codePortError;
        result_->portFailure = port_->OpenFailure();
        return stDraining;
    }
    openLine_ = line;
    PurgeInput();
    return OperationState();
}

std::string CloneProtocol::LineName() const {
    return devicePath_.empty() ? "#" + std::to_string(portNumber_) : devicePath_;
}

bool CloneProtocol::ContinuesOnOpenPort() const {
    return lingering_ && port_->IsOpen() && LineName() == openLine_;
}

std::uint8_t CloneProtocol::OperationState() const {
    switch (operation_) {
    case CloneResult::opInformation:
        return stSendInformation;
    case CloneResult::opRead:
        return stSendRead;
    default:
        return stSendWrite;
    }
}

// Whatever the radio or the line left behind must not pass for an answer. The
// wait is told by the engine's clock, a millisecond at a time.
void CloneProtocol::PurgeInput() {
    Timeout wait(clock_);
    wait.Start(purgeWaitMs);
    while (wait.Remaining() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    DiscardInput();
}

void CloneProtocol::DiscardInput() {
    std::uint8_t b = 0;
    for (int i = 0; i < purgeLimit && port_->Read(&b, 1) > 0; ++i) {
    }
}

// The last frame completed by what has arrived, or an empty buffer.
ByteQueue CloneProtocol::TakeLastFrame() {
    ReadPort();
    return cloneFrame::TakeLastFrame(receive_, frame_);
}

std::uint8_t CloneProtocol::AwaitInformation() {
    const ByteQueue frame = TakeLastFrame();
    if (frame.Count() == 0)
        return stAwaitInformation;
    result_->code = static_cast<std::uint8_t>(cloneFrame::CheckInformationReply(frame, *result_));
    return stDraining;
}

std::uint8_t CloneProtocol::Receive(bool& progress) {
    ReadPort();
    const int code = cloneFrame::TakeReadFrames(receive_, frame_, imageSize_, ranges_, frameCount_,
                                                *result_, dataBytes_, progress);
    if (code == cloneFrame::readGoesOn)
        return stReceiving;
    result_->code = static_cast<std::uint8_t>(code);
    return stDraining;
}

// Up to eight frames a tick, each sent at once unless the port still holds more
// than four times what is waiting; then they gather and go together later.
std::uint8_t CloneProtocol::SendData(bool& progress) {
    std::uint8_t next = stSendingData;
    for (int pass = 0; pass < framesPerTick; ++pass) {
        bool last = false;
        if (rangeCursor_ >= ranges_.size()) {
            if (port_->OutPending() == 0 && frame_.Count() == 0)
                next = stSendEnd;
            last = true;
        } else if (ranges_[rangeCursor_].last < currentAddress_) {
            if (++rangeCursor_ < ranges_.size())
                currentAddress_ = ranges_[rangeCursor_].first;
        } else {
            AppendDataFrame();
        }
        if (next != stSendingData || frame_.Count() == 0 ||
            port_->OutPending() > 4 * frame_.Count())
            break;
        Send(frame_);
        frame_.Clear();
        progress = true;
        if (last)
            break;
    }
    return next;
}

void CloneProtocol::AppendDataFrame() {
    const std::int32_t n = cloneFrame::BlockLength(currentAddress_, ranges_[rangeCursor_].last);
    const std::int32_t preamble = frameCount_ == 0 ? dataPreambleFirst_ : dataPreambleLater_;
    cloneFrame::AppendDataFrame(frame_, result_->image, currentAddress_, n, preamble);
    ++frameCount_;
    currentAddress_ += n;
    dataBytes_ += n;
}

void CloneProtocol::SendEnd() {
    ByteQueue end;
    cloneFrame::AppendEndFrame(end, frameCount_, frameCountInEnd_);
    Send(end);
}

std::uint8_t CloneProtocol::AwaitWriteResult() {
    const ByteQueue frame = TakeLastFrame();
    if (frame.Count() == 0)
        return stAwaitWriteResult;
    result_->code = static_cast<std::uint8_t>(cloneFrame::CheckWriteResult(frame));
    return stDraining;
}

} // namespace marlo
