// The window's side of the undo history: steps named after what the user sees,
// and the sheet and cell of a step shown when it is undone or redone.
#include "main/cuiMain.h"

#include "core/cmcEeprom.h"
#include "core/cmcUndoHistory.h"
#include "main/cuiUndoCommands.h"
#include "radio/cmcCellCapsule.h"
#include "sheets/cmcEvMan.h"
#include "sheets/cmcTextUtil.h"
#include "views/cuiGrid.h"
#include "views/cuiTree.h"

#include <QTreeWidget>

void cuiMain::CommandBegins(const cmcCellCapsule& request) {
    if (History().InCommand() || !sheet_ || sheet_->Grid() == nullptr) {
        cmcDocument::CommandBegins(request);
        return;
    }
    const cuiGrid& grid = *sheet_->Grid();
    cmcUndoPlace place{shownDescriptor_, grid.Col(), grid.Row()};
    std::string name;
    // A pick or the bit editor's byte comes back as the sheet's own cell.
    if (request.grid == &grid)
        name = sheet_->StepName(request.popupCommand);
    if (name.empty() && request.cell != nullptr)
        name = commandName(request.cell->Text());
    History().Begin(CurrentImage(), std::move(name), std::move(place));
}

void cuiMain::HistoryChanged() {
    if (undoCommands_)
        undoCommands_->Refresh();
}

bool cuiMain::StepHistory(bool back) {
    // Text still being typed becomes the step this undo takes back.
    if (sheet_)
        sheet_->CloseEditor(true);
    if (!cmcDocument::StepHistory(back))
        return false;
    ShowStepPlace(History().LastPlace());
    cmcEvMan::App().Post(evRepaintAll);
    StartWarningsDelay();
    return true;
}

void cuiMain::ShowStepPlace(const cmcUndoPlace& place) {
    if (place.sheet.empty())
        return;
    if (!sheet_ || place.sheet != shownDescriptor_) {
        // The sheet first, so that the tree's own delayed opening finds it shown.
        OpenSheet(place.sheet);
        if (tree_)
            tree_->SelectDescriptor(place.sheet);
    }
    if (sheet_ && sheet_->Grid() != nullptr && place.col >= 0 && place.row >= 0 &&
        place.col < sheet_->Grid()->ColCount() && place.row < sheet_->Grid()->RowCount())
        sheet_->SetCursor(place.col, place.row);
}
