#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marlo {

class CellRequest;
class CellContext;
class CellModel;

// The cell engine of this radio: gives every overlay cell that carries a cell
// reference its meaning. It computes the cell's text and marks from the current
// image, turns a key, an edited text or a list pick into a change of the image,
// and runs the commands of menu items and toolbar buttons.
//
// Each sheet owns one; menus and toolbars make one for each evaluation. It holds
// nothing but its context, so any number may exist at once.
class CellEngine {
public:
    // Works in the installed context (CellContext::App()).
    CellEngine();
    explicit CellEngine(CellContext& context) : context_(&context) {}

    CellContext& Context() const { return *context_; }

private:
    CellContext* context_;
};

// The result byte of an evaluation.
namespace CellResult {
constexpr std::uint8_t None = 0;
constexpr std::uint8_t ListOpened = 1; // the engine opened a list or dialog itself
constexpr std::uint8_t OpenEditor = 2; // the grid opens its editor on the request's text
} // namespace CellResult

// Evaluates the request: fills in its text, marks and result, applies its input
// or key to the image, and with `notify` calls its onChange with the change bits.
// A request without a cell does nothing.
std::uint8_t evaluateCell(CellEngine& engine, CellRequest& request, bool notify);

// Evaluates a fresh request for `cell` with `action` (13 runs a menu item).
std::uint8_t runCell(CellEngine& engine, CellModel& cell, std::int32_t action);

// Whether the cell of that reference shows an invalid or a duplicate mark.
bool cellIsInvalid(CellEngine& engine, std::int32_t category, std::int32_t label,
                   std::int32_t index);
bool cellIsDuplicate(CellEngine& engine, std::int32_t category, std::int32_t label,
                     std::int32_t index);

// An overlay entry the engine reads: a text (kind 0), or a selection list whose
// items carry the label `kind` (Flex0 for ordinary lists).
struct OverlayUse {
    std::string key;
    int kind = 0;

    bool operator==(const OverlayUse&) const = default;
};

// Every overlay entry the engine and its cells read, each once. A lookup of a
// missing entry ends the program, so the installed overlay must hold them all.
const std::vector<OverlayUse>& cellOverlayUses();

} // namespace marlo
