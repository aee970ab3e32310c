#include "print/printSettings.h"

#include <charconv>
#include <cmath>

namespace marlo {

namespace {

constexpr double kInchesPerMm = 0.03937007874015748;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A whole field of decimal digits in min..max.
std::optional<int> number(std::string_view field, int min, int max) {
    field = trimmed(field);
    int value = 0;
    const char* end = field.data() + field.size();
    const auto [at, error] = std::from_chars(field.data(), end, value);
    if (field.empty() || error != std::errc() || at != end || value < min || value > max)
        return std::nullopt;
    return value;
}

double inPixels(int mm, int dpi) {
    return mm * static_cast<double>(dpi) * kInchesPerMm;
}

} // namespace

std::optional<PrintMargins> parsePrintMargins(std::string_view text) {
    PrintMargins margins{};
    for (std::size_t i = 0; i < margins.size(); ++i) {
        const auto comma = text.find(',');
        const bool last = i + 1 == margins.size();
        if (last != (comma == std::string_view::npos))
            return std::nullopt; // fewer or more than four fields
        const auto value = number(text.substr(0, comma), 0, kMaxMarginMm);
        if (!value)
            return std::nullopt;
        margins[i] = *value;
        if (!last)
            text.remove_prefix(comma + 1);
    }
    return margins;
}

std::optional<int> parsePrintPoints(std::string_view text) {
    return number(text, kMinPrintPoints, kMaxPrintPoints);
}

PageRect printPageRect(const PrintMargins& margins, int dpi, int width, int height) {
    const auto cut = [](double pixels) { return static_cast<int>(std::trunc(pixels)); };
    return {cut(inPixels(margins[0], dpi)), cut(inPixels(margins[1], dpi)),
            cut(width - inPixels(margins[2], dpi)), cut(height - inPixels(margins[3], dpi))};
}

int printPointsToPixels(int points, int dpi) {
    return static_cast<int>(std::lround(points * static_cast<double>(dpi) / 72.0));
}

} // namespace marlo
