#include "radio/cellEval.h"
#include "radio/cellLabels.h"
#include "radio/codecChoice.h"
#include "radio/codecFrequency.h"
#include "radio/codecNumber.h"
#include "radio/codecSteps.h"
#include "radio/codecText.h"
#include "radio/frequencyChecks.h"
#include "radio/repeatSearch.h"

#include <string>

using namespace cmcCells;

// The cells of a user channel row: each works on a field of the slot's entry and
// stores the entry after a change.

namespace {

constexpr std::uint32_t kFirstChannel = 1;
constexpr std::uint32_t kLastChannel = 9999;

constexpr const char* kModeList = "GI_Sheet_Sel_Mode1_R";
constexpr const char* kAleList = "GI_Sheet_Sel_Ale1_R";
// The call kinds of the model variants; with kFullSuffix, the same without ALE.
constexpr const char* kCallListOthers = "GI_Sheet_Sel_UchCallO";
constexpr const char* kCallListFirst = "GI_Sheet_Sel_UchCallA";
constexpr const char* kFullSuffix = "_full";

void channelNumber(cmcCellEval& ev) {
    if (cmcCodec::channelNumber(ev.request, ev.entry.channelNumber, kFirstChannel, kLastChannel,
                                ListEntry::noChannel, ev.result)) {
        ev.storeEntry();
        ev.repaintLabel(CL_UCh_CH);
    }
    ev.markInvalid(cmcRepeat::channelNumber(ev.entry), "Channel number " +
                                                           std::to_string(ev.entry.channelNumber) +
                                                           " is given to another channel as well");
}

void frequency(cmcCellEval& ev) {
    const bool receive = ev.label == CL_UCh_FreqR;
    if (cmcCodec::channelFrequency(ev.request, ev.entry, receive, true, ev.result))
        ev.storeEntry();
    const auto edges = cmcRangeCheck::cmcBandEdges::load(ev.context.CurrentImage());
    const bool invalid =
        receive ? cmcRangeCheck::channelReceiveInvalid(ev.entry, edges)
                : cmcRangeCheck::channelTransmitInvalid(ev.entry, edges, ev.context.GeneMode());
    if (invalid)
        ev.markInvalid(true, cmcRangeCheck::channelFrequencyProblem(ev.entry, edges, receive,
                                                                    ev.context.GeneMode()));
}

void mode(cmcCellEval& ev) {
    if (cmcCodec::selectionByte(ev.request, {kModeList, CL_Sel_Mode_U, 0, 8}, ev.entry.mode,
                                ev.lists(), ev.result))
        ev.storeEntry();
    cmcCodec::showText(ev.request, ev.entry.modeNameOf(ev.entry.mode));
    ev.markInvalid(!ev.entry.modeIsUsable(ev.entry.mode), ev.modeNotInUse(ev.entry.mode));
}

void aleId(cmcCellEval& ev) {
    std::uint8_t chosen = ev.entry.aleIndex;
    if (cmcCodec::selectionByte(ev.request, {kAleList, Flex0}, chosen, ev.lists(), ev.result) &&
        (chosen == ListEntry::noAle || chosen <= ListEntry::lastAleEntry)) {
        ev.entry.aleIndex = chosen;
        ev.storeEntry();
    }
    const std::uint8_t ale = ev.entry.aleIndex;
    cmcCodec::showText(ev.request, ale == ListEntry::noAle
                                       ? "-----"
                                       : cmcCodec::trimSpaces(ev.entry.aleAddressOf(ale)));
    ev.markDuplicate(ev.entry.aleAddressIsDuplicated(ale),
                     aleAddressRepeated(ev.entry.aleAddressOf(ale)));
    if (ev.entry.callKind != ListEntry::aleCallKind)
        ev.setFontColour(cmcCodec::kSilver);
}

void comment(cmcCellEval& ev) {
    if (!cmcCodec::nameText(ev.request, ev.entry.name, ev.result, cmcCodec::kNameAlphabet))
        return;
    ev.storeEntry();
}

void callKind(cmcCellEval& ev) {
    ListEntry& channel = ev.entry;
    const bool isAle = channel.callKind == ListEntry::aleCallKind;
    // Once the limit is reached, a channel that is not yet ALE is offered the list
    // without the ALE item.
    const bool aleFull = !isAle && channel.aleChannelCount() >= ListEntry::aleChannelLimit;
    std::string listKey = ev.context.ModelVariant() != 0 ? kCallListOthers : kCallListFirst;
    if (aleFull)
        listKey += kFullSuffix;
    const cmcCodec::cmcSelectionForm form{listKey, CL_Sel_Call_U};
    std::uint8_t chosen = channel.callKind;
    if (cmcCodec::selectionByte(ev.request, form, chosen, ev.lists(), ev.result)) {
        if (aleFull && chosen == ListEntry::aleCallKind) {
            // A pick or step that would make one ALE channel too many is refused.
            cmcCodec::showText(ev.request,
                               ev.lists().TextOf(listKey, CL_Sel_Call_U, channel.callKind));
        } else {
            channel.callKind = chosen;
            ev.storeEntry();
        }
    }
    ev.markInvalid(!callKindAgrees(channel.mode, channel.callKind), kCallKindDisagrees);
}

struct ListField {
    std::int32_t label;
    const char* listKey;
    std::uint8_t ListEntry::*field;
    std::int32_t hi;
};

constexpr ListField kListFields[] = {
    {CL_UCh_ScanGroup, "GI_Sheet_Sel_UchScanG", &ListEntry::scanGroup, ListEntry::maxScanGroup},
    {CL_UCh_Filter, "GI_Sheet_Sel_UchFilt", &ListEntry::filter, 255},
    {CL_UCh_Edit, "GI_Sheet_Sel_UchEdit", &ListEntry::editFlag, 1},
};

void listField(cmcCellEval& ev) {
    for (const ListField& f : kListFields) {
        if (f.label != ev.label)
            continue;
        if (cmcCodec::selectionByte(ev.request, {f.listKey, Flex0, 0, f.hi}, ev.entry.*f.field,
                                    ev.lists(), ev.result))
            ev.storeEntry();
    }
    // The filter does not apply to ALE channels.
    if (ev.label == CL_UCh_Filter && ev.entry.callKind == ListEntry::aleCallKind)
        ev.setFontColour(cmcCodec::kSilver);
}

} // namespace

void addUserChannelCells(cmcCellCatalogue& catalogue) {
    cmcCellKinds& kinds = catalogue.kinds;
    const std::uint8_t channels = listBit(listUserChannel);
    kinds[CL_UCh_CH] = {channelNumber, channels, false};
    kinds[CL_UCh_FreqR] = {frequency, channels, false};
    kinds[CL_UCh_FreqT] = {frequency, channels, false};
    kinds[CL_UCh_Mode] = {mode, channels, true};
    kinds[CL_UCh_Ale] = {aleId, channels, true};
    kinds[CL_UCh_Comment] = {comment, channels, false};
    kinds[CL_UCh_Call] = {callKind, channels, true};
    for (const ListField& f : kListFields)
        kinds[static_cast<std::size_t>(f.label)] = {listField, channels, true};

    catalogue.usesList(kModeList, CL_Sel_Mode_U);
    catalogue.usesList(kAleList, Flex0);
    for (const std::string key : {kCallListOthers, kCallListFirst}) {
        catalogue.usesList(key, CL_Sel_Call_U);
        catalogue.usesList(key + kFullSuffix, CL_Sel_Call_U);
    }
    for (const ListField& f : kListFields)
        catalogue.usesList(f.listKey, Flex0);
}
