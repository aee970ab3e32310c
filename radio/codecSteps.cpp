#include "radio/codecSteps.h"

#include "radio/cellRequest.h"

#include <algorithm>
#include <charconv>

namespace marlo {

namespace codec {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the run of digits at the start of `text`.
std::size_t digitRun(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    return n;
}

} // namespace

std::string filter(std::string_view text, std::string_view extra) {
    std::string kept;
    for (char c : text) {
        if (isDigit(c) || (static_cast<unsigned char>(c) < 0x80 && extra.find(c) != extra.npos))
            kept += c;
    }
    return kept;
}

double leadingDecimal(std::string_view text) {
    // Rebuilt as "-digits.digits" so that the reader sees one well-formed number
    // whatever surrounded it, and reads it the same in every locale.
    std::string normal;
    if (!text.empty() && text.front() == '-') {
        normal += '-';
        text.remove_prefix(1);
    }
    const std::size_t whole = digitRun(text);
    normal.append(whole == 0 ? "0" : std::string(text.substr(0, whole)));
    text.remove_prefix(whole);
    if (!text.empty() && text.front() == '.') {
        const std::size_t fraction = digitRun(text.substr(1));
        if (fraction > 0)
            normal.append(text.substr(0, fraction + 1));
    }
    double value = 0;
    std::from_chars(normal.data(), normal.data() + normal.size(), value);
    return value;
}

std::int64_t leadingDigits(std::string_view text) {
    const std::size_t n = std::min<std::size_t>(digitRun(text), 9);
    std::int64_t value = 0;
    for (std::size_t i = 0; i < n; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

std::int64_t typedNumber(std::string_view text) {
    const std::string kept = filter(text, ".-").substr(0, 9);
    const double value = leadingDecimal(kept); // at most 9 digits: well inside int64
    return static_cast<std::int64_t>(value < 0 ? value - 0.5 : value + 0.5);
}

std::int64_t divideRounded(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    const std::int64_t r = a % b;
    if (2 * (r < 0 ? -r : r) >= b)
        return a < 0 ? q - 1 : q + 1;
    return q;
}

std::string trimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == text.npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool hasInput(const CellRequest& request) {
    return request.inputMode == CellRequest::kEditedText ||
           request.inputMode == CellRequest::kChosen;
}

bool refusedAsTooLong(CellRequest& request, std::size_t length, std::size_t most) {
    if (length <= most)
        return false;
    request.refusedAbove = static_cast<std::int32_t>(most);
    return true;
}

namespace {

// The comma with exactly three digits after it and a digit before it.
std::size_t ambiguousCommaAt(std::string_view text) {
    for (std::size_t at = text.find(','); at != text.npos; at = text.find(',', at + 1)) {
        std::size_t digits = 0;
        while (at + 1 + digits < text.size() && isDigit(text[at + 1 + digits]))
            ++digits;
        if (digits == 3 && at > 0 && isDigit(text[at - 1]))
            return at;
    }
    return text.npos;
}

} // namespace

bool refusedAsNotDigits(CellRequest& request, std::string_view separators) {
    if (!hasInput(request))
        return false;
    const std::string& typed = request.inputText;
    const auto stray = std::find_if(typed.begin(), typed.end(), [separators](char c) {
        return (c < '0' || c > '9') && separators.find(c) == std::string_view::npos;
    });
    if (stray == typed.end())
        return false;
    request.refusedHint = "\"" + trimSpaces(typed) + "\" was not stored: only digits can be";
    return true;
}

bool refusedAsAmbiguous(CellRequest& request) {
    if (!hasInput(request))
        return false;
    const std::string typed = trimSpaces(request.inputText);
    const std::size_t comma = ambiguousCommaAt(typed);
    if (comma == std::string::npos)
        return false;
    std::string grouped = typed;
    grouped.erase(comma, 1);
    std::string pointed = typed;
    pointed[comma] = '.';
    request.refusedHint = "\"" + typed + "\" is ambiguous: type " + grouped + " (or " + grouped +
                          ".0), or " + pointed + " for a decimal";
    return true;
}

std::string pointedDecimal(std::string_view text) {
    std::string pointed(text);
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    return pointed;
}

void showText(CellRequest& request, std::string text) {
    request.text = std::move(text);
    request.selStart = 0;
    request.selLength = static_cast<std::int32_t>(request.text.size());
}

void startEditor(CellRequest& request, std::string text, std::int32_t selStart,
                 std::int32_t selLength, std::uint8_t& result) {
    request.text = std::move(text);
    request.selStart = selStart;
    request.selLength = selLength;
    result = kResultOpenEditor;
}

void startEditorWithKey(CellRequest& request, char key, std::uint8_t& result) {
    startEditor(request, std::string(1, key), 1, 0, result);
}

void startEditorOnText(CellRequest& request, std::uint8_t& result) {
    std::string trimmed = trimSpaces(request.text);
    const auto length = static_cast<std::int32_t>(trimmed.size());
    startEditor(request, std::move(trimmed), 0, length, result);
}

void editorStart(CellRequest& request, bool allowDot, std::string_view signs, bool spaceIsEnter,
                 std::uint8_t& result) {
    if (!request.HasGrid())
        return;
    std::int32_t action = request.action;
    if (spaceIsEnter && (action == CellRequest::kSpace || action == CellRequest::kBackspace))
        action = CellRequest::kEnter;
    if (action == CellRequest::kEnter) {
        startEditorOnText(request, result);
        return;
    }
    const char key = request.TypedCharacter();
    if (isDigit(key) || (allowDot && key == '.') || (key != '\0' && signs.find(key) != signs.npos))
        startEditorWithKey(request, key, result);
}

bool editRestriction(CellRequest& request, bool editable) {
    if (editable)
        return false;
    request.fontColour = kOlive;
    if (request.TypedCharacter() == '\0')
        return false;
    request.action = CellRequest::kNoAction;
    return true;
}

} // namespace codec

} // namespace marlo
