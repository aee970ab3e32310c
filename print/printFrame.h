#pragma once

#include "print/printSettings.h"

#include <QString>

class QPainter;

namespace marlo {

struct CellFont;

// The header and footer of a printed page:
//
//   Sheet title                                   Program name and version
//   ================================================================ rule r
//   (gap of 5 r)
//   ... the sheet's cells ...
//   (gap of 5 r)
//   ================================================================ rule r
//                                                                    Maker
//
// Texts are `height` pixels high (the frame font at the printer's resolution);
// the rules are trunc(height / 10 + 1) pixels thick.
struct PrintFrame {
    QString title;   // the sheet's title, left
    QString program; // header, right
    QString maker;   // footer, right
    QString face;    // the sheet's title font face; empty for the default
    int height = 0;  // pixels

    int Rule() const;
    // The area left for the cells inside `page`.
    PageRect Content(const PageRect& page) const;
    // Draws header and footer on `painter` and returns the area left for the cells.
    PageRect Draw(QPainter& painter, const PageRect& page) const;
};

} // namespace marlo
