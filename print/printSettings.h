#pragma once

#include "views/gridLayout.h"

#include <array>
#include <optional>
#include <string_view>

namespace marlo {

// A page area in printer pixels: left and top inside, right and bottom just
// past it, as a cell's area is.
using PageRect = GridRect;

inline bool isEmptyArea(const PageRect& area) {
    return area.right <= area.left || area.bottom <= area.top;
}

// The margins of the page in millimetres: left, top, right, bottom.
using PrintMargins = std::array<int, 4>;

// A margin beyond this many millimetres is a typing error, not a margin.
constexpr int kMaxMarginMm = 1000;
// Text sizes the printout takes, in points.
constexpr int kMinPrintPoints = 1;
constexpr int kMaxPrintPoints = 72;

// Four comma-separated decimal numbers, blanks around each allowed, each from 0
// to kMaxMarginMm; nothing for anything else ("10,10,10", "a,b,c,d", "-5,...").
std::optional<PrintMargins> parsePrintMargins(std::string_view text);

// A point size from kMinPrintPoints to kMaxPrintPoints, blanks around it
// allowed; nothing otherwise.
std::optional<int> parsePrintPoints(std::string_view text);

// The page area inside the margins, each converted with the vertical resolution
// `dpi` for both directions and the fraction dropped; the page is `width` by
// `height` printer pixels. 10 mm at 600 dpi is 236 pixels.
PageRect printPageRect(const PrintMargins& margins, int dpi, int width, int height);

// The height in printer pixels of a font of `points` at `dpi`, rounded.
int printPointsToPixels(int points, int dpi);

} // namespace marlo
