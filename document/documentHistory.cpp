// The document's undo history: the frame around each user command, Undo and
// Redo, and the modified state that follows the saved point.
#include "document/document.h"

#include "core/memoryImage.h"
#include "core/undoHistory.h"
#include "radio/cellRequest.h"
#include "sheets/cellModel.h"
#include "sheets/textUtil.h"

namespace marlo {

void Document::CommandBegins(const CellRequest& request) {
    std::string name;
    if (!history_->InCommand() && request.cell != nullptr)
        name = commandName(request.cell->Text());
    history_->Begin(*current_, std::move(name), {});
}

void Document::CommandEnds() {
    if (history_->End(*current_))
        FollowSavedPoint();
}

void Document::StartFreshHistory(bool saved) {
    history_->Reset(saved);
    if (saved)
        TakeSaved();
    else
        SetModified();
    HistoryChanged();
}

bool Document::StepHistory(bool back) {
    if (!(back ? history_->Undo(*current_) : history_->Redo(*current_)))
        return false;
    FollowSavedPoint();
    return true;
}

void Document::FollowSavedPoint() {
    modified_ = !history_->AtSavedPoint();
    RefreshCaption();
    HistoryChanged();
}

} // namespace marlo
