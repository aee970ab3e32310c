#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecChoice.h"
#include "radio/codecFrequency.h"
#include "radio/codecNumber.h"
#include "radio/codecSteps.h"
#include "radio/codecText.h"
#include "radio/frequencyChecks.h"
#include "radio/repeatSearch.h"

#include <string>

namespace marlo {

using namespace CellLabel;

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

void channelNumber(CellEvaluation& ev) {
    if (codec::channelNumber(ev.request, ev.entry.channelNumber, kFirstChannel, kLastChannel,
                             ListRecord::noChannel, ev.result)) {
        ev.StoreEntry();
        ev.RepaintLabel(CL_UCh_CH);
    }
    ev.MarkInvalid(repeatSearch::channelNumber(ev.entry),
                   "Channel number " + std::to_string(ev.entry.channelNumber) +
                       " is given to another channel as well");
}

void frequency(CellEvaluation& ev) {
    const bool receive = ev.label == CL_UCh_FreqR;
    if (codec::channelFrequency(ev.request, ev.entry, receive, true, ev.result))
        ev.StoreEntry();
    const auto edges = rangeCheck::BandEdges::Load(ev.context.CurrentImage());
    const bool invalid =
        receive ? rangeCheck::channelReceiveInvalid(ev.entry, edges)
                : rangeCheck::channelTransmitInvalid(ev.entry, edges, ev.context.GeneMode());
    if (invalid)
        ev.MarkInvalid(true, rangeCheck::channelFrequencyProblem(ev.entry, edges, receive,
                                                                 ev.context.GeneMode()));
}

void mode(CellEvaluation& ev) {
    if (codec::selectionByte(ev.request, {kModeList, CL_Sel_Mode_U, 0, 8}, ev.entry.mode,
                             ev.lists(), ev.result))
        ev.StoreEntry();
    codec::showText(ev.request, ev.entry.ModeNameOf(ev.entry.mode));
    ev.MarkInvalid(!ev.entry.ModeIsUsable(ev.entry.mode), ev.ModeNotInUse(ev.entry.mode));
}

void aleId(CellEvaluation& ev) {
    std::uint8_t chosen = ev.entry.aleIndex;
    if (codec::selectionByte(ev.request, {kAleList, Flex0}, chosen, ev.lists(), ev.result) &&
        (chosen == ListRecord::noAle || chosen <= ListRecord::lastAleEntry)) {
        ev.entry.aleIndex = chosen;
        ev.StoreEntry();
    }
    const std::uint8_t ale = ev.entry.aleIndex;
    codec::showText(ev.request, ale == ListRecord::noAle
                                    ? "-----"
                                    : codec::trimSpaces(ev.entry.AleAddressOf(ale)));
    ev.MarkDuplicate(ev.entry.AleAddressIsDuplicated(ale),
                     aleAddressRepeated(ev.entry.AleAddressOf(ale)));
    if (ev.entry.callKind != ListRecord::aleCallKind)
        ev.SetFontColour(codec::kSilver);
}

void comment(CellEvaluation& ev) {
    if (!codec::nameText(ev.request, ev.entry.name, ev.result, codec::kNameAlphabet))
        return;
    ev.StoreEntry();
}

void callKind(CellEvaluation& ev) {
    ListRecord& channel = ev.entry;
    const bool isAle = channel.callKind == ListRecord::aleCallKind;
    // Once the limit is reached, a channel that is not yet ALE is offered the list
    // without the ALE item.
    const bool aleFull = !isAle && channel.AleChannelCount() >= ListRecord::aleChannelLimit;
    std::string listKey = ev.context.ModelVariant() != 0 ? kCallListOthers : kCallListFirst;
    if (aleFull)
        listKey += kFullSuffix;
    const codec::SelectionForm form{listKey, CL_Sel_Call_U};
    std::uint8_t chosen = channel.callKind;
    if (codec::selectionByte(ev.request, form, chosen, ev.lists(), ev.result)) {
        if (aleFull && chosen == ListRecord::aleCallKind) {
            // A pick or step that would make one ALE channel too many is refused.
            codec::showText(ev.request,
                            ev.lists().TextOf(listKey, CL_Sel_Call_U, channel.callKind));
        } else {
            channel.callKind = chosen;
            ev.StoreEntry();
        }
    }
    ev.MarkInvalid(!callKindAgrees(channel.mode, channel.callKind), kCallKindDisagrees);
}

struct ListField {
    std::int32_t label;
    const char* listKey;
    std::uint8_t ListRecord::*field;
    std::int32_t hi;
};

constexpr ListField kListFields[] = {
    {CL_UCh_ScanGroup, "GI_Sheet_Sel_UchScanG", &ListRecord::scanGroup, ListRecord::maxScanGroup},
    {CL_UCh_Filter, "GI_Sheet_Sel_UchFilt", &ListRecord::filter, 255},
    {CL_UCh_Edit, "GI_Sheet_Sel_UchEdit", &ListRecord::editFlag, 1},
};

void listField(CellEvaluation& ev) {
    for (const ListField& f : kListFields) {
        if (f.label != ev.label)
            continue;
        if (codec::selectionByte(ev.request, {f.listKey, Flex0, 0, f.hi}, ev.entry.*f.field,
                                 ev.lists(), ev.result))
            ev.StoreEntry();
    }
    // The filter does not apply to ALE channels.
    if (ev.label == CL_UCh_Filter && ev.entry.callKind == ListRecord::aleCallKind)
        ev.SetFontColour(codec::kSilver);
}

} // namespace

void addUserChannelCells(CellCatalogue& catalogue) {
    CellKinds& kinds = catalogue.kinds;
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

    catalogue.UsesList(kModeList, CL_Sel_Mode_U);
    catalogue.UsesList(kAleList, Flex0);
    for (const std::string key : {kCallListOthers, kCallListFirst}) {
        catalogue.UsesList(key, CL_Sel_Call_U);
        catalogue.UsesList(key + kFullSuffix, CL_Sel_Call_U);
    }
    for (const ListField& f : kListFields)
        catalogue.UsesList(f.listKey, Flex0);
}

} // namespace marlo
