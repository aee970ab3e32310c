#include "views/bitEditorCells.h"

#include "radio/cellRequest.h"
#include "radio/codecChoice.h"
#include "sheets/cellModel.h"

namespace marlo {

namespace bitEditorCells {

bool EvaluateBit(CellRequest& request, std::uint8_t& value) {
    const std::int32_t bit = request.cell ? request.cell->index : -1;
    if (bit < 0 || bit > 7)
        return false;
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    const std::uint8_t before = value;
    if (request.HasGrid()) {
        switch (request.action) {
        case CellRequest::kSpace:
        case CellRequest::kBackspace:
        case CellRequest::kClick:
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

std::uint8_t Deliver(const CellEngineCall& engine, const CellRequest& owner, std::uint8_t value) {
    CellModel picked;
    picked.index = std::int32_t{value} << codec::kBitEditorShift;
    CellRequest pick;
    pick.cell = &picked;
    CellRequest request = owner;
    request.partner = &pick;
    request.inputMode = CellRequest::kChosen;
    request.action = CellRequest::kNoAction;
    request.inputText.clear();
    return engine(request, true);
}

} // namespace bitEditorCells

} // namespace marlo
