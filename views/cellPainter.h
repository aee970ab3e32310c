#pragma once

#include "views/gridLayout.h"

#include <QImage>

#include <cstdint>
#include <functional>

class QPainter;

namespace marlo {

class CellRequest;
class SheetDef;

// The sheet's two mark images: a warning (duplicate value) and an error
// (invalid value), in the image list at indexes 4 and 5.
struct MarkImages {
    QImage warning;
    QImage error;
};

// The engine that gives bound cells their text: evaluates a request, with or
// without calling its change callback; returns the engine's result byte.
using CellEngineCall = std::function<std::uint8_t(CellRequest& request, bool notify)>;

// What a sheet lends the painter for one cell. The painter only reads it (the
// painting request is its scratch record).
struct CellPaintInput {
    const SheetDef* def = nullptr; // the cell table, base cell and column widths
    bool building = false;
    bool printing = false;
    int marginUnit = 1;
    bool focused = false; // the grid has the keyboard focus
    bool popup = false;   // the sheet is a pop-up picker
    bool editorVisible = false;
    int cursorCol = -1;
    int cursorRow = -1;
    const MarkImages* marks = nullptr; // none: no marks are drawn
    CellRequest* request = nullptr;    // reused for every bound cell
    CellRequest* ownerRequest = nullptr;
    const CellEngineCall* engine = nullptr;
    // The cell record's own highlight: the cursor cell, or a selected or
    // line-marked cell that may take part in a multi-selection.
    std::function<bool(int col, int row)> isHighlighted;
};

// Paints one cell of a sheet on any surface: the grid's view on screen, a
// printer's page (or any paint device) on paper. Background, rule, text by the
// cell's alignment, and the warning or error mark of the engine's verdict.
void paintCell(QPainter& painter, const CellPaintInput& in, int col, int row, const GridRect& rect);

// The paper marks, drawn as polygons of size e with their top-left at `origin`.
void drawPaperError(QPainter& painter, QPoint origin, int e);
void drawPaperWarning(QPainter& painter, QPoint origin, int e);

} // namespace marlo
