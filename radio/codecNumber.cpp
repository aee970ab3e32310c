#include "radio/codecNumber.h"

#include "overlay/overlayTexts.h"
#include "radio/cellRequest.h"
#include "radio/codecSteps.h"

#include <algorithm>

namespace marlo {

namespace codec {

namespace {

// Limits without std::clamp's demand that lo <= hi: a form with the two the
// wrong way round must not be undefined behaviour.
std::int64_t limited(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return std::max(lo, std::min(v, hi));
}

std::int64_t floorToStep(std::int64_t v, std::int64_t step) {
    std::int64_t r = v % step;
    if (r < 0)
        r += step;
    return v - r;
}

std::string decimalText(std::int64_t v, int minDigits) {
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    return v < 0 ? "-" + digits : digits;
}

bool isSpaceOrBackspace(std::int32_t action) {
    return action == CellRequest::kSpace || action == CellRequest::kBackspace;
}

// Space steps up, Backspace down; past one end of lo..hi continues at the other.
std::int64_t stepped(std::int64_t v, std::int32_t action, std::int64_t step, std::int64_t lo,
                     std::int64_t hi) {
    v += action == CellRequest::kSpace ? step : -step;
    if (v < lo)
        return hi;
    if (v > hi)
        return lo;
    return v;
}

bool clampInto(std::int32_t& value, const NumberForm& form) {
    const auto v = static_cast<std::int32_t>(limited(value, form.lo, form.hi));
    if (v == value)
        return false;
    value = v;
    return true;
}

void showNumber(CellRequest& request, std::int32_t value, const NumberForm& form) {
    showText(request, form.fixedText
                          ? *form.fixedText
                          : decimalText(std::int64_t{value} + form.offset, form.minDigits));
}

} // namespace

bool number(CellRequest& request, std::int32_t& value, const NumberForm& form,
            std::uint8_t& result) {
    const std::int64_t step = form.step > 0 ? form.step : 1;
    bool changed = false;
    if (request.inputMode == CellRequest::kEditedText && !filter(request.inputText, ".").empty()) {
        std::int64_t n = typedNumber(request.inputText) - form.offset;
        if (step != 1)
            n = divideRounded(n, step) * step;
        value = static_cast<std::int32_t>(limited(n, form.lo, form.hi));
        changed = true;
    }
    if (form.clamp)
        changed |= clampInto(value, form);
    showNumber(request, value, form);
    if (!request.HasGrid())
        return changed;

    if (isSpaceOrBackspace(request.action)) {
        const std::int64_t v = stepped(value, request.action, step, form.lo, form.hi);
        value = static_cast<std::int32_t>(floorToStep(v, step));
        if (form.clamp)
            clampInto(value, form);
        showNumber(request, value, form);
        return true;
    }
    editorStart(request, false, form.lo < 0 ? "-" : "", false, result);
    return changed;
}

bool numberByte(CellRequest& request, std::uint8_t& value, const NumberForm& form,
                std::uint8_t& result) {
    return onByte(value, [&](std::int32_t& v) { return number(request, v, form, result); });
}

bool channelNumber(CellRequest& request, std::uint32_t& value, std::uint32_t lo, std::uint32_t hi,
                   std::uint32_t emptyValue, std::uint8_t& result) {
    bool changed = false;
    if (hasInput(request) && !filter(request.inputText, "").empty()) {
        const std::int64_t n = typedNumber(request.inputText);
        value = n == 0 ? emptyValue : static_cast<std::uint32_t>(limited(n, lo, hi));
        changed = true;
    }
    if (value != emptyValue)
        showText(request, std::to_string(value));
    else
        showText(request, request.action == CellRequest::kNoAction ? " " : "");
    if (!request.HasGrid())
        return changed;

    if (isSpaceOrBackspace(request.action)) {
        const std::int64_t from = value == emptyValue ? 0 : value;
        const std::int64_t v = stepped(from, request.action, 1, lo, hi);
        value = v == 0 ? emptyValue : static_cast<std::uint32_t>(v);
        showText(request, value == emptyValue ? "" : std::to_string(value));
        return true;
    }
    editorStart(request, false, "", false, result);
    return changed;
}

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if ((text[i] | 0x20) != prefix[i])
            return false;
    }
    return true;
}

// "%3d.%03d" of the shown value, then up to `decimals` trailing zeros dropped,
// and the point with them when nothing is left after it.
std::string offText(std::int64_t value, std::int64_t scale, int decimals) {
    const std::int64_t magnitude = value < 0 ? -value : value;
    std::string whole = std::to_string(magnitude / scale);
    if (value < 0)
        whole.insert(0, 1, '-');
    if (whole.size() < 3)
        whole.insert(0, 3 - whole.size(), ' ');
    std::string fraction = std::to_string(magnitude * 1000 / scale % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    std::string text = whole + "." + fraction;
    for (int i = 0; i < decimals && text.back() == '0'; ++i)
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

void showTimer(CellRequest& request, std::int32_t value, const TimerForm& form, std::int64_t scale,
               OverlayTexts& texts) {
    const bool off = form.kind == TimerKind::Off;
    if (request.action == CellRequest::kNoAction && value == 0)
        showText(request, texts.GetLine(off ? kTimerOffText : kTimerAutoText));
    else
        showText(request, off ? offText(value, scale, form.decimals)
                              : std::to_string(std::int64_t{value} / scale));
}

bool startsTimerEditor(char key, TimerKind kind) {
    if (key >= '0' && key <= '9')
        return true;
    if (kind == TimerKind::Off)
        return key == '.' || key == 'o' || key == 'O';
    return key == 'a' || key == 'A';
}

} // namespace

bool timer(CellRequest& request, std::int32_t& value, const TimerForm& form, OverlayTexts& texts,
           std::uint8_t& result) {
    const std::int64_t scale = form.scale > 0 ? form.scale : 1;
    bool changed = false;
    if (hasInput(request) && !refusedAsAmbiguous(request)) {
        const std::string a = filter(pointedDecimal(request.inputText), ".").substr(0, 9);
        if (!a.empty()) {
            const double x = (leadingDecimal(a) + 0.0005) * static_cast<double>(scale);
            value =
                static_cast<std::int32_t>(std::max<double>(form.lo, std::min<double>(x, form.hi)));
            changed = true;
        }
        const std::string b = filter(request.inputText, "ofOFautAUT");
        if (startsWithNoCase(b, form.kind == TimerKind::Off ? "of" : "au")) {
            value = 0;
            changed = true;
        }
    }
    showTimer(request, value, form, scale, texts);
    if (!request.HasGrid())
        return changed;

    if (isSpaceOrBackspace(request.action)) {
        value = static_cast<std::int32_t>(stepped(value, request.action, 1, form.lo, form.hi));
        showTimer(request, value, form, scale, texts);
        return true;
    }
    const char key = request.TypedCharacter();
    if (request.action == CellRequest::kEnter)
        startEditorOnText(request, result);
    else if (startsTimerEditor(key, form.kind))
        startEditorWithKey(request, key, result);
    return changed;
}

bool timerByte(CellRequest& request, std::uint8_t& value, const TimerForm& form,
               OverlayTexts& texts, std::uint8_t& result) {
    return onByte(value, [&](std::int32_t& v) { return timer(request, v, form, texts, result); });
}

} // namespace codec

} // namespace marlo
