#pragma once

#include "sheets/colourTable.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace marlo {

enum FontStyle : std::uint8_t {
    fsBold = 0x01,
    fsItalic = 0x02,
    fsUnderline = 0x04,
    fsStrikeOut = 0x08,
};

enum class FontPitch : std::uint8_t { Default, Variable, Fixed };

// The font of a cell as the overlay describes it. It stays a plain record here;
// it becomes a toolkit font only when a cell is measured or drawn.
//
// Height and size are two views of one property, as the overlay's font model
// has them: a negative height is the character height in pixels without the
// internal leading, the size is in points. Setting one updates the other at the
// screen's logical 96 dots per inch.
struct CellFont {
    static constexpr int kPixelsPerInch = 96;
    static constexpr int kDefaultCharset = 1;

    std::string face; // empty: the platform's default face
    int charset = kDefaultCharset;
    Colour colour = kClWindowText;
    std::int32_t height = -12;
    std::int32_t size = 9;
    std::uint8_t style = 0; // FontStyle bits
    FontPitch pitch = FontPitch::Default;

    void SetHeight(std::int32_t pixels);
    void SetSize(std::int32_t points);

    // Applies a font specification: up to seven comma-separated fields (character
    // set, face, colour, height, size, style, pitch); an empty or missing field
    // leaves its property as it is, unknown names are ignored.
    void ApplySpec(std::string_view spec);

    bool operator==(const CellFont&) const = default;
};

// The name tables of the font specification; false for an unknown name. A name
// may be preceded and followed by blanks, and matches case-sensitively.
bool charsetFromName(std::string_view field, int& charset);
bool styleFromName(std::string_view field, std::uint8_t& style);
bool pitchFromName(std::string_view field, FontPitch& pitch);

} // namespace marlo
