#include "document/indCloneCommands.h"

#include "clone/dst_CDrv_Result.h"
#include "clone/indCloneMan.h"
#include "core/cmcEeprom.h"
#include "document/cmcDocument.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcPrompter.h"
#include "sheets/cmcEvMan.h"

using R = dst_CDrv_Result;

indCloneCommands::indCloneCommands(cmcDocument& controller)
    : controller_(controller), manager_(controller.CloneManager()) {
    manager_.SetResultListener([this](const R& result) { WriteEnded(result); });
}

indCloneCommands::~indCloneCommands() {
    manager_.SetResultListener(nullptr);
}

bool indCloneCommands::Identify(std::function<void(R&)> next) {
    if (manager_.IsBusy())
        return false;
    // Requests carry the model code's first number; the reply must carry both.
    manager_.SetIdentification(static_cast<std::uint32_t>(controller_.ModelCodeFirst()), 0);
    return manager_.StartInformation(std::move(next));
}

void indCloneCommands::Finish(int code) {
    awaitingWrite_ = false;
    readBack_ = nullptr;
    const Done done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(code);
}

bool indCloneCommands::Info(Done done) {
    if (!Identify([this](R& result) { Finish(result.code); }))
        return false;
    done_ = std::move(done);
    return true;
}

bool indCloneCommands::Read(Done done) {
    if (!Identify([this](R& result) { ReadData(result); }))
        return false;
    done_ = std::move(done);
    return true;
}

bool indCloneCommands::ReadBack(cmcEeprom& into, Done done) {
    if (!Identify([this](R& result) { ReadData(result); }))
        return false;
    readBack_ = &into;
    done_ = std::move(done);
    return true;
}

void indCloneCommands::ReadData(R& identified) {
    if (identified.code != R::codeSuccess) {
        Finish(identified.code);
        return;
    }
    manager_.SetImageSize(controller_.CurrentImage().Size());
    const bool started =
        readBack_ != nullptr
            ? manager_.StartRead(controller_.CloneRange(), [this](R& result) { KeepImage(result); })
            : manager_.StartRead(controller_.CloneRange(),
                                 [this](R& result) { TakeImage(result); });
    if (!started)
        Finish(notStarted);
}

void indCloneCommands::KeepImage(R& read) {
    if (read.code == R::codeSuccess) {
        readBack_->Assign(read.image);
        controller_.SetRadioBase(read.image, controller_.RadioInfo);
    }
    Finish(read.code);
}

void indCloneCommands::TakeImage(R& read) {
    if (read.code != R::codeSuccess) {
        Finish(read.code);
        return;
    }
    // The image lives only in the result until here: a failed read changed nothing.
    controller_.SetRadioBase(read.image, controller_.RadioInfo);
    cmcEeprom& document = controller_.CurrentImage();
    document.Assign(read.image);
    controller_.AfterLoad(document);
    controller_.StartFreshHistory(false);
    controller_.SetDocumentName({});
    controller_.ShowDocumentAfresh();
    cmcEvMan::App().Post(evDocumentReloaded);
    Finish(R::codeSuccess);
}

bool indCloneCommands::Write(Done done) {
    if (!Identify([this](R& result) { StartWriting(result); }))
        return false;
    done_ = std::move(done);
    return true;
}

void indCloneCommands::StartWriting(R& identified) {
    const int code = identified.code;
    controller_.StartCloneWrite(code);
    if (code != R::codeSuccess)
        Finish(code);
    else if (!manager_.IsBusy())
        Finish(notStarted); // the controller did not send
    else
        awaitingWrite_ = true;
}

void indCloneCommands::WriteEnded(const R& result) {
    // Runs after the controller's own completion (CloneWriteDone).
    if (awaitingWrite_ && result.operation == R::opWrite)
        Finish(result.code);
}

bool indCloneCommands::WriteCommand(Done done) {
    cmcEvMan::App().Send(evCommitEditors);
    int errors = 0;
    int warnings = 0;
    controller_.CheckWarnings(errors, warnings);
    cmcPrompter& prompter = cmcPrompter::current();
    if (errors > 0) {
        prompter.message(cmcDocument::AppTitle(), cmcGTex::App().GetText("GI_Mess_DataError"),
                         PromptIcon::Error, PromptButtons::Ok);
        return false;
    }
    if (manager_.IsBusy() || controller_.CanCloneWrite() == 0)
        return false;
    if (prompter.message(cmcDocument::AppTitle(),
                         cmcGTex::App().GetText("GI_Mess_Confirm_CloneWrite"), PromptIcon::Warning,
                         PromptButtons::OkCancel) != PromptAnswer::Ok)
        return false;
    return Write(std::move(done));
}
