#pragma once

#include "views/cellPainter.h"

#include <cstdint>

namespace marlo {

class CellRequest;

// What the bit editor's cells do with the byte being edited. Its sheet is built
// from the built-in entries of BitPickerSheet: one CL_FBits cell per bit, the
// cell's index being the bit number. These cells live in the editor, not in the
// document, so the editor evaluates them itself.
namespace bitEditorCells {

// Shows bit `request.cell->index` of `value` as "1" or "0" and, with a grid,
// takes its key: Space, Backspace or a click flips the bit, "0" and "1" set it.
// Enter is left to the editor's window, where it confirms the byte. Returns true when the value
// changed. A cell index outside 0..7 shows nothing and takes no key.
bool EvaluateBit(CellRequest& request, std::uint8_t& value);

// Hands `value` back to the raw-byte cell that opened the editor: a copy of
// `owner` (that cell's request) carrying a pick with input mode 2, whose picked
// index is the byte shifted left by 18 bits, evaluated with notification so
// that the owner's sheet sees the change. Returns the evaluation's result byte.
std::uint8_t Deliver(const CellEngineCall& engine, const CellRequest& owner, std::uint8_t value);

} // namespace bitEditorCells

} // namespace marlo
