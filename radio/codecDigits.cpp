#include "radio/codecDigits.h"

#include "radio/cellRequest.h"
#include "radio/codecSteps.h"
#include "radio/encoding.h"
#include "radio/listRecord.h"
#include "sheets/cellModel.h"

#include <algorithm>
#include <optional>
#include <string>

namespace marlo {

namespace codec {

namespace {

constexpr std::size_t kSelCallDigits = 6;
constexpr std::size_t kShortSelCallDigits = 4;
constexpr std::size_t kSelfIdDigits = 9;
constexpr std::size_t kTelDigits = 16;
constexpr std::size_t kCodeDigits = 10;
constexpr std::uint16_t kMaxChannel = 9999;
constexpr std::size_t kRangeTextLength = 9; // "9999-9999"

// The digit-field codecs open the editor on Enter, Space, Backspace or a digit.
void digitKeys(CellRequest& request, std::uint8_t& result) {
    editorStart(request, false, "", true, result);
}

std::string twoDigitText(std::span<const std::uint8_t> bytes, std::size_t digits) {
    std::string text;
    for (std::size_t k = 0; k < digits; ++k)
        text += static_cast<char>('0' + encoding::twoDigitGet(bytes, static_cast<int>(k)));
    return text;
}

std::optional<int> pairOf(const CellModel* cell) {
    if (cell == nullptr || !cell->parameter)
        return std::nullopt;
    const std::string text = trimSpaces(*cell->parameter);
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return std::nullopt;
    const std::int64_t pair = leadingDigits(text);
    if (pair >= ListRecord::rangePairs)
        return std::nullopt;
    return static_cast<int>(pair);
}

std::string rangeText(const ListRecord& entry, int pair) {
    const std::uint16_t from = entry.RangeFrom(pair);
    const std::uint16_t to = entry.RangeTo(pair);
    if (from == ListRecord::noChannel)
        return {};
    if (from != to)
        return std::to_string(from) + "-" + std::to_string(to);
    return std::to_string(from);
}

// "A-B", "A", "-B" or "A-": A defaults to 1 and B to A; the two are put in order
// and 0 stands for the other end, so "0" alone clears the pair.
bool storeTypedRange(ListRecord& entry, int pair, std::string_view input) {
    const std::string typed = filter(input, "-").substr(0, kRangeTextLength);
    if (typed.empty())
        return false;
    const std::size_t dash = typed.find('-');
    const std::string_view text = typed;
    const std::string_view first = text.substr(0, dash);
    const std::string_view second = dash == text.npos ? std::string_view() : text.substr(dash + 1);
    std::int64_t a = first.empty() ? 1 : leadingDigits(first);
    std::int64_t b = second.empty() ? a : leadingDigits(second);
    if (b < a)
        std::swap(a, b);
    if (a > kMaxChannel || b > kMaxChannel)
        return false;
    if (a == 0)
        a = b;
    if (a == 0)
        entry.SetRange(pair, ListRecord::noChannel, ListRecord::noChannel);
    else
        entry.SetRange(pair, static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b));
    return true;
}

} // namespace

bool selCallId(CellRequest& request, std::array<std::uint8_t, 3>& field, bool longIds,
               std::uint8_t& result) {
    bool changed = false;
    const std::string digits = hasInput(request) ? filter(request.inputText, "") : "";
    // Blanks and dashes group digits ("12 34", "12-34"); anything else is a typo.
    if (hasInput(request) && !refusedAsNotDigits(request, " -") &&
        !refusedAsTooLong(request, digits.size(), longIds ? kSelCallDigits : kShortSelCallDigits)) {
        field.fill(0xFF);
        if (!digits.empty()) {
            const std::string six = std::string(kSelCallDigits - digits.size(), '0') + digits;
            for (std::size_t k = 0; k < field.size(); ++k)
                field[k] =
                    static_cast<std::uint8_t>((six[2 * k] - '0') * 10 + six[2 * k + 1] - '0');
        }
        changed = true;
    }
    std::string text;
    if (!encoding::twoDigitIsEmpty(field)) {
        text = twoDigitText(field, kSelCallDigits);
        if (!longIds)
            text.replace(0, kSelCallDigits - kShortSelCallDigits,
                         kSelCallDigits - kShortSelCallDigits, ' ');
    }
    showText(request, std::move(text));
    digitKeys(request, result);
    return changed;
}

bool selfId(CellRequest& request, std::span<std::uint8_t> bytes, std::uint8_t& result) {
    if (bytes.size() < kSelfIdBytes) {
        showText(request, {});
        return false;
    }
    const std::span<std::uint8_t> id = bytes.first(kSelfIdBytes);
    bool changed = false;
    const std::string digits = hasInput(request) ? filter(request.inputText, "") : "";
    if (hasInput(request) && !digits.empty() && digits.size() != kSelfIdDigits) {
        // A digit too few or too many is a typo; it must not switch the ID off.
        request.refusedHint = "\"" + trimSpaces(request.inputText) +
                              "\" was not stored: a self ID has exactly 9 digits (empty "
                              "switches it off)";
    } else if (hasInput(request)) {
        std::fill(id.begin(), id.end(), 0);
        if (digits.empty())
            std::fill(id.begin(), id.end(), 0xFF);
        for (std::size_t k = 0; k < digits.size(); ++k)
            encoding::twoDigitSet(id, static_cast<int>(k), digits[k] - '0');
        changed = true;
    }
    showText(request,
             encoding::twoDigitIsEmpty(id) ? std::string() : twoDigitText(id, kSelfIdDigits));
    digitKeys(request, result);
    return changed;
}

bool telNumber(CellRequest& request, std::array<std::uint8_t, 8>& field, std::uint8_t& result) {
    bool changed = false;
    const std::string digits = hasInput(request) ? filter(request.inputText, "") : "";
    if (hasInput(request) && !refusedAsTooLong(request, digits.size(), kTelDigits)) {
        field.fill(0xFF);
        for (std::size_t k = 0; k < digits.size(); ++k)
            encoding::nibbleSet(field, static_cast<int>(k), digits[k] - '0');
        changed = true;
    }
    std::string text;
    for (std::size_t k = 0; k < kTelDigits; ++k) {
        const int d = encoding::nibbleGet(field, static_cast<int>(k));
        if (d < 0 || d > 9)
            break;
        text += static_cast<char>('0' + d);
    }
    showText(request, std::move(text));
    digitKeys(request, result);
    return changed;
}

bool channelRange(CellRequest& request, ListRecord& entry, std::uint8_t& result) {
    const std::optional<int> pair = pairOf(request.cell);
    if (!pair) {
        showText(request, {});
        return false;
    }
    const bool changed = hasInput(request) && storeTypedRange(entry, *pair, request.inputText);
    showText(request, rangeText(entry, *pair));
    editorStart(request, false, "-+", true, result);
    return changed;
}

void codeDisplay(CellRequest& request, std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::size_t k = 0; k < kCodeDigits; ++k) {
        const int d = encoding::nibbleGet(bytes, static_cast<int>(k));
        if (d < 0 || d > 9)
            break;
        if (k == 3 || k == 6)
            text += '-';
        text += static_cast<char>('0' + d);
    }
    showText(request, std::move(text));
}

} // namespace codec

} // namespace marlo
