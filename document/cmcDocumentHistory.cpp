// The document's undo history: the frame around each user command, Undo and
// Redo, and the modified state that follows the saved point.
#include "document/cmcDocument.h"

#include "core/cmcEeprom.h"
#include "core/cmcUndoHistory.h"
#include "radio/cmcCellCapsule.h"
#include "sheets/cmcCellObj.h"
#include "sheets/cmcTextUtil.h"

void cmcDocument::CommandBegins(const cmcCellCapsule& request) {
    std::string name;
    if (!history_->InCommand() && request.cell != nullptr)
        name = commandName(request.cell->Text());
    history_->Begin(*current_, std::move(name), {});
}

void cmcDocument::CommandEnds() {
    if (history_->End(*current_))
        FollowSavedPoint();
}

void cmcDocument::StartFreshHistory(bool saved) {
    history_->Reset(saved);
    if (saved)
        TakeSaved();
    else
        SetModified();
    HistoryChanged();
}

bool cmcDocument::StepHistory(bool back) {
    if (!(back ? history_->Undo(*current_) : history_->Redo(*current_)))
        return false;
    FollowSavedPoint();
    return true;
}

void cmcDocument::FollowSavedPoint() {
    modified_ = !history_->AtSavedPoint();
    RefreshCaption();
    HistoryChanged();
}
