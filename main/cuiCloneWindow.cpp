#include "main/cuiCloneWindow.h"

#include "clone/indCloneMan.h"
#include "core/cmcEnviron.h"
#include "main/cuiInformation.h"
#include "main/cuiMain.h"
#include "main/cuiPortDialog.h"
#include "overlay/cmcGTex.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcEvMan.h"

namespace {

constexpr char kInformationSheet[] = "GI_Sheet_CloneInfo";

} // namespace

cuiCloneWindow::cuiCloneWindow(cuiMain& controller, cmcCellContext& cells)
    : controller_(controller), cells_(cells),
      progress_([&controller]() -> QWidget* { return controller.Form(); },
                {[&controller] { return controller.CloneManager().Cancellable(); },
                 [&controller] { return controller.CloneManager().Cancel(); }}),
      commands_(std::make_unique<indCloneCommands>(controller)) {
    controller_.CloneManager().SetProgress(&progress_);
}

cuiCloneWindow::~cuiCloneWindow() {
    controller_.CloneManager().SetProgress(nullptr);
    commands_.reset();
}

bool cuiCloneWindow::CloneRead(indCloneCommands::Done done) {
    if (controller_.CloneManager().IsBusy())
        return false;
    // Unsaved changes are not lost to the radio's memory without a question.
    if (controller_.AskSave(false) == cuiMain::kAskCancel)
        return false;
    return commands_->Read(std::move(done));
}

bool cuiCloneWindow::CompareRead(cmcEeprom& into, indCloneCommands::Done done) {
    if (controller_.CloneManager().IsBusy())
        return false;
    return commands_->ReadBack(into, std::move(done));
}

bool cuiCloneWindow::CloneWrite(indCloneCommands::Done done) {
    return commands_->WriteCommand(std::move(done));
}

bool cuiCloneWindow::CloneWriteChanges(indCloneCommands::Done done) {
    return commands_->WriteChangesCommand(std::move(done));
}

bool cuiCloneWindow::CloneInfo(indCloneCommands::Done done) {
    return commands_->Info([this, done = std::move(done)](int code) {
        if (code == 0) {
            // The engine lives as long as the window's sheet asks it.
            auto engine = std::make_shared<indActiveCell>(cells_);
            information_ = cuiInformation::Open(
                controller_.Form(), cmcGTex::App().GetLine("GI_Sys_AppTitle", 0), cmcGTex::App(),
                kInformationSheet, [engine](cmcCellCapsule& request, bool notify) {
                    return evaluateCell(*engine, request, notify);
                });
        }
        if (done)
            done(code);
    });
}

bool cuiCloneWindow::SelectPort() {
    return cuiPortDialog::SelectPort(controller_.Form(), cmcEnviron::App());
}
