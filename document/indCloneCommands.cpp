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

bool indCloneCommands::WriteChanges(cmcDocument::ChangesConfirm confirm, Done done) {
    if (controller_.RadioBase() == nullptr ||
        !Identify([this](R& result) { StartWritingChanges(result); }))
        return false;
    confirmChanges_ = std::move(confirm);
    done_ = std::move(done);
    return true;
}

void indCloneCommands::StartWritingChanges(R& identified) {
    using S = cmcDocument::ChangesStart;
    const cmcDocument::ChangesConfirm confirm = std::move(confirmChanges_);
    confirmChanges_ = nullptr;
    switch (controller_.StartCloneWriteChanges(identified.code, confirm)) {
    case S::Sending:
        awaitingWrite_ = true;
        return;
    case S::OtherRadio:
        return Finish(otherRadio);
    case S::NothingDiffers:
        return Finish(nothingToSend);
    case S::Declined:
        return Finish(declined);
    case S::NotStarted:
        return Finish(identified.code != R::codeSuccess ? identified.code : notStarted);
    }
}

// Ends any cell edit and refuses a document with data errors (the data-error box).
bool indCloneCommands::DocumentMayBeSent() {
    cmcEvMan::App().Send(evCommitEditors);
    int errors = 0;
    int warnings = 0;
    controller_.CheckWarnings(errors, warnings);
    if (errors > 0) {
        cmcPrompter::current().message(cmcDocument::AppTitle(),
                                       cmcGTex::App().GetText("GI_Mess_DataError"),
                                       PromptIcon::Error, PromptButtons::Ok);
        return false;
    }
    return !manager_.IsBusy() && controller_.CanCloneWrite() != 0;
}

// Refusing Write Changes: says why and writes the whole memory when asked to.
bool indCloneCommands::OfferFullWrite(const std::string& why, Done done) {
    const std::string text = why + "\n\n" + cmcGTex::App().GetText("GI_Mess_WriteChanges_Offer");
    if (cmcPrompter::current().message(cmcDocument::AppTitle(), text, PromptIcon::Warning,
                                       PromptButtons::OkCancel) != PromptAnswer::Ok)
        return false;
    return Write(std::move(done));
}

bool indCloneCommands::WriteChangesCommand(Done done) {
    if (!DocumentMayBeSent())
        return false;
    cmcGTex& texts = cmcGTex::App();
    if (controller_.RadioBase() == nullptr)
        return OfferFullWrite(texts.GetText("GI_Mess_WriteChanges_NoBase"), std::move(done));
    const auto confirm = [&texts](const dstChangedBlocks& changes) {
        std::string text = texts.GetText("GI_Mess_WriteChanges_Confirm");
        for (const auto& [mark, value] :
             {std::pair{"%blocks", changes.blocks}, std::pair{"%bytes", changes.bytes}})
            if (const auto at = text.find(mark); at != std::string::npos)
                text.replace(at, std::string(mark).size(), std::to_string(value));
        return cmcPrompter::current().message(cmcDocument::AppTitle(), text, PromptIcon::Warning,
                                              PromptButtons::OkCancel) == PromptAnswer::Ok;
    };
    return WriteChanges(confirm, [this, done = std::move(done)](int code) mutable {
        cmcGTex& overlay = cmcGTex::App();
        if (code == otherRadio) {
            if (OfferFullWrite(overlay.GetText("GI_Mess_WriteChanges_OtherRadio"), done))
                return;
        } else if (code == nothingToSend) {
            cmcPrompter::current().message(cmcDocument::AppTitle(),
                                           overlay.GetText("GI_Mess_WriteChanges_Nothing"),
                                           PromptIcon::Information, PromptButtons::Ok);
        }
        if (done)
            done(code);
    });
}

bool indCloneCommands::WriteCommand(Done done) {
    if (!DocumentMayBeSent())
        return false;
    cmcPrompter& prompter = cmcPrompter::current();
    if (prompter.message(cmcDocument::AppTitle(),
                         cmcGTex::App().GetText("GI_Mess_Confirm_CloneWrite"), PromptIcon::Warning,
                         PromptButtons::OkCancel) != PromptAnswer::Ok)
        return false;
    return Write(std::move(done));
}
