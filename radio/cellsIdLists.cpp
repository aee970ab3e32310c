#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecDigits.h"
#include "radio/codecNumber.h"
#include "radio/codecSteps.h"
#include "radio/codecText.h"
#include "radio/repeatSearch.h"

namespace marlo {

using namespace CellLabel;

// The cells of the selective-call, ALE and telephone lists. Each list has a key
// (ID, address, number) that must not repeat; the sheets repaint every key cell
// after one changes, since the repeat marks of other rows may change with it.

namespace {

constexpr std::int32_t kFirstSlotTime = 1;
constexpr std::int32_t kLastSlotTime = 100;

// Name of a selective-call or telephone entry.
void entryName(CellEvaluation& ev) {
    if (!codec::nameText(ev.request, ev.entry.name, ev.result, codec::kNameAlphabet))
        return;
    ev.StoreEntry();
}

void selCallId(CellEvaluation& ev) {
    std::uint8_t idLength = 0;
    ev.ReadByte(kIdLengthAddress, idLength);
    const bool longIds = idLength != 0;
    if (codec::selCallId(ev.request, ev.entry.callId, longIds, ev.result)) {
        ev.StoreEntry();
        ev.RepaintLabel(CL_SelCall_ID);
    }
    ev.MarkDuplicate(repeatSearch::selCallId(ev.entry, longIds),
                     "This selective-call ID is given to another entry as well");
}

// The channel ranges of a selective-call or ALE entry; the cell's parameter names
// the range.
void channelRanges(CellEvaluation& ev) {
    if (codec::channelRange(ev.request, ev.entry, ev.result))
        ev.StoreEntry();
}

void aleAddress(CellEvaluation& ev) {
    if (codec::aleText(ev.request, ev.entry.aleAddress, ev.result)) {
        ev.StoreEntry();
        ev.RepaintLabel(CL_Ale_ID);
    }
    ev.MarkDuplicate(ev.entry.AleAddressIsDuplicated(ev.entry.index),
                     "This ALE address is entered more than once");
}

void aleIdn(CellEvaluation& ev) {
    if (codec::aleText(ev.request, ev.entry.aleIdn, ev.result))
        ev.StoreEntry();
}

void slotTime(CellEvaluation& ev) {
    codec::NumberForm form;
    form.lo = kFirstSlotTime;
    form.hi = kLastSlotTime;
    if (codec::numberByte(ev.request, ev.entry.slotTime, form, ev.result))
        ev.StoreEntry();
    // Without an IDN the slot time does not apply.
    if (!ev.entry.idnPresent)
        ev.SetFontColour(codec::kSilver);
}

void telNumber(CellEvaluation& ev) {
    if (codec::telNumber(ev.request, ev.entry.telNumber, ev.result)) {
        ev.StoreEntry();
        ev.RepaintLabel(CL_TelNumber_Number);
    }
    ev.MarkDuplicate(repeatSearch::telNumber(ev.entry),
                     "This telephone number is entered more than once");
}

} // namespace

void addIdListCells(CellCatalogue& catalogue) {
    CellKinds& kinds = catalogue.kinds;
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

} // namespace marlo
