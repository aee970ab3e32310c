#pragma once

#include "document/indCloneCommands.h"
#include "main/cuiCloneProgress.h"
#include "main/cuiInformation.h"

#include <QPointer>

#include <memory>

class cmcEeprom;
class cuiMain;
class cmcCellContext;

// The Clone menu of the main window as operations of the controller: the
// commands run the clone chains with the "Cloning" window following them, the
// main window disabled from each start to its end, and every failure's box
// shown by the clone manager. The menu's items call these; so do tests.
//
//   Read   the save question first (Cancel: nothing happens), then the read;
//          success leaves an untitled, modified document; a failed read leaves
//          the document as it was
//   Write  the warnings check (errors: the data-error box, nothing sent), the
//          confirmation, the write, the success box
//   Write Changes  as Write, sending only what differs from the radio base
//   Info   the radio's information sheet in a cuiInformation window
//   Port   the port dialog
//
// Each returns false when nothing was started; `done` (optional) gets the
// chain's code when it has ended.
class cuiCloneWindow {
public:
    // `cells` (borrowed) is what the information sheet's cells are evaluated over:
    // the controller's cell context.
    cuiCloneWindow(cuiMain& controller, cmcCellContext& cells);
    ~cuiCloneWindow();
    cuiCloneWindow(const cuiCloneWindow&) = delete;
    cuiCloneWindow& operator=(const cuiCloneWindow&) = delete;

    bool CloneRead(indCloneCommands::Done done = {});
    bool CloneWrite(indCloneCommands::Done done = {});
    bool CloneWriteChanges(indCloneCommands::Done done = {});
    bool CloneInfo(indCloneCommands::Done done = {});
    // Identifies and reads the radio as Clone Read does, into `into` (borrowed
    // until `done`), leaving the document alone: for a comparison.
    bool CompareRead(cmcEeprom& into, indCloneCommands::Done done);
    bool SelectPort();

    cuiCloneProgress& Progress() { return progress_; }
    // The information window the last successful Clone Info opened, while it is up.
    cuiInformation* Information() const { return information_; }

private:
    cuiMain& controller_;
    cmcCellContext& cells_;
    cuiCloneProgress progress_;
    std::unique_ptr<indCloneCommands> commands_;
    QPointer<cuiInformation> information_;
};
