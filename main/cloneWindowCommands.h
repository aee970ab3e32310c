#pragma once

#include "document/cloneCommands.h"
#include "main/cloneProgressWindow.h"
#include "main/radioInfoDialog.h"

#include <QPointer>

#include <memory>

namespace marlo {

class MemoryImage;
class AppController;
class CellContext;

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
//   Info   the radio's information sheet in a RadioInfoDialog window
//   Port   the port dialog
//
// Each returns false when nothing was started; `done` (optional) gets the
// chain's code when it has ended.
class CloneWindowCommands {
public:
    // `cells` (borrowed) is what the information sheet's cells are evaluated over:
    // the controller's cell context.
    CloneWindowCommands(AppController& controller, CellContext& cells);
    ~CloneWindowCommands();
    CloneWindowCommands(const CloneWindowCommands&) = delete;
    CloneWindowCommands& operator=(const CloneWindowCommands&) = delete;

    bool CloneRead(CloneCommands::Done done = {});
    bool CloneWrite(CloneCommands::Done done = {});
    bool CloneWriteChanges(CloneCommands::Done done = {});
    bool CloneInfo(CloneCommands::Done done = {});
    // Identifies and reads the radio as Clone Read does, into `into` (borrowed
    // until `done`), leaving the document alone: for a comparison.
    bool CompareRead(MemoryImage& into, CloneCommands::Done done);
    bool SelectPort();

    CloneProgressWindow& Progress() { return progress_; }
    // The information window the last successful Clone Info opened, while it is up.
    RadioInfoDialog* Information() const { return information_; }

private:
    AppController& controller_;
    CellContext& cells_;
    CloneProgressWindow progress_;
    std::unique_ptr<CloneCommands> commands_;
    QPointer<RadioInfoDialog> information_;
};

} // namespace marlo
