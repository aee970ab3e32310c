#include "overlay/overlayTexts.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecSteps.h"
#include "sheets/cellModel.h"

namespace marlo {

using namespace CellLabel;

// The items of the pop-up selection lists. An item stands for the value of its
// index; some show what that value means in the current image and mark the
// values that would be wrong for the cell that opened the list.

namespace {

void ownText(CellEvaluation& ev) {
    codec::showText(ev.request, ev.cell.Text());
}

void modeItem(CellEvaluation& ev) {
    codec::showText(ev.request, ev.entry.ModeNameOf(ev.index));
    ev.MarkInvalid(!ev.entry.ModeIsUsable(ev.index), ev.ModeNotInUse(ev.index));
}

void modeFullName(CellEvaluation& ev) {
    if (ev.index >= 0 && ev.index < ListRecord::modeRows)
        codec::showText(ev.request, "(" + ev.Texts().GetLine(kModeNamesText, ev.index) + ")");
}

void aleItem(CellEvaluation& ev) {
    codec::showText(ev.request, codec::trimSpaces(ev.entry.AleAddressOf(ev.index)));
    ev.MarkDuplicate(ev.entry.AleAddressIsDuplicated(ev.index),
                     aleAddressRepeated(ev.entry.AleAddressOf(ev.index)));
}

// A call kind is marked when it does not agree with the mode of the channel
// whose call cell opened the list.
void callItem(CellEvaluation& ev) {
    ownText(ev);
    const CellRequest* opener = ev.request.partner;
    if (opener == nullptr || opener->cell == nullptr || opener->cell->category != CT_UserCh)
        return;
    ListRecord channel(&ev.context.CurrentImage());
    channel.Load(listUserChannel, opener->cell->index);
    if (channel.isUsed())
        ev.MarkInvalid(!callKindAgrees(channel.mode, ev.index), kCallKindDisagrees);
}

} // namespace

void addSelectionCells(CellCatalogue& catalogue) {
    CellKinds& kinds = catalogue.kinds;
    kinds[Flex0] = {ownText, 0, false};
    kinds[CL_Sel_Mode_U] = {modeItem, 0, false};
    kinds[CL_Sel_Mode_F] = {modeFullName, 0, false};
    kinds[CL_Sel_Ale_U] = {aleItem, 0, false};
    kinds[CL_Sel_Call_U] = {callItem, 0, false};
    catalogue.UsesText(kModeNamesText);
}

} // namespace marlo
