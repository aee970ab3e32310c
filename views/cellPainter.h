#pragma once

#include "views/cmcGridLayout.h"

#include <QImage>

#include <cstdint>
#include <functional>

class QPainter;
class cmcCellCapsule;
class cmcSheetDef;

// The sheet's two mark images: a warning (duplicate value) and an error
// (invalid value), in the image list at indexes 4 and 5.
struct cuiMarkImages {
    QImage warning;
    QImage error;
};

// The engine that gives bound cells their text: evaluates a request, with or
// without calling its change callback; returns the engine's result byte.
using cuiCellEngine = std::function<std::uint8_t(cmcCellCapsule& request, bool notify)>;

// What a sheet lends the painter for one cell. The painter only reads it (the
// painting request is its scratch record).
struct cuiCellPaintInput {
    const cmcSheetDef* def = nullptr; // the cell table, base cell and column widths
    bool building = false;
    bool printing = false;
    int marginUnit = 1;
    bool focused = false; // the grid has the keyboard focus
    bool popup = false;   // the sheet is a pop-up picker
    bool editorVisible = false;
    int cursorCol = -1;
    int cursorRow = -1;
    const cuiMarkImages* marks = nullptr; // none: no marks are drawn
    cmcCellCapsule* request = nullptr;    // reused for every bound cell
    cmcCellCapsule* ownerRequest = nullptr;
    const cuiCellEngine* engine = nullptr;
    // The cell record's own highlight: the cursor cell, or a selected or
    // line-marked cell that may take part in a multi-selection.
    std::function<bool(int col, int row)> isHighlighted;
};

// Paints one cell of a sheet on any surface: the grid's view on screen, a
// printer's page (or any paint device) on paper. Background, rule, text by the
// cell's alignment, and the warning or error mark of the engine's verdict.
void cuiPaintCell(QPainter& painter, const cuiCellPaintInput& in, int col, int row,
                  const cmcGridRect& rect);

// The paper marks, drawn as polygons of size e with their top-left at `origin`.
void cuiDrawPaperError(QPainter& painter, QPoint origin, int e);
void cuiDrawPaperWarning(QPainter& painter, QPoint origin, int e);
