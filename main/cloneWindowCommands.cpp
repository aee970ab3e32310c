#include "main/cloneWindowCommands.h"

#include "clone/cloneManager.h"
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "main/appController.h"
#include "main/portDialog.h"
#include "main/radioInfoDialog.h"
#include "overlay/overlayTexts.h"
#include "radio/cellEngine.h"

namespace marlo {

namespace {

constexpr char kInformationSheet[] = "GI_Sheet_CloneInfo";

} // namespace

CloneWindowCommands::CloneWindowCommands(AppController& controller, CellContext& cells)
    : controller_(controller), cells_(cells),
      progress_([&controller]() -> QWidget* { return controller.Form(); },
                {[&controller] { return controller.CloneManager().Cancellable(); },
                 [&controller] { return controller.CloneManager().Cancel(); }}),
      commands_(std::make_unique<CloneCommands>(controller)) {
    controller_.CloneManager().SetProgress(&progress_);
}

CloneWindowCommands::~CloneWindowCommands() {
    controller_.CloneManager().SetProgress(nullptr);
    commands_.reset();
}

bool CloneWindowCommands::CloneRead(CloneCommands::Done done) {
    if (controller_.CloneManager().IsBusy())
        return false;
    // Unsaved changes are not lost to the radio's memory without a question.
    if (controller_.AskSave(false) == AppController::kAskCancel)
        return false;
    return commands_->Read(std::move(done));
}

bool CloneWindowCommands::CompareRead(MemoryImage& into, CloneCommands::Done done) {
    if (controller_.CloneManager().IsBusy())
        return false;
    return commands_->ReadBack(into, std::move(done));
}

bool CloneWindowCommands::CloneWrite(CloneCommands::Done done) {
    return commands_->WriteCommand(std::move(done));
}

bool CloneWindowCommands::CloneWriteChanges(CloneCommands::Done done) {
    return commands_->WriteChangesCommand(std::move(done));
}

bool CloneWindowCommands::CloneInfo(CloneCommands::Done done) {
    return commands_->Info([this, done = std::move(done)](int code) {
        if (code == 0) {
            // The engine lives as long as the window's sheet asks it.
            auto engine = std::make_shared<CellEngine>(cells_);
            information_ = RadioInfoDialog::Open(controller_.Form(),
                                                 OverlayTexts::App().GetLine("GI_Sys_AppTitle", 0),
                                                 OverlayTexts::App(), kInformationSheet,
                                                 [engine](CellRequest& request, bool notify) {
                                                     return evaluateCell(*engine, request, notify);
                                                 });
        }
        if (done)
            done(code);
    });
}

bool CloneWindowCommands::SelectPort() {
    return PortDialog::SelectPort(controller_.Form(), SettingsStore::App());
}

} // namespace marlo
