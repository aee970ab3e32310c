#include "views/bitEditorCells.h"

#include "radio/cmcCellCapsule.h"
#include "radio/codecChoice.h"
#include "sheets/cmcCellObj.h"

namespace cmcBitCells {

bool EvaluateBit(cmcCellCapsule& request, std::uint8_t& value) {
    const std::int32_t bit = request.cell ? request.cell->index : -1;
    if (bit < 0 || bit > 7)
        return false;
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    const std::uint8_t before = value;
    if (request.HasGrid()) {
        switch (request.action) {
        case cmcCellCapsule::kSpace:
        case cmcCellCapsule::kBackspace:
        case cmcCellCapsule::kClick:
            value ^= mask;
            break;
        case '1':
            value |= mask;
            break;
        case '0':
            value &= static_cast<std::uint8_t>(~mask);
            break;
        default:
            break;
        }
    }
    request.text.assign(1, (value & mask) ? '1' : '0');
    request.selStart = 0;
    request.selLength = 1;
    return value != before;
}

std::uint8_t Deliver(const cuiCellEngine& engine, const cmcCellCapsule& owner, std::uint8_t value) {
    cmcCellObj picked;
    picked.index = std::int32_t{value} << cmcCodec::kBitEditorShift;
    cmcCellCapsule pick;
    pick.cell = &picked;
    cmcCellCapsule request = owner;
    request.partner = &pick;
    request.inputMode = cmcCellCapsule::kChosen;
    request.action = cmcCellCapsule::kNoAction;
    request.inputText.clear();
    return engine(request, true);
}

} // namespace cmcBitCells
