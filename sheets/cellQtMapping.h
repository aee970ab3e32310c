#pragma once

#include "sheets/cellFont.h"
#include "sheets/colourTable.h"

#include <QColor>
#include <QFont>

namespace marlo {

// Where the overlay's fonts and colours meet the toolkit: only when a cell is
// measured or drawn.

// The face falls back to the application font's family; the pixel size is the
// magnitude of the height (the size in points only when there is no height).
// Character sets have no counterpart: texts are UTF-8.
QFont toQFont(const CellFont& font);

// An RGB value as it is; a system colour through the application palette.
QColor toQColor(Colour colour);

} // namespace marlo
