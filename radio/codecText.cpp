#include "radio/codecText.h"

#include "radio/cellRequest.h"
#include "radio/codecSteps.h"

#include <algorithm>
#include <string>

namespace marlo {

namespace codec {

namespace {

bool isPrintable(unsigned char c) {
    return c >= 32 && c <= 126;
}

// Length of the character starting at text[i]: a UTF-8 lead byte takes its
// continuation bytes with it, so that one typed letter fills one place.
std::size_t characterLength(std::string_view text, std::size_t i) {
    std::size_t n = 1;
    if (static_cast<unsigned char>(text[i]) >= 0xC0) {
        while (n < 4 && i + n < text.size() &&
               (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
    }
    return n;
}

// A byte that is no character (NUL, 0xFF of an unused entry) shows, and so
// edits, as a blank.
std::string fieldText(std::span<const std::uint8_t> field) {
    std::string text;
    for (std::uint8_t b : field)
        text += isPrintable(b) ? static_cast<char>(b) : ' ';
    return trimSpaces(text);
}

// Space and Backspace open the editor as Enter does; so does a character that
// `starts` accepts, on just that character.
template <typename Starts>
void textKeys(CellRequest& request, Starts starts, std::uint8_t& result) {
    if (!request.HasGrid())
        return;
    const std::int32_t action = request.action;
    if (action == CellRequest::kEnter || action == CellRequest::kSpace ||
        action == CellRequest::kBackspace)
        startEditorOnText(request, result);
    else if (const char key = request.TypedCharacter(); key != '\0' && starts(key))
        startEditorWithKey(request, key, result);
}

} // namespace

bool nameText(CellRequest& request, std::span<std::uint8_t> field, std::uint8_t& result,
              std::string_view alphabet) {
    const auto kept = [alphabet](unsigned char c) {
        return isPrintable(c) &&
               (alphabet.empty() || alphabet.find(static_cast<char>(c)) != std::string_view::npos);
    };
    bool changed = false;
    if (hasInput(request)) {
        const std::string_view typed = request.inputText;
        std::size_t place = 0;
        for (std::size_t i = 0; i < typed.size() && place < field.size(); ++place) {
            const std::size_t n = characterLength(typed, i);
            const auto c = static_cast<unsigned char>(typed[i]);
            field[place] = n == 1 && kept(c) ? c : ' ';
            i += n;
        }
        std::fill(field.begin() + static_cast<std::ptrdiff_t>(place), field.end(), ' ');
        changed = true;
    }
    showText(request, fieldText(field));
    textKeys(
        request, [](char key) { return isPrintable(static_cast<unsigned char>(key)); }, result);
    return changed;
}

bool aleText(CellRequest& request, std::span<std::uint8_t> field, std::uint8_t& result) {
    bool changed = false;
    const std::string typed = hasInput(request) ? filter(request.inputText, kAleAlphabet) : "";
    if (hasInput(request) && !refusedAsTooLong(request, typed.size(), field.size())) {
        std::fill(field.begin(), field.end(), 0xFF);
        std::transform(typed.begin(), typed.end(), field.begin(), [](char c) {
            return static_cast<std::uint8_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        });
        changed = true;
    }
    showText(request, fieldText(field));
    textKeys(
        request, [](char key) { return kAleAlphabet.find(key) != kAleAlphabet.npos; }, result);
    return changed;
}

} // namespace codec

} // namespace marlo
