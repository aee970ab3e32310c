#include "clone/indCloneMan.h"

#include "clone/cloneMessages.h"
#include "clone/cloneProgress.h"
#include "clone/cmcCloneDrv.h"
#include "clone/dst_CDrv_Result.h"
#include "clone/serialDoctor.h"
#include "core/cmcEnviron.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcPrompter.h"

namespace {

using R = dst_CDrv_Result;

constexpr std::int32_t progressIntervalMs = 30;

} // namespace

indCloneMan::indCloneMan()
    : engine_(std::make_unique<cmcCloneDrv>()), progressTask_(cmcTask::Create()) {
    progressTask_->SetCallback(onProgressTick, this);
}

indCloneMan::~indCloneMan() = default;

void indCloneMan::SetIdentification(std::uint32_t value1, std::uint32_t value2) {
    engine_->SetIdentification(value1, value2);
}

void indCloneMan::SetImageSize(std::int32_t size) {
    engine_->SetImageSize(size);
}

void indCloneMan::SetInformationCheck(Check check) {
    informationCheck_ = std::move(check);
}

void indCloneMan::SetReadCheck(Check check) {
    readCheck_ = std::move(check);
}

void indCloneMan::SetPort(dstClonePort port) {
    port_ = std::move(port);
}

void indCloneMan::SetClock(cmcTickClock clock, int rate) {
    engine_->SetClock(clock, rate);
}

bool indCloneMan::IsBusy() const {
    return engine_->IsBusy();
}

std::int32_t indCloneMan::DataBytes() const {
    return engine_->DataBytes();
}

void indCloneMan::Prepare() {
    if (!port_.device.empty()) {
        engine_->PrepareDevice(port_.device);
        portText_ = port_.device;
        return;
    }
    const int number = port_.number > 0 ? port_.number : cmcEnviron::App().ComPort;
    engine_->Prepare(number);
    portText_ = std::to_string(number);
}

std::string indCloneMan::FailureText(const dst_CDrv_Result& result) const {
    std::string text = cmcCloneMessage(result.code, portText_, result.portFailure);
    // A port that cannot be used: the usual causes on this system, with their fixes.
    const std::string& device = result.portFailure.device;
    if (result.code == dst_CDrv_Result::codePortError && !device.empty() && device.front() == '/')
        text += "\n\n" +
                cmcDoctorReport(device, cmcExamineSerialPort(device, dstDoctorUser::Current()));
    return text;
}

bool indCloneMan::Cancel() {
    return engine_->Cancel();
}

bool indCloneMan::Cancellable() const {
    return engine_->Cancellable();
}

bool indCloneMan::StartInformation(Done done) {
    if (IsBusy())
        return false;
    Prepare();
    if (!engine_->StartInformation(onResult, this))
        return false;
    done_ = std::move(done);
    if (progress_)
        progress_->OperationStarted(false, 0);
    return true;
}

bool indCloneMan::StartRead(cmcRangeList ranges, Done done) {
    if (IsBusy())
        return false;
    Prepare();
    if (!engine_->StartRead(ranges, onResult, this))
        return false;
    done_ = std::move(done);
    BeginTransfer(ranges);
    return true;
}

bool indCloneMan::StartWrite(const cmcEeprom& image, cmcRangeList ranges,
                             cmcCloneWriter::Completion done) {
    if (IsBusy())
        return false;
    Prepare();
    if (!engine_->StartWrite(image, ranges, onResult, this))
        return false;
    done_ = [done = std::move(done)](R& result) {
        if (done)
            done(result.code);
    };
    BeginTransfer(ranges);
    return true;
}

void indCloneMan::BeginTransfer(cmcRangeList ranges) {
    expectedBytes_ = cmcRangeBytes(ranges);
    if (progress_)
        progress_->OperationStarted(true, expectedBytes_);
    progressTask_->SetInterval(progressIntervalMs);
}

void indCloneMan::onProgressTick(void* context, cmcTask*) {
    static_cast<indCloneMan*>(context)->ProgressTick();
}

void indCloneMan::ProgressTick() {
    if (progress_)
        progress_->Progress(engine_->DataBytes(), expectedBytes_);
    if (!engine_->IsBusy())
        progressTask_->SetInterval(-1);
}

void indCloneMan::onResult(void* context, dst_CDrv_Result& result) {
    static_cast<indCloneMan*>(context)->HandleResult(result);
}

void indCloneMan::HandleResult(dst_CDrv_Result& result) {
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
        cmcPrompter::current().message(cmcGTex::App().GetLine("GI_Sys_AppTitle", 0),
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
