#include "overlay/overlayTexts.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecChoice.h"
#include "radio/codecFrequency.h"
#include "radio/codecSteps.h"
#include "radio/frequencyChecks.h"

#include <algorithm>
#include <string_view>

namespace marlo {

using namespace CellLabel;

// The band edges and the mode registrations: what the radio may receive and
// transmit, and which modes its channels may use under which names. Only expert
// and factory mode change them.

namespace {

constexpr const char* kModeUseList = "GI_Sheet_Sel_ModeOk";

void bandEdge(CellEvaluation& ev) {
    ev.RestrictEdit(ev.expertOrFactory());
    const bool transmit = ev.entry.type == listTxEdge;
    std::int32_t& limit = ev.label == CL_EdgeFreq_Low ? ev.entry.low : ev.entry.high;
    if (codec::bandEdge(ev.request, limit, true, transmit, ev.result)) {
        if (limit < 1)
            limit = codec::kNoEdge;
        ev.StoreEntry();
        ev.changeBits |= ChangeBit::Edges;
    }
    const auto edges = rangeCheck::BandEdges::Load(ev.context.CurrentImage());
    const auto validity = rangeCheck::bandEdgeValidity(edges, transmit, transmit ? ev.index : 0);
    ev.MarkInvalid(ev.label == CL_EdgeFreq_Low ? validity.lowInvalid : validity.highInvalid,
                   "A band edge must lie within the radio's range, the low edge below the high");
}

void modeName(CellEvaluation& ev) {
    if (ev.index >= 0 && ev.index < ListRecord::modeRows)
        codec::showText(ev.request, ev.Texts().GetLine(kModeNamesText, ev.index));
}

// The two spellings a mode registration's name may take, on rows 1..6.
struct ModeSpellings {
    std::string_view first;
    std::string_view second;
    const char* listKey;
};

constexpr ModeSpellings kSpellings[] = {
    {"USB  ", "J3E  ", "GI_Sheet_Sel_ModeIn_J3E"}, {"AM   ", "A3E  ", "GI_Sheet_Sel_ModeIn_A3E"},
    {"AFSK ", "J2B  ", "GI_Sheet_Sel_ModeIn_J2B"}, {"FSK  ", "F1B  ", "GI_Sheet_Sel_ModeIn_F1B"},
    {"CW   ", "A1A  ", "GI_Sheet_Sel_ModeIn_A1A"}, {"ALE-U", "J3E-A", "GI_Sheet_Sel_ModeIn_J3EALE"},
};

const ModeSpellings* spellingsOf(std::int32_t row) {
    return row >= 1 && row <= static_cast<std::int32_t>(std::size(kSpellings))
               ? &kSpellings[row - 1]
               : nullptr;
}

void modeIndication(CellEvaluation& ev) {
    const ModeSpellings* spellings = spellingsOf(ev.index);
    ev.RestrictEdit(spellings != nullptr && ev.expertOrFactory());
    std::array<std::uint8_t, 5>& name = ev.entry.modeName;
    if (spellings == nullptr) {
        codec::showText(ev.request, ev.entry.ModeNameOf(ev.index));
        return;
    }
    const std::string_view stored(reinterpret_cast<const char*>(name.data()), name.size());
    std::uint8_t item = stored == spellings->first ? 0 : 1;
    if (!codec::selectionByte(ev.request, {spellings->listKey, Flex0, 0, 1}, item, ev.lists(),
                              ev.result))
        return;
    const std::string_view chosen = item == 0 ? spellings->first : spellings->second;
    std::copy(chosen.begin(), chosen.end(), name.begin());
    ev.StoreEntry();
}

void modeUse(CellEvaluation& ev) {
    // Row 1 is the mode every channel can fall back on.
    ev.RestrictEdit(ev.index != 1);
    if (codec::selectionByte(ev.request, {kModeUseList, Flex0}, ev.entry.modeUse, ev.lists(),
                             ev.result))
        ev.StoreEntry();
}

} // namespace

void addEdgeAndModeCells(CellCatalogue& catalogue) {
    CellKinds& kinds = catalogue.kinds;
    const auto edges = static_cast<std::uint8_t>(listBit(listRxEdge) | listBit(listTxEdge));
    kinds[CL_EdgeFreq_Low] = {bandEdge, edges, false};
    kinds[CL_EdgeFreq_High] = {bandEdge, edges, false};
    const std::uint8_t modes = listBit(listModeReg);
    kinds[CL_ModeReg_Name] = {modeName, modes, false};
    kinds[CL_ModeReg_Indication] = {modeIndication, modes, true};
    kinds[CL_ModeReg_Use] = {modeUse, modes, true};
    catalogue.UsesText(kModeNamesText);
    for (const ModeSpellings& s : kSpellings)
        catalogue.UsesList(s.listKey, Flex0);
    catalogue.UsesList(kModeUseList, Flex0);
}

} // namespace marlo
