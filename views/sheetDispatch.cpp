// The edit dispatcher: hands keys, edited texts and menu commands to the cell
// engine and carries out what it asks back (redirects, replays, the editor,
// a new block), and the repaints that changes call for.
#include "views/sheet.h"

#include "core/notificationHub.h"
#include "radio/cellEngine.h"
#include "views/sheetFinder.h"

#include <algorithm>

namespace marlo {

namespace {

// Hub messages the sheets answer beyond those the hub names.
constexpr std::uint8_t kRepaintCategory = 14;
constexpr std::uint8_t kRepaintUpTo = 17;
constexpr std::uint8_t kRepaintFrom = 18;

// Change bits: which cells a change touches, compared with the request's cell.
namespace change {
constexpr std::uint8_t SameCell = 0x01;
constexpr std::uint8_t SameCategory = 0x02;
constexpr std::uint8_t SameLabel = 0x04;
constexpr std::uint8_t SameIndex = 0x08;
constexpr std::uint8_t Neighbours = 0x10;
constexpr std::uint8_t AllBound = 0x20;
constexpr std::uint8_t IndexFrom = 0x40;
constexpr std::uint8_t IndexUpTo = 0x80;
} // namespace change

bool touches(const CellModel& cell, const CellModel& changed, std::uint8_t bits) {
    const bool bound = cell.IsBound();
    const bool hasCategory = changed.category != CellModel::kNoCategory;
    return ((bits & change::SameCell) && cell.label == changed.label &&
            cell.index == changed.index) ||
           ((bits & change::SameCategory) && cell.category == changed.category) ||
           ((bits & change::SameLabel) && cell.label == changed.label) ||
           ((bits & change::SameIndex) && hasCategory && bound && cell.index == changed.index) ||
           ((bits & change::Neighbours) && bound && cell.category == changed.category &&
            std::abs(static_cast<std::int64_t>(cell.index) - changed.index) <= 1) ||
           ((bits & change::AllBound) && bound) ||
           ((bits & change::IndexFrom) && hasCategory && bound && cell.index >= changed.index) ||
           ((bits & change::IndexUpTo) && hasCategory && bound && cell.index <= changed.index);
}

} // namespace

void Sheet::FillRequest(CellRequest& request, int col, int row) {
    request.Reset();
    request.form = grid_;
    request.grid = grid_;
    request.cell = &def_->Cell(col, row).model;
    const GridRect r = grid_->CellRect(col, row);
    lastRect_ = r;
    request.rect = CellRect{r.left, r.top, r.right, r.bottom};
    request.images = const_cast<MarkImages*>(marks_);
    request.partner = ownerRequest_ ? &*ownerRequest_ : nullptr;
    request.onChange = {&Sheet::OnChange, this};
    request.secondCallback = {&Sheet::OnOpenEditor, this};
    request.status =
        static_cast<std::uint8_t>((IsCursor(col, row) ? 1 : 0) | (printer_ != nullptr ? 2 : 0));
    request.block.owner = this;
    if ((interaction_ & kMultiActive) != 0 && anchor_.IsValid()) {
        const int first = FirstDataCol();
        const std::int32_t a = def_->Cell(first, anchor_.row).model.index;
        const std::int32_t b = def_->Cell(first, grid_->Row()).model.index;
        request.block.flags |= CellBlock::Selected;
        request.block.first = std::min(a, b);
        request.block.last = std::max(a, b);
    }
}

// The selectable cell of a reference, rows top to bottom, the first such
// column of each row; the last row that holds one wins.
std::optional<GridCell> Sheet::FindBound(std::int32_t category, std::int32_t label,
                                         std::int32_t index) const {
    std::optional<GridCell> found;
    for (int row = 0; row < def_->RowCount(); ++row)
        for (int col = 0; col < def_->ColCount(); ++col) {
            const CellModel& m = def_->Cell(col, row).model;
            if (m.IsSelectable() && m.category == category && m.label == label &&
                m.index == index) {
                found = GridCell{col, row};
                break;
            }
        }
    return found;
}

// A picker hands Enter and clicks back to the cell that opened it, then hides.
std::uint8_t Sheet::DispatchPick(CellRequest& request) {
    if (request.action != CellRequest::kEnter && request.action != CellRequest::kClick)
        return 0;
    if (!ownerRequest_)
        return 0;
    if (altEnter_ && PickIntoOwnerRows(request))
        return 0;
    CellRequest pick = *ownerRequest_;
    pick.partner = &request;
    pick.inputMode = CellRequest::kChosen;
    const std::uint8_t result = engine_(pick, true);
    if (host_ != nullptr)
        host_->window()->hide();
    emit Picked();
    return result;
}

std::uint8_t Sheet::Dispatch(int col, int row, std::int32_t action, std::int32_t command,
                             const std::string* edited) {
    if (!def_ || grid_ == nullptr || col < 0 || row < 0 || col >= def_->ColCount() ||
        row >= def_->RowCount())
        return 0;
    CellRequest request;
    std::uint8_t result = 0;
    int wait = 30;
    for (int replays = 0;; ++replays) {
        FillRequest(request, col, row);
        request.action = action;
        request.popupCommand = command;
        if (edited != nullptr) {
            request.inputMode = CellRequest::kEditedText;
            request.action = 0;
            request.inputText = *edited;
        }
        if (popup_) {
            return DispatchPick(request);
        }
        result = engine_(request, true);
        if (request.redirected != 0) {
            if (const auto to = FindBound(request.outCategory, request.outLabel, request.outIndex))
                SetCursor(to->col, to->row);
            col = grid_->Col();
            row = grid_->Row();
        }
        if (result == CellResult::ListOpened)
            ClearSelection();
        if (result == CellResult::OpenEditor)
            OpenEditor(col, row, request.text, request.selStart, request.selLength);
        if (request.outAction == 0 || replays >= kMaxReplays)
            break;
        action = request.outAction;
        command = 0;
        edited = nullptr;
        grid_->InvalidateAll();
        if (wait_)
            wait_(wait);
        wait = std::max(0, wait - 6);
    }
    if (def_->Style().multiSelect != SheetStyle::MultiSelectOff &&
        (request.block.flags & CellBlock::NewBlock) != 0) {
        SelectBlock(request);
    } else {
        ClearSelection();
        UpdateSelection({grid_->Col(), grid_->Row()}, {grid_->Col(), grid_->Row()});
    }
    NotificationHub::App().Send(evRefreshMenus);
    return result;
}

void Sheet::InvalidateCell(int col, int row) {
    if (grid_ == nullptr)
        return;
    grid_->InvalidateCell(col, row);
}

void Sheet::InvalidateHighlighted() {
    if (!def_ || grid_ == nullptr)
        return;
    for (int row = 0; row < def_->RowCount(); ++row)
        for (int col = 0; col < def_->ColCount(); ++col)
            if (IsHighlighted(col, row))
                InvalidateCell(col, row);
}

void Sheet::Repaint(const CellModel& changed, std::uint8_t bits) {
    if (!def_ || grid_ == nullptr || building_)
        return;
    if (finder_)
        finder_->Forget();
    const int lastRow = std::min(grid_->Layout().LastVisibleRow(), def_->RowCount() - 1);
    const int lastCol = std::min(grid_->Layout().LastVisibleCol(), def_->ColCount() - 1);
    for (int row = 0; row <= lastRow; ++row)
        for (int col = 0; col <= lastCol; ++col)
            if (touches(def_->Cell(col, row).model, changed, bits))
                InvalidateCell(col, row);
}

void Sheet::OnChange(void* self, CellRequest& request, std::uint8_t bits) {
    if (request.cell != nullptr)
        static_cast<Sheet*>(self)->Repaint(*request.cell, bits);
}

// Kept in every request as the engine's way back to the editor; the engine
// asks through its result byte instead.
void Sheet::OnOpenEditor(void*, CellRequest&, std::uint8_t) {}

void Sheet::AnswerHub(const HubMessage& message) {
    if (!def_ || grid_ == nullptr)
        return;
    CellModel changed;
    changed.category = 0;
    changed.label = 0;
    changed.index = -1;
    std::uint8_t bits = 0;
    switch (message.type) {
    case evAskMenuCell:
        // A sheet holds a context menu while it has the keyboard or has lent it
        // to a popup or the menu bar: it answers for the menu bar then.
        if (message.object == contextMenu_ ||
            (message.object == nullptr && (grid_->hasFocus() || menuBuilder_ != nullptr))) {
            NotificationHub::App().Reply(0, &def_->Cell(grid_->Col(), grid_->Row()).model);
        }
        return;
    case evCommitEditors:
        CloseEditor(true);
        return;
    case evRepaintAll:
        bits = change::AllBound;
        break;
    case kRepaintCategory:
        changed.category = message.value;
        bits = change::SameCategory;
        break;
    case evRepaintLabel:
        changed.label = message.value;
        bits = change::SameLabel;
        break;
    case evRepaintIndex:
        changed.index = message.value;
        bits = change::SameIndex;
        break;
    case kRepaintUpTo:
        changed.index = message.value;
        bits = change::IndexUpTo;
        break;
    case kRepaintFrom:
        changed.index = message.value;
        bits = change::IndexFrom;
        break;
    default:
        return;
    }
    Repaint(changed, bits);
}

} // namespace marlo
