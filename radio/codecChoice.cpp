#include "radio/codecChoice.h"

#include "core/hexText.h"
#include "radio/cellRequest.h"
#include "radio/codecSteps.h"
#include "sheets/cellModel.h"

namespace marlo {

namespace codec {

namespace {

bool within(std::int64_t v, const SelectionForm& form) {
    return v >= form.lo && v <= form.hi;
}

// The byte a bit-editor choice stands for, when it is one.
std::optional<std::uint8_t> chosenByte(const CellRequest& request) {
    if (request.partner == nullptr || request.partner->cell == nullptr)
        return std::nullopt;
    const std::int32_t chosen = request.partner->cell->index;
    if (chosen < 0 || (chosen >> kBitEditorShift) > 0xFF)
        return std::nullopt;
    return static_cast<std::uint8_t>(chosen >> kBitEditorShift);
}

std::optional<std::uint8_t> typedByte(std::string_view input) {
    const std::string hex = filter(input, "abcdefABCDEF");
    if (hex.empty())
        return std::nullopt;
    int value = hexDigitValue(hex[0]);
    if (hex.size() > 1)
        value = value * 16 + hexDigitValue(hex[1]);
    return static_cast<std::uint8_t>(value);
}

std::string hexText(std::uint8_t value) {
    return {upperHexDigit(value >> 4), upperHexDigit(value)};
}

} // namespace

bool selection(CellRequest& request, const SelectionForm& form, std::int32_t& value,
               SelectionLists& lists, std::uint8_t& result) {
    bool changed = false;
    if (request.partner != nullptr) {
        const CellModel* picked = request.partner->cell;
        if (picked == nullptr || picked->label != form.kind ||
            request.inputMode != CellRequest::kChosen || !within(picked->index, form))
            return false;
        value = picked->index;
        changed = true;
    }
    showText(request, lists.TextOf(form.listKey, form.kind, value));
    if (!request.HasGrid())
        return changed;

    if (request.action == CellRequest::kSpace || request.action == CellRequest::kBackspace) {
        const int direction = request.action == CellRequest::kSpace ? 1 : -1;
        const std::optional<std::int32_t> next =
            lists.Step(form.listKey, form.kind, value, direction);
        if (next && within(*next, form)) {
            value = *next;
            showText(request, lists.TextOf(form.listKey, form.kind, value));
            changed = true;
        }
    } else if (request.action == CellRequest::kEnter) {
        lists.OpenList(request, form.listKey, form.kind, value);
        result = kResultListOpened;
    }
    return changed;
}

bool selectionByte(CellRequest& request, const SelectionForm& form, std::uint8_t& value,
                   SelectionLists& lists, std::uint8_t& result) {
    SelectionForm byteForm = form;
    byteForm.lo = std::max<std::int32_t>(form.lo, 0);
    byteForm.hi = std::min<std::int32_t>(form.hi, 0xFF);
    return onByte(value,
                  [&](std::int32_t& v) { return selection(request, byteForm, v, lists, result); });
}

bool hexByte(CellRequest& request, std::uint8_t& value, std::uint8_t compareValue,
             BitEditorOpener* bitEditor, std::uint8_t& result) {
    std::optional<std::uint8_t> input;
    if (request.inputMode == CellRequest::kChosen)
        input = chosenByte(request);
    else if (request.inputMode == CellRequest::kEditedText)
        input = typedByte(request.inputText);
    if (input)
        value = *input;

    showText(request, hexText(value));
    if (value != compareValue)
        request.fontColour = kRed;
    if (!request.HasGrid())
        return input.has_value();

    const char key = request.TypedCharacter();
    if (request.action == CellRequest::kEnter) {
        if (bitEditor != nullptr) {
            bitEditor->OpenBitEditor(request, value, kBitEditorList);
            result = kResultListOpened;
        }
    } else if (key != '\0' && hexDigitValue(key) >= 0) {
        startEditorWithKey(request, key, result);
    }
    return input.has_value();
}

} // namespace codec

} // namespace marlo
