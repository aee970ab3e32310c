#include "radio/cellEval.h"
#include "radio/cellLabels.h"
#include "radio/codecDigits.h"
#include "radio/codecNumber.h"
#include "radio/codecSteps.h"
#include "radio/codecText.h"
#include "radio/repeatSearch.h"

using namespace cmcCells;

// The cells of the selective-call, ALE and telephone lists. Each list has a key
// (ID, address, number) that must not repeat; the sheets repaint every key cell
// after one changes, since the repeat marks of other rows may change with it.

namespace {

constexpr std::int32_t kFirstSlotTime = 1;
constexpr std::int32_t kLastSlotTime = 100;

// Name of a selective-call or telephone entry.
void entryName(cmcCellEval& ev) {
    if (!cmcCodec::nameText(ev.request, ev.entry.name, ev.result, cmcCodec::kNameAlphabet))
        return;
    ev.storeEntry();
}

void selCallId(cmcCellEval& ev) {
    std::uint8_t idLength = 0;
    ev.readByte(kIdLengthAddress, idLength);
    const bool longIds = idLength != 0;
    if (cmcCodec::selCallId(ev.request, ev.entry.callId, longIds, ev.result)) {
        ev.storeEntry();
        ev.repaintLabel(CL_SelCall_ID);
    }
    ev.markDuplicate(cmcRepeat::selCallId(ev.entry, longIds),
                     "This selective-call ID is given to another entry as well");
}

// The channel ranges of a selective-call or ALE entry; the cell's parameter names
// the range.
void channelRanges(cmcCellEval& ev) {
    if (cmcCodec::channelRange(ev.request, ev.entry, ev.result))
        ev.storeEntry();
}

void aleAddress(cmcCellEval& ev) {
    if (cmcCodec::aleText(ev.request, ev.entry.aleAddress, ev.result)) {
        ev.storeEntry();
        ev.repaintLabel(CL_Ale_ID);
    }
    ev.markDuplicate(ev.entry.aleAddressIsDuplicated(ev.entry.index),
                     "This ALE address is entered more than once");
}

void aleIdn(cmcCellEval& ev) {
    if (cmcCodec::aleText(ev.request, ev.entry.aleIdn, ev.result))
        ev.storeEntry();
}

void slotTime(cmcCellEval& ev) {
    cmcCodec::cmcNumberForm form;
    form.lo = kFirstSlotTime;
    form.hi = kLastSlotTime;
    if (cmcCodec::numberByte(ev.request, ev.entry.slotTime, form, ev.result))
        ev.storeEntry();
    // Without an IDN the slot time does not apply.
    if (!ev.entry.idnPresent)
        ev.setFontColour(cmcCodec::kSilver);
}

void telNumber(cmcCellEval& ev) {
    if (cmcCodec::telNumber(ev.request, ev.entry.telNumber, ev.result)) {
        ev.storeEntry();
        ev.repaintLabel(CL_TelNumber_Number);
    }
    ev.markDuplicate(cmcRepeat::telNumber(ev.entry),
                     "This telephone number is entered more than once");
}

} // namespace

void addIdListCells(cmcCellCatalogue& catalogue) {
    cmcCellKinds& kinds = catalogue.kinds;
    const std::uint8_t selCalls = listBit(listSelCallId);
    const std::uint8_t ales = listBit(listAleId);
    const std::uint8_t tels = listBit(listTelNumber);
    kinds[CL_SelCall_Name] = {entryName, selCalls, false};
    kinds[CL_SelCall_ID] = {selCallId, selCalls, false};
    kinds[CL_SelCall_CH] = {channelRanges, selCalls, false};
    kinds[CL_Ale_ID] = {aleAddress, ales, false};
    kinds[CL_Ale_IDN] = {aleIdn, ales, false};
    kinds[CL_Ale_CH] = {channelRanges, ales, false};
    kinds[CL_Ale_SlotT] = {slotTime, ales, false};
    kinds[CL_TelNumber_Name] = {entryName, tels, false};
    kinds[CL_TelNumber_Number] = {telNumber, tels, false};
}
