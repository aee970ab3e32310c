// The window's side of the undo history: steps named after what the user sees,
// and the sheet and cell of a step shown when it is undone or redone.
#include "main/appController.h"

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "core/undoHistory.h"
#include "main/undoCommands.h"
#include "radio/cellRequest.h"
#include "sheets/textUtil.h"
#include "views/grid.h"
#include "views/tree.h"

#include <QTreeWidget>

namespace marlo {

void AppController::CommandBegins(const CellRequest& request) {
    if (History().InCommand() || !sheet_ || sheet_->Grid() == nullptr) {
        Document::CommandBegins(request);
        return;
    }
    const Grid& grid = *sheet_->Grid();
    UndoPlace place{shownDescriptor_, grid.Col(), grid.Row()};
    std::string name;
    // A pick or the bit editor's byte comes back as the sheet's own cell.
    if (request.grid == &grid)
        name = sheet_->StepName(request.popupCommand);
    if (name.empty() && request.cell != nullptr)
        name = commandName(request.cell->Text());
    History().Begin(CurrentImage(), std::move(name), std::move(place));
}

void AppController::HistoryChanged() {
    if (undoCommands_)
        undoCommands_->Refresh();
}

bool AppController::StepHistory(bool back) {
    // Text still being typed becomes the step this undo takes back.
    if (sheet_)
        sheet_->CloseEditor(true);
    if (!Document::StepHistory(back))
        return false;
    ShowStepPlace(History().LastPlace());
    NotificationHub::App().Post(evRepaintAll);
    StartWarningsDelay();
    return true;
}

void AppController::ShowStepPlace(const UndoPlace& place) {
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

} // namespace marlo
