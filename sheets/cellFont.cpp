#include "sheets/cellFont.h"

#include "sheets/textUtil.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace marlo {

namespace {

struct NamedValue {
    const char* name;
    int value;
};

constexpr NamedValue kCharsets[] = {
    {"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},      {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},   {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};

constexpr NamedValue kStyles[] = {
    {"fsBold", fsBold},
    {"fsItalic", fsItalic},
    {"fsUnderline", fsUnderline},
    {"fsStrikeOut", fsStrikeOut},
};

constexpr NamedValue kPitches[] = {
    {"fpDefault", static_cast<int>(FontPitch::Default)},
    {"fpFixed", static_cast<int>(FontPitch::Fixed)},
    {"fpVariable", static_cast<int>(FontPitch::Variable)},
};

// The field, blanks skipped in front, is exactly the name followed by blanks only.
bool fieldNames(std::string_view field, std::string_view name) {
    field = skipBlanks(field);
    return field.starts_with(name) && skipBlanks(field.substr(name.size())).empty();
}

template <std::size_t N>
bool lookUp(const NamedValue (&table)[N], std::string_view field, int& value) {
    for (const auto& entry : table) {
        if (fieldNames(field, entry.name)) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

std::int32_t clampTo32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// -(a * b / c), rounded half away from zero, saturated to 32 bits.
std::int32_t negatedMulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    const std::int64_t p = std::int64_t{a} * b;
    const std::int64_t q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
    return clampTo32(-q);
}

// A height or size field: "%n" scales the current value by n percent (never to
// 0), a plain number replaces it; 0 or no number keeps it. Nothing when unchanged.
std::optional<std::int32_t> scaledOrNew(std::string_view field, std::int32_t current) {
    field = skipBlanks(field);
    if (field.starts_with('%')) {
        const std::int64_t scaled = std::int64_t{current} * readDecimal(field.substr(1)) / 100;
        return scaled == 0 ? 1 : clampTo32(scaled);
    }
    const std::int32_t value = readDecimal(field);
    if (value == 0)
        return std::nullopt;
    return value;
}

} // namespace

bool charsetFromName(std::string_view field, int& charset) {
    return lookUp(kCharsets, field, charset);
}

bool styleFromName(std::string_view field, std::uint8_t& style) {
    int value = 0;
    if (!lookUp(kStyles, field, value))
        return false;
    style = static_cast<std::uint8_t>(value);
    return true;
}

bool pitchFromName(std::string_view field, FontPitch& pitch) {
    int value = 0;
    if (!lookUp(kPitches, field, value))
        return false;
    pitch = static_cast<FontPitch>(value);
    return true;
}

void CellFont::SetHeight(std::int32_t pixels) {
    height = pixels;
    size = negatedMulDiv(pixels, 72, kPixelsPerInch);
}

void CellFont::SetSize(std::int32_t points) {
    size = points;
    height = negatedMulDiv(points, kPixelsPerInch, 72);
}

void CellFont::ApplySpec(std::string_view spec) {
    enum Field {
        CharsetField,
        FaceField,
        ColourField,
        HeightField,
        SizeField,
        StyleField,
        PitchField,
        FieldCount
    };
    for (int n = 0; n < FieldCount; ++n) {
        const auto field = textField(spec, ',', n);
        if (!field)
            break;
        if (field->empty())
            continue;
        switch (n) {
        case CharsetField:
            charsetFromName(*field, charset);
            break;
        case FaceField:
            if (const auto name = skipBlanks(*field); !name.empty())
                face = name;
            break;
        case ColourField:
            colourFromName(*field, colour);
            break;
        case HeightField:
            if (const auto h = scaledOrNew(*field, height))
                SetHeight(*h);
            break;
        case SizeField:
            if (const auto s = scaledOrNew(*field, size))
                SetSize(*s);
            break;
        case StyleField: {
            // The field replaces the style only when it names a known style.
            bool matched = false;
            for (int t = 0; const auto token = textField(*field, '+', t); ++t) {
                std::uint8_t bit = 0;
                if (!styleFromName(*token, bit))
                    continue;
                if (!matched)
                    style = 0;
                matched = true;
                style |= bit;
            }
            break;
        }
        case PitchField:
            pitchFromName(*field, pitch);
            break;
        }
    }
}

} // namespace marlo
