#include "radio/indActiveCell.h"

#include "core/cmcEeprom.h"
#include "overlay/cmcGTex.h"
#include "radio/cellEval.h"
#include "radio/cellLabels.h"
#include "radio/cmcCellCommands.h"
#include "radio/codecChoice.h"
#include "radio/codecSteps.h"
#include "radio/rowOperations.h"
#include "radio/statusLine.h"
#include "sheets/cmcCellObj.h"
#include "sheets/cmcEvMan.h"

#include <algorithm>

using namespace cmcCells;

namespace {

// What a row beyond the last channel slot shows, and why an edit was refused.
constexpr const char* kRowNotInUseText = "GI_AppInd_DscRxTxNoUse";
constexpr const char* kEditRestrictedText = "GI_Botttom_EditRestrected";
constexpr const char* kTooLongText = "GI_Botttom_TooLong"; // "%d": the characters the field takes

std::string tooLongText(std::int32_t most) {
    std::string text = cmcGTex::App().GetLine(kTooLongText);
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
bool runPopupCommand(cmcCellEval& ev) {
    cmcCellCapsule& request = ev.request;
    const std::int32_t command = request.popupCommand;
    if (command == CL_PMenu_Edit) {
        request.action = cmcCellCapsule::kEnter;
        request.popupCommand = 0;
        return false;
    }
    if (command == CL_PMenu_Sort) {
        cmcSortUserChannels(ev.context.CurrentImage());
        cmcEvMan::App().Post(evRepaintAll);
        return false;
    }
    if (command < CL_PMenu_Copy || command > CL_PMenu_Insert)
        return false;

    const std::uint8_t type = ev.entry.type;
    const std::int32_t lo = ListEntry::firstIndex(type);
    const std::int32_t hi = ListEntry::lastIndex(type);
    if (type != listNone && ev.index >= lo && ev.index <= hi)
        cmcRunRowOperation(command, ev.context, request, ev.entry, lo, hi);
    request.action = cmcCellCapsule::kNoAction;
    if (keyLabelOf(type) != CL_None)
        ev.repaintLabel(keyLabelOf(type));
    return true;
}

// Typing into any cell of an unused row edits the row's key instead.
void redirectTo(cmcCellEval& ev, std::int32_t keyLabel) {
    ev.request.text.clear();
    ev.request.redirected = 1;
    ev.request.outLabel = keyLabel;
    ev.request.outAction = ev.request.action;
}

// The row redirects. True when the cell is then taken as handled.
bool redirectRow(cmcCellEval& ev) {
    cmcCellCapsule& request = ev.request;
    if (ev.category == CT_PopupMenu) {
        // A context-menu item works on the row that was clicked.
        const cmcCellCapsule* partner = request.partner;
        if (partner != nullptr && partner->cell != nullptr)
            ev.entry.load(static_cast<std::uint8_t>(listTypeOf(partner->cell->category)),
                          partner->cell->index);
        return false;
    }
    if (request.action > 127)
        return false;

    if (ev.category == CT_UserCh) {
        if (ev.index < ListEntry::firstIndex(listUserChannel) ||
            ev.index > ListEntry::lastIndex(listUserChannel)) {
            cmcCodec::showText(request, ev.texts().GetLine(kRowNotInUseText));
            ev.alignCentre();
            ev.setFontColour(cmcCodec::kSilver);
            return true;
        }
        if (ev.entry.channelNumber == ListEntry::noChannel && ev.label != CL_UCh_CH) {
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

void dispatchLabel(cmcCellEval& ev) {
    if (ev.label < 0 || ev.label >= kLabelCount)
        return; // a plain cell: it shows its own text, the engine has nothing to add
    const cmcCellKind& kind = cellKinds()[static_cast<std::size_t>(ev.label)];
    if (kind.handler == nullptr)
        return;
    if (kind.listTypes != 0 && (kind.listTypes & listBit(ev.entry.type)) == 0)
        return;
    // A pick belongs to the list that was opened; any other cell ignores it.
    if (ev.request.inputMode == cmcCellCapsule::kChosen && !kind.takesPicks)
        ev.request.inputMode = cmcCellCapsule::kNoInput;
    kind.handler(ev);
}

// After anything the user did: the warnings check waits for quiet again, and the
// document counts as modified once it differs from its saved state.
void noteUserAction(cmcCellContext& context) {
    context.StartWarningsDelay();
    if (!context.IsModified() && context.CurrentImage().Differs(context.SavedImage()))
        context.SetModified();
}

std::uint8_t statusOf(indActiveCell& engine, std::int32_t category, std::int32_t label,
                      std::int32_t index) {
    cmcCellObj cell;
    cell.category = category;
    cell.label = label;
    cell.index = index;
    cmcCellCapsule request;
    request.cell = &cell;
    evaluateCell(engine, request, false);
    return request.status;
}

} // namespace

indActiveCell::indActiveCell() : context_(&cmcCellContext::App()) {}

namespace {

// The frame around a user command: ends however the evaluation returns.
class CommandFrame {
public:
    CommandFrame(cmcCellContext& context, const cmcCellCapsule& request)
        : context_(request.action != cmcCellCapsule::kNoAction ||
                           request.inputMode != cmcCellCapsule::kNoInput ||
                           request.popupCommand != 0
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
    cmcCellContext* context_;
};

} // namespace

std::uint8_t evaluateCell(indActiveCell& engine, cmcCellCapsule& request, bool notify) {
    if (request.cell == nullptr)
        return cmcCellResult::None;
    const CommandFrame frame(engine.Context(), request);
    cmcCellEval ev(engine, engine.Context(), request);
    if (request.action != cmcCellCapsule::kNoAction)
        cmcStatusLine::Post("");

    request.text.clear();
    request.refusedAbove = 0;
    request.refusedHint.clear();
    request.markReason.clear();
    request.status &=
        static_cast<std::uint8_t>(~(cmcCellCapsule::kDuplicate | cmcCellCapsule::kInvalid));
    const auto listType = static_cast<std::uint8_t>(listTypeOf(ev.category));
    if (listType != listNone)
        ev.entry.load(listType, ev.index);
    request.outCategory = ev.category;
    request.outLabel = ev.label;
    request.outIndex = ev.index;
    if (request.action == cmcCellCapsule::kClick)
        request.action = cmcCellCapsule::kEnter;

    bool handled = runPopupCommand(ev);
    if (!handled)
        handled = redirectRow(ev);
    if (!handled)
        dispatchLabel(ev);

    if (ev.entry.type != listNone)
        ev.changeBits |= cmcChange::Entry;
    if (notify && ev.changeBits != 0 && request.onChange.IsAssigned())
        request.onChange(request, ev.changeBits);

    if (request.action != cmcCellCapsule::kNoAction ||
        request.inputMode != cmcCellCapsule::kNoInput || request.popupCommand != 0)
        noteUserAction(ev.context);
    if (ev.refused)
        cmcStatusLine::PostWarning(cmcGTex::App().GetLine(kEditRestrictedText));
    if (request.refusedAbove > 0)
        cmcStatusLine::PostWarning(tooLongText(request.refusedAbove));
    if (!request.refusedHint.empty())
        cmcStatusLine::PostWarning(request.refusedHint);
    return ev.result;
}

std::uint8_t runCell(indActiveCell& engine, cmcCellObj& cell, std::int32_t action) {
    cmcCellCapsule request;
    request.cell = &cell;
    request.action = action;
    return evaluateCell(engine, request, false);
}

bool cellIsInvalid(indActiveCell& engine, std::int32_t category, std::int32_t label,
                   std::int32_t index) {
    return (statusOf(engine, category, label, index) & cmcCellCapsule::kInvalid) != 0;
}

bool cellIsDuplicate(indActiveCell& engine, std::int32_t category, std::int32_t label,
                     std::int32_t index) {
    return (statusOf(engine, category, label, index) & cmcCellCapsule::kDuplicate) != 0;
}

// The evaluation record.

cmcCellEval::cmcCellEval(indActiveCell& anEngine, cmcCellContext& aContext,
                         cmcCellCapsule& aRequest)
    : engine(anEngine), context(aContext), request(aRequest), cell(*aRequest.cell),
      entry(&aContext.CurrentImage()), category(cell.category), label(cell.label),
      index(cell.index) {}

cmcGTex& cmcCellEval::texts() const {
    return cmcGTex::App();
}

void cmcCellEval::restrictEdit(bool editable) {
    if (editable)
        return;
    if (cmcCodec::editRestriction(request, false))
        refused = true;
    request.inputMode = cmcCellCapsule::kNoInput;
}

namespace {

// The first reason given stays: it names what the cell's own value breaks.
void mark(cmcCellCapsule& request, std::uint8_t bit, bool on, std::string_view why) {
    if (!on)
        return;
    request.status |= bit;
    if (request.markReason.empty())
        request.markReason = why;
}

} // namespace

std::string cmcCellEval::modeNotInUse(int mode) {
    std::string name = cmcCodec::trimSpaces(entry.modeNameOf(mode));
    if (name.empty())
        name = texts().GetLine(kModeNamesText, mode);
    return "Mode " + name + " is not in use: switch it on under Mode Registration";
}

std::string aleAddressRepeated(std::string_view address) {
    return "ALE address " + cmcCodec::trimSpaces(address) +
           " is entered more than once under ALE Addresses";
}

void cmcCellEval::markInvalid(bool on, std::string_view why) {
    mark(request, cmcCellCapsule::kInvalid, on, why);
}

void cmcCellEval::markDuplicate(bool on, std::string_view why) {
    mark(request, cmcCellCapsule::kDuplicate, on, why);
}

void cmcCellEval::alignCentre() {
    cell.layout = static_cast<std::uint8_t>((cell.layout & ~cmcLayout::HAlignMask) | 1);
}

void cmcCellEval::repaintLabel(std::int32_t repaint) const {
    cmcEvMan::App().Post(evRepaintLabel, nullptr, repaint);
}

bool cmcCellEval::readByte(std::int32_t address, std::uint8_t& value) const {
    const cmcEeprom& image = context.CurrentImage();
    if (!image.IsValidAddress(address))
        return false;
    value = image.GetByte(address);
    return true;
}

void cmcCellEval::writeByte(std::int32_t address, std::uint8_t value) const {
    cmcEeprom& image = context.CurrentImage();
    if (image.IsValidAddress(address))
        image.SetByte(address, value);
}

bool cmcCellEval::selectionOnByte(std::int32_t address, const cmcCodec::cmcSelectionForm& form) {
    std::uint8_t value = 0;
    if (!readByte(address, value))
        return false;
    if (!cmcCodec::selectionByte(request, form, value, lists(), result))
        return false;
    writeByte(address, value);
    return true;
}

void cmcCellCatalogue::uses(cmcOverlayUse use) {
    if (std::find(overlay.begin(), overlay.end(), use) == overlay.end())
        overlay.push_back(std::move(use));
}

namespace {

const cmcCellCatalogue& catalogue() {
    static const cmcCellCatalogue built = [] {
        cmcCellCatalogue c;
        c.usesText(kRowNotInUseText);
        c.usesText(kEditRestrictedText);
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

const cmcCellKinds& cellKinds() {
    return catalogue().kinds;
}

const std::vector<cmcOverlayUse>& cellOverlayUses() {
    return catalogue().overlay;
}
