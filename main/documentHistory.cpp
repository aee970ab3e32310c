// The controller's undo history: the frame around each user command, Undo and
// Redo, and the modified state that follows the saved point.
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
    if (history_->InCommand()) {
        history_->Begin(*current_, {}, {}); // only the outermost command is named
        return;
    }
    cmcUndoPlace place;
    std::string name;
    if (sheet_ && sheet_->Grid() != nullptr) {
        const cuiGrid& grid = *sheet_->Grid();
        place = {shownDescriptor_, grid.Col(), grid.Row()};
        // A pick or the bit editor's byte comes back as the sheet's own cell.
        if (request.grid == &grid)
            name = sheet_->StepName(request.popupCommand);
    }
    if (name.empty() && request.cell != nullptr)
        name = commandName(request.cell->Text());
    history_->Begin(*current_, std::move(name), std::move(place));
}

void cuiMain::CommandEnds() {
    if (history_->End(*current_))
        FollowSavedPoint();
}

void cuiMain::StartFreshHistory(bool saved) {
    history_->Reset(saved);
    if (saved)
        TakeSaved();
    else
        SetModified();
    if (undoCommands_)
        undoCommands_->Refresh();
}

bool cuiMain::Undo() {
    return StepHistory(true);
}

bool cuiMain::Redo() {
    return StepHistory(false);
}

bool cuiMain::StepHistory(bool back) {
    // Text still being typed becomes the step this undo takes back.
    if (sheet_)
        sheet_->CloseEditor(true);
    if (!(back ? history_->Undo(*current_) : history_->Redo(*current_)))
        return false;
    FollowSavedPoint();
    ShowStepPlace(history_->LastPlace());
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

void cuiMain::FollowSavedPoint() {
    modified_ = !history_->AtSavedPoint();
    RefreshCaption();
    if (undoCommands_)
        undoCommands_->Refresh();
}
