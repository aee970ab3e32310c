#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecChoice.h"
#include "radio/settingFields.h"

#include <algorithm>

namespace marlo {

using namespace CellLabel;

// The expert bits: single bits of one byte of the current image, each chosen from
// a two-item list and written back with the byte's other bits kept. They may be
// changed only in expert or factory mode.

namespace {

constexpr std::int32_t kExpertByte = 690;

struct ExpertBit {
    std::int32_t label;
    std::uint8_t bit;
    const char* listKey;
};

constexpr ExpertBit kExpertBits[] = {
    {CL_Exp_FreqProgR, 2, "GI_Sheet_Sel_Misc_Enable_I"},
    {CL_Exp_FreqProgT, 3, "GI_Sheet_Sel_Misc_Enable_I"},
    {CL_Exp_Protect, 5, "GI_Sheet_Sel_Misc_OnOff"},
    {CL_Exp_PowLimit, 0, "GI_Sheet_Sel_Misc_OnOff"},
    {CL_Exp_CbBand, 1, "GI_Sheet_Sel_Misc_Enable_I"},
};

void expertBit(CellEvaluation& ev) {
    const auto* b = std::find_if(std::begin(kExpertBits), std::end(kExpertBits),
                                 [&](const ExpertBit& e) { return e.label == ev.label; });
    std::uint8_t byte = 0;
    if (b == std::end(kExpertBits) || !ev.ReadByte(kExpertByte, byte))
        return;
    ev.RestrictEdit(ev.expertOrFactory());
    const auto mask = static_cast<std::uint8_t>(1u << b->bit);
    std::uint8_t value = (byte & mask) != 0 ? 1 : 0;
    if (!codec::selectionByte(ev.request, {b->listKey, Flex0, 0, 1}, value, ev.lists(), ev.result))
        return;
    ev.WriteByte(kExpertByte, static_cast<std::uint8_t>(value != 0 ? byte | mask : byte & ~mask));
}

} // namespace

void addExpertCells(CellCatalogue& catalogue) {
    for (const ExpertBit& b : kExpertBits) {
        catalogue.kinds[static_cast<std::size_t>(b.label)] = {expertBit, 0, true};
        catalogue.UsesList(b.listKey, Flex0);
    }
}

void addExpertSettingFields(std::vector<SettingField>& fields) {
    for (const ExpertBit& b : kExpertBits)
        fields.push_back(
            {b.label, kExpertByte, 1, static_cast<std::uint8_t>(1u << b.bit), SettingForm::Choice});
}

} // namespace marlo
