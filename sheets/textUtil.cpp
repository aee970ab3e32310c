#include "sheets/textUtil.h"

#include <algorithm>
#include <limits>

namespace marlo {

std::optional<std::string_view> textField(std::string_view text, char separator, int n) {
    if (n < 0)
        return std::nullopt;
    for (; n > 0; --n) {
        const auto at = text.find(separator);
        if (at == std::string_view::npos)
            return std::nullopt;
        text.remove_prefix(at + 1);
    }
    return text.substr(0, text.find(separator));
}

std::string_view textUpTo(std::string_view text, std::string_view stops) {
    return text.substr(0, text.find_first_of(stops));
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view trimBlanks(std::string_view text) {
    text = skipBlanks(text);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

void trimBlanks(std::string& text) {
    text = std::string(trimBlanks(std::string_view(text)));
}

std::string removeBlanks(std::string_view text) {
    std::string out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [](char c) { return !isBlank(c); });
    return out;
}

std::int32_t readDecimal(std::string_view text, std::size_t* used) {
    const std::size_t start = text.size() - skipBlanks(text).size();
    std::size_t i = start;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const std::size_t firstDigit = i;
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    if (used != nullptr)
        *used = i == firstDigit ? 0 : i;
    if (negative)
        value = -value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool isPrintableAscii(int c) {
    return c >= 32 && c <= 126;
}

bool isInRange(std::int64_t value, std::int64_t low, std::int64_t high) {
    return value >= low && value <= high;
}

bool setNibble(std::span<std::uint8_t> bytes, std::size_t n, std::uint8_t value) {
    if (n / 2 >= bytes.size())
        return false;
    std::uint8_t& b = bytes[n / 2];
    if (n % 2 == 0)
        b = static_cast<std::uint8_t>((b & 0x0F) | ((value & 0x0F) << 4));
    else
        b = static_cast<std::uint8_t>((b & 0xF0) | (value & 0x0F));
    return true;
}

std::string commandName(std::string_view caption) {
    std::string name;
    for (const char c : textUpTo(caption, "\t")) {
        if (c == '&')
            continue;
        name += c == '\n' || c == '\r' ? ' ' : c;
    }
    while (!name.empty() && (name.back() == '.' || isBlank(name.back())))
        name.pop_back();
    return name;
}

} // namespace marlo
