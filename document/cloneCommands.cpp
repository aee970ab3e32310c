#include "document/cloneCommands.h"

#include "clone/cloneManager.h"
#include "clone/cloneResult.h"
#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "document/document.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"

namespace marlo {

using R = CloneResult;

CloneCommands::CloneCommands(Document& controller)
    : controller_(controller), manager_(controller.CloneManager()) {
    manager_.SetResultListener([this](const R& result) { WriteEnded(result); });
}

CloneCommands::~CloneCommands() {
    manager_.SetResultListener(nullptr);
}

bool CloneCommands::Identify(std::function<void(R&)> next) {
    if (manager_.IsBusy())
        return false;
    // Requests carry the model code's first number; the reply must carry both.
    manager_.SetIdentification(static_cast<std::uint32_t>(controller_.ModelCodeFirst()), 0);
    return manager_.StartInformation(std::move(next));
}

void CloneCommands::Finish(int code) {
    awaitingWrite_ = false;
    readBack_ = nullptr;
    const Done done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(code);
}

bool CloneCommands::Info(Done done) {
    if (!Identify([this](R& result) { Finish(result.code); }))
        return false;
    done_ = std::move(done);
    return true;
}

bool CloneCommands::Read(Done done) {
    if (!Identify([this](R& result) { ReadData(result); }))
        return false;
    done_ = std::move(done);
    return true;
}

bool CloneCommands::ReadBack(MemoryImage& into, Done done) {
    if (!Identify([this](R& result) { ReadData(result); }))
        return false;
    readBack_ = &into;
    done_ = std::move(done);
    return true;
}

void CloneCommands::ReadData(R& identified) {
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

void CloneCommands::KeepImage(R& read) {
    if (read.code == R::codeSuccess) {
        readBack_->Assign(read.image);
        controller_.SetRadioBase(read.image, controller_.LastRadioInfo);
    }
    Finish(read.code);
}

void CloneCommands::TakeImage(R& read) {
    if (read.code != R::codeSuccess) {
        Finish(read.code);
        return;
    }
    // The image lives only in the result until here: a failed read changed nothing.
    controller_.SetRadioBase(read.image, controller_.LastRadioInfo);
    MemoryImage& document = controller_.CurrentImage();
    document.Assign(read.image);
    controller_.AfterLoad(document);
    controller_.StartFreshHistory(false);
    controller_.SetDocumentName({});
    controller_.ShowDocumentAfresh();
    NotificationHub::App().Post(evDocumentReloaded);
    Finish(R::codeSuccess);
}

bool CloneCommands::Write(Done done) {
    if (!Identify([this](R& result) { StartWriting(result); }))
        return false;
    done_ = std::move(done);
    return true;
}

void CloneCommands::StartWriting(R& identified) {
    const int code = identified.code;
    controller_.StartCloneWrite(code);
    if (code != R::codeSuccess)
        Finish(code);
    else if (!manager_.IsBusy())
        Finish(notStarted); // the controller did not send
    else
        awaitingWrite_ = true;
}

void CloneCommands::WriteEnded(const R& result) {
    // Runs after the controller's own completion (CloneWriteDone).
    if (awaitingWrite_ && result.operation == R::opWrite)
        Finish(result.code);
}

bool CloneCommands::WriteChanges(Document::ChangesConfirm confirm, Done done) {
    if (controller_.RadioBase() == nullptr ||
        !Identify([this](R& result) { StartWritingChanges(result); }))
        return false;
    confirmChanges_ = std::move(confirm);
    done_ = std::move(done);
    return true;
}

void CloneCommands::StartWritingChanges(R& identified) {
    using S = Document::ChangesStart;
    const Document::ChangesConfirm confirm = std::move(confirmChanges_);
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
bool CloneCommands::DocumentMayBeSent() {
    NotificationHub::App().Send(evCommitEditors);
    int errors = 0;
    int warnings = 0;
    controller_.CheckWarnings(errors, warnings);
    if (errors > 0) {
        Prompter::Current().Message(Document::AppTitle(),
                                    OverlayTexts::App().GetText("GI_Mess_DataError"),
                                    PromptIcon::Error, PromptButtons::Ok);
        return false;
    }
    return !manager_.IsBusy() && controller_.CanCloneWrite() != 0;
}

// Refusing Write Changes: says why and writes the whole memory when asked to.
bool CloneCommands::OfferFullWrite(const std::string& why, Done done) {
    const std::string text =
        why + "\n\n" + OverlayTexts::App().GetText("GI_Mess_WriteChanges_Offer");
    if (Prompter::Current().Message(Document::AppTitle(), text, PromptIcon::Warning,
                                    PromptButtons::OkCancel) != PromptAnswer::Ok)
        return false;
    return Write(std::move(done));
}

bool CloneCommands::WriteChangesCommand(Done done) {
    if (!DocumentMayBeSent())
        return false;
    OverlayTexts& texts = OverlayTexts::App();
    if (controller_.RadioBase() == nullptr)
        return OfferFullWrite(texts.GetText("GI_Mess_WriteChanges_NoBase"), std::move(done));
    const auto confirm = [&texts](const ChangedBlocks& changes) {
        std::string text = texts.GetText("GI_Mess_WriteChanges_Confirm");
        for (const auto& [mark, value] :
             {std::pair{"%blocks", changes.blocks}, std::pair{"%bytes", changes.bytes}})
            if (const auto at = text.find(mark); at != std::string::npos)
                text.replace(at, std::string(mark).size(), std::to_string(value));
        return Prompter::Current().Message(Document::AppTitle(), text, PromptIcon::Warning,
                                           PromptButtons::OkCancel) == PromptAnswer::Ok;
    };
    return WriteChanges(confirm, [this, done = std::move(done)](int code) mutable {
        OverlayTexts& overlay = OverlayTexts::App();
        if (code == otherRadio) {
            if (OfferFullWrite(overlay.GetText("GI_Mess_WriteChanges_OtherRadio"), done))
                return;
        } else if (code == nothingToSend) {
            Prompter::Current().Message(Document::AppTitle(),
                                        overlay.GetText("GI_Mess_WriteChanges_Nothing"),
                                        PromptIcon::Information, PromptButtons::Ok);
        }
        if (done)
            done(code);
    });
}

bool CloneCommands::WriteCommand(Done done) {
    if (!DocumentMayBeSent())
        return false;
    Prompter& prompter = Prompter::Current();
    if (prompter.Message(Document::AppTitle(),
                         OverlayTexts::App().GetText("GI_Mess_Confirm_CloneWrite"),
                         PromptIcon::Warning, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return false;
    return Write(std::move(done));
}

} // namespace marlo
