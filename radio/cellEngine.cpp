#include "radio/cellEngine.h"

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "radio/cellCommands.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecChoice.h"
#include "radio/codecSteps.h"
#include "radio/rowOperations.h"
#include "radio/statusLine.h"
#include "sheets/cellModel.h"

#include <algorithm>

namespace marlo {

using namespace CellLabel;

namespace {

// What a row beyond the last channel slot shows, and why an edit was refused.
constexpr const char* kRowNotInUseText = "GI_AppInd_DscRxTxNoUse";
constexpr const char* kEditRestrictedText = "GI_Botttom_EditRestrected";
constexpr const char* kTooLongText = "GI_Botttom_TooLong"; // "%d": the characters the field takes

std::string tooLongText(std::int32_t most) {
    std::string text = OverlayTexts::App().GetLine(kTooLongText);
    if (const auto at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(most));
    return text;
}

// The key of each list: the label whose cells the sheets repaint after a row
// operation, and the cell that typing into an unused row edits.
std::int32_t keyLabelOf(std::uint8_t listType) {
    switch (listType) {
    case listUserChannel:
        return CL_UCh_CH;
    case listSelCallId:
        return CL_SelCall_ID;
    case listAleId:
        return CL_Ale_ID;
    case listTelNumber:
        return CL_TelNumber_Number;
    default:
        return CL_None;
    }
}

// Context-menu commands. True when the cell is then taken as handled.
bool runPopupCommand(CellEvaluation& ev) {
    CellRequest& request = ev.request;
    const std::int32_t command = request.popupCommand;
    if (command == CL_PMenu_Edit) {
        request.action = CellRequest::kEnter;
        request.popupCommand = 0;
        return false;
    }
    if (command == CL_PMenu_Sort) {
        sortUserChannels(ev.context.CurrentImage());
        NotificationHub::App().Post(evRepaintAll);
        return false;
    }
    if (command < CL_PMenu_Copy || command > CL_PMenu_Insert)
        return false;

    const std::uint8_t type = ev.entry.type;
    const std::int32_t lo = ListRecord::FirstIndex(type);
    const std::int32_t hi = ListRecord::LastIndex(type);
    if (type != listNone && ev.index >= lo && ev.index <= hi)
        runRowOperation(command, ev.context, request, ev.entry, lo, hi);
    request.action = CellRequest::kNoAction;
    if (keyLabelOf(type) != CL_None)
        ev.RepaintLabel(keyLabelOf(type));
    return true;
}

// Typing into any cell of an unused row edits the row's key instead.
void redirectTo(CellEvaluation& ev, std::int32_t keyLabel) {
    ev.request.text.clear();
    ev.request.redirected = 1;
    ev.request.outLabel = keyLabel;
    ev.request.outAction = ev.request.action;
}

// The row redirects. True when the cell is then taken as handled.
bool redirectRow(CellEvaluation& ev) {
    CellRequest& request = ev.request;
    if (ev.category == CT_PopupMenu) {
        // A context-menu item works on the row that was clicked.
        const CellRequest* partner = request.partner;
        if (partner != nullptr && partner->cell != nullptr)
            ev.entry.Load(static_cast<std::uint8_t>(listTypeOf(partner->cell->category)),
                          partner->cell->index);
        return false;
    }
    if (request.action > 127)
        return false;

    if (ev.category == CT_UserCh) {
        if (ev.index < ListRecord::FirstIndex(listUserChannel) ||
            ev.index > ListRecord::LastIndex(listUserChannel)) {
            codec::showText(request, ev.Texts().GetLine(kRowNotInUseText));
            ev.AlignCentre();
            ev.SetFontColour(codec::kSilver);
            return true;
        }
        if (ev.entry.channelNumber == ListRecord::noChannel && ev.label != CL_UCh_CH) {
            redirectTo(ev, CL_UCh_CH);
            return true;
        }
        return false;
    }
    // The call lists; a channel's key is its number, handled above.
    const auto listType = static_cast<std::uint8_t>(listTypeOf(ev.category));
    const std::int32_t keyLabel = listType == listUserChannel ? CL_None : keyLabelOf(listType);
    if (keyLabel == CL_None || ev.entry.isUsed() || ev.label == keyLabel)
        return false;
    redirectTo(ev, keyLabel);
    return true;
}

void dispatchLabel(CellEvaluation& ev) {
    if (ev.label < 0 || ev.label >= kLabelCount)
        return; // a plain cell: it shows its own text, the engine has nothing to add
    const CellKind& kind = cellKinds()[static_cast<std::size_t>(ev.label)];
    if (kind.handler == nullptr)
        return;
    if (kind.listTypes != 0 && (kind.listTypes & listBit(ev.entry.type)) == 0)
        return;
    // A pick belongs to the list that was opened; any other cell ignores it.
    if (ev.request.inputMode == CellRequest::kChosen && !kind.takesPicks)
        ev.request.inputMode = CellRequest::kNoInput;
    kind.handler(ev);
}

// After anything the user did: the warnings check waits for quiet again, and the
// document counts as modified once it differs from its saved state.
void noteUserAction(CellContext& context) {
    context.StartWarningsDelay();
    if (!context.IsModified() && context.CurrentImage().Differs(context.SavedImage()))
        context.SetModified();
}

std::uint8_t statusOf(CellEngine& engine, std::int32_t category, std::int32_t label,
                      std::int32_t index) {
    CellModel cell;
    cell.category = category;
    cell.label = label;
    cell.index = index;
    CellRequest request;
    request.cell = &cell;
    evaluateCell(engine, request, false);
    return request.status;
}

} // namespace

CellEngine::CellEngine() : context_(&CellContext::App()) {}

namespace {

// The frame around a user command: ends however the evaluation returns.
class CommandFrame {
public:
    CommandFrame(CellContext& context, const CellRequest& request)
        : context_(request.action != CellRequest::kNoAction ||
                           request.inputMode != CellRequest::kNoInput || request.popupCommand != 0
                       ? &context
                       : nullptr) {
        if (context_ != nullptr)
            context_->CommandBegins(request);
    }
    ~CommandFrame() {
        if (context_ != nullptr)
            context_->CommandEnds();
    }
    CommandFrame(const CommandFrame&) = delete;
    CommandFrame& operator=(const CommandFrame&) = delete;

private:
    CellContext* context_;
};

} // namespace

std::uint8_t evaluateCell(CellEngine& engine, CellRequest& request, bool notify) {
    if (request.cell == nullptr)
        return CellResult::None;
    const CommandFrame frame(engine.Context(), request);
    CellEvaluation ev(engine, engine.Context(), request);
    if (request.action != CellRequest::kNoAction)
        statusLine::Post("");

    request.text.clear();
    request.refusedAbove = 0;
    request.refusedHint.clear();
    request.markReason.clear();
    request.status &= static_cast<std::uint8_t>(~(CellRequest::kDuplicate | CellRequest::kInvalid));
    const auto listType = static_cast<std::uint8_t>(listTypeOf(ev.category));
    if (listType != listNone)
        ev.entry.Load(listType, ev.index);
    request.outCategory = ev.category;
    request.outLabel = ev.label;
    request.outIndex = ev.index;
    if (request.action == CellRequest::kClick)
        request.action = CellRequest::kEnter;

    bool handled = runPopupCommand(ev);
    if (!handled)
        handled = redirectRow(ev);
    if (!handled)
        dispatchLabel(ev);

    if (ev.entry.type != listNone)
        ev.changeBits |= ChangeBit::Entry;
    if (notify && ev.changeBits != 0 && request.onChange.IsAssigned())
        request.onChange(request, ev.changeBits);

    if (request.action != CellRequest::kNoAction || request.inputMode != CellRequest::kNoInput ||
        request.popupCommand != 0)
        noteUserAction(ev.context);
    if (ev.refused)
        statusLine::PostWarning(OverlayTexts::App().GetLine(kEditRestrictedText));
    if (request.refusedAbove > 0)
        statusLine::PostWarning(tooLongText(request.refusedAbove));
    if (!request.refusedHint.empty())
        statusLine::PostWarning(request.refusedHint);
    return ev.result;
}

std::uint8_t runCell(CellEngine& engine, CellModel& cell, std::int32_t action) {
    CellRequest request;
    request.cell = &cell;
    request.action = action;
    return evaluateCell(engine, request, false);
}

bool cellIsInvalid(CellEngine& engine, std::int32_t category, std::int32_t label,
                   std::int32_t index) {
    return (statusOf(engine, category, label, index) & CellRequest::kInvalid) != 0;
}

bool cellIsDuplicate(CellEngine& engine, std::int32_t category, std::int32_t label,
                     std::int32_t index) {
    return (statusOf(engine, category, label, index) & CellRequest::kDuplicate) != 0;
}

// The evaluation record.

CellEvaluation::CellEvaluation(CellEngine& anEngine, CellContext& aContext, CellRequest& aRequest)
    : engine(anEngine), context(aContext), request(aRequest), cell(*aRequest.cell),
      entry(&aContext.CurrentImage()), category(cell.category), label(cell.label),
      index(cell.index) {}

OverlayTexts& CellEvaluation::Texts() const {
    return OverlayTexts::App();
}

void CellEvaluation::RestrictEdit(bool editable) {
    if (editable)
        return;
    if (codec::editRestriction(request, false))
        refused = true;
    request.inputMode = CellRequest::kNoInput;
}

namespace {

// The first reason given stays: it names what the cell's own value breaks.
void mark(CellRequest& request, std::uint8_t bit, bool on, std::string_view why) {
    if (!on)
        return;
    request.status |= bit;
    if (request.markReason.empty())
        request.markReason = why;
}

} // namespace

std::string CellEvaluation::ModeNotInUse(int mode) {
    std::string name = codec::trimSpaces(entry.ModeNameOf(mode));
    if (name.empty())
        name = Texts().GetLine(kModeNamesText, mode);
    return "Mode " + name + " is not in use: switch it on under Mode Registration";
}

std::string aleAddressRepeated(std::string_view address) {
    return "ALE address " + codec::trimSpaces(address) +
           " is entered more than once under ALE Addresses";
}

void CellEvaluation::MarkInvalid(bool on, std::string_view why) {
    mark(request, CellRequest::kInvalid, on, why);
}

void CellEvaluation::MarkDuplicate(bool on, std::string_view why) {
    mark(request, CellRequest::kDuplicate, on, why);
}

void CellEvaluation::AlignCentre() {
    cell.layout = static_cast<std::uint8_t>((cell.layout & ~CellLayout::HAlignMask) | 1);
}

void CellEvaluation::RepaintLabel(std::int32_t repaint) const {
    NotificationHub::App().Post(evRepaintLabel, nullptr, repaint);
}

bool CellEvaluation::ReadByte(std::int32_t address, std::uint8_t& value) const {
    const MemoryImage& image = context.CurrentImage();
    if (!image.IsValidAddress(address))
        return false;
    value = image.GetByte(address);
    return true;
}

void CellEvaluation::WriteByte(std::int32_t address, std::uint8_t value) const {
    MemoryImage& image = context.CurrentImage();
    if (image.IsValidAddress(address))
        image.SetByte(address, value);
}

bool CellEvaluation::SelectionOnByte(std::int32_t address, const codec::SelectionForm& form) {
    std::uint8_t value = 0;
    if (!ReadByte(address, value))
        return false;
    if (!codec::selectionByte(request, form, value, lists(), result))
        return false;
    WriteByte(address, value);
    return true;
}

void CellCatalogue::Uses(OverlayUse use) {
    if (std::find(overlay.begin(), overlay.end(), use) == overlay.end())
        overlay.push_back(std::move(use));
}

namespace {

const CellCatalogue& catalogue() {
    static const CellCatalogue built = [] {
        CellCatalogue c;
        c.UsesText(kRowNotInUseText);
        c.UsesText(kEditRestrictedText);
        addCommonCells(c);
        addExpertCells(c);
        addUserChannelCells(c);
        addIdListCells(c);
        addEdgeAndModeCells(c);
        addSelectionCells(c);
        addRawByteCells(c);
        addLayoutCells(c);
        addCheckCells(c);
        addMenuCells(c);
        return c;
    }();
    return built;
}

} // namespace

const CellKinds& cellKinds() {
    return catalogue().kinds;
}

const std::vector<OverlayUse>& cellOverlayUses() {
    return catalogue().overlay;
}

} // namespace marlo
