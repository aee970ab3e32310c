#include "clone/cloneManager.h"

#include "clone/cloneMessages.h"
#include "clone/cloneProgress.h"
#include "clone/cloneProtocol.h"
#include "clone/cloneResult.h"
#include "clone/serialDoctor.h"
#include "core/settingsStore.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"

namespace marlo {

namespace {

using R = CloneResult;

constexpr std::int32_t progressIntervalMs = 30;

} // namespace

CloneManager::CloneManager()
    : engine_(std::make_unique<CloneProtocol>()), progressTask_(PeriodicTask::Create()) {
    progressTask_->SetCallback(OnProgressTick, this);
}

CloneManager::~CloneManager() = default;

void CloneManager::SetIdentification(std::uint32_t value1, std::uint32_t value2) {
    engine_->SetIdentification(value1, value2);
}

void CloneManager::SetImageSize(std::int32_t size) {
    engine_->SetImageSize(size);
}

void CloneManager::SetInformationCheck(Check check) {
    informationCheck_ = std::move(check);
}

void CloneManager::SetReadCheck(Check check) {
    readCheck_ = std::move(check);
}

void CloneManager::SetPort(ClonePort port) {
    port_ = std::move(port);
}

void CloneManager::SetClock(TimeoutClock clock, int rate) {
    engine_->SetClock(clock, rate);
}

bool CloneManager::IsBusy() const {
    return engine_->IsBusy();
}

std::int32_t CloneManager::DataBytes() const {
    return engine_->DataBytes();
}

void CloneManager::Prepare() {
    if (!port_.device.empty()) {
        engine_->PrepareDevice(port_.device);
        portText_ = port_.device;
        return;
    }
    const int number = port_.number > 0 ? port_.number : SettingsStore::App().ComPort;
    engine_->Prepare(number);
    portText_ = std::to_string(number);
}

std::string CloneManager::FailureText(const CloneResult& result) const {
    std::string text = cloneMessage(result.code, portText_, result.portFailure);
    // A port that cannot be used: the usual causes on this system, with their fixes.
    const std::string& device = result.portFailure.device;
    if (result.code == CloneResult::codePortError && !device.empty() && device.front() == '/')
        text += "\n\n" + doctorReport(device, examineSerialPort(device, DoctorUser::Current()));
    return text;
}

bool CloneManager::Cancel() {
    return engine_->Cancel();
}

bool CloneManager::Cancellable() const {
    return engine_->Cancellable();
}

bool CloneManager::StartInformation(Done done) {
    if (IsBusy())
        return false;
    Prepare();
    if (!engine_->StartInformation(OnResult, this))
        return false;
    done_ = std::move(done);
    if (progress_)
        progress_->OperationStarted(false, 0);
    return true;
}

bool CloneManager::StartRead(RangeList ranges, Done done) {
    if (IsBusy())
        return false;
    Prepare();
    if (!engine_->StartRead(ranges, OnResult, this))
        return false;
    done_ = std::move(done);
    BeginTransfer(ranges);
    return true;
}

bool CloneManager::StartWrite(const MemoryImage& image, RangeList ranges,
                              CloneWriter::Completion done) {
    if (IsBusy())
        return false;
    Prepare();
    if (!engine_->StartWrite(image, ranges, OnResult, this))
        return false;
    done_ = [done = std::move(done)](R& result) {
        if (done)
            done(result.code);
    };
    BeginTransfer(ranges);
    return true;
}

void CloneManager::BeginTransfer(RangeList ranges) {
    expectedBytes_ = rangeBytes(ranges);
    if (progress_)
        progress_->OperationStarted(true, expectedBytes_);
    progressTask_->SetInterval(progressIntervalMs);
}

void CloneManager::OnProgressTick(void* context, PeriodicTask*) {
    static_cast<CloneManager*>(context)->ProgressTick();
}

void CloneManager::ProgressTick() {
    if (progress_)
        progress_->Progress(engine_->DataBytes(), expectedBytes_);
    if (!engine_->IsBusy())
        progressTask_->SetInterval(-1);
}

void CloneManager::OnResult(void* context, CloneResult& result) {
    static_cast<CloneManager*>(context)->HandleResult(result);
}

void CloneManager::HandleResult(CloneResult& result) {
    // Without a check nothing vouches for the radio or the image; an engine
    // failure keeps its own code.
    if (result.operation == R::opInformation) {
        if (informationCheck_)
            informationCheck_(result);
        else if (result.code == R::codeSuccess)
            result.code = R::codeInfoMismatch;
    } else if (result.operation == R::opRead) {
        if (readCheck_)
            readCheck_(result);
        else if (result.code == R::codeSuccess)
            result.code = R::codeIncomplete;
    }

    // Only an accepted identification goes on over the open line, to the read
    // or write it vouches for; after anything else the line is let go before a
    // message waits for the user.
    if (result.operation != R::opInformation || result.code != R::codeSuccess)
        engine_->ReleasePort();

    if (result.operation != R::opInformation) {
        // The bar shows where the transfer stopped while the message is up.
        if (progress_)
            progress_->Progress(engine_->DataBytes(), expectedBytes_);
        progressTask_->SetInterval(-1);
    }
    if (result.code != R::codeSuccess && result.code != R::codeCancelled)
        Prompter::Current().Message(OverlayTexts::App().GetLine("GI_Sys_AppTitle", 0),
                                    FailureText(result), PromptIcon::Error, PromptButtons::Ok);
    if (progress_)
        progress_->OperationEnded();

    // Taken first: the completion may start the next operation, or end the
    // program and this manager with it.
    const Done done = std::move(done_);
    done_ = nullptr;
    const Listener listener = listener_;
    if (done)
        done(result);
    if (listener)
        listener(result);
}

} // namespace marlo
