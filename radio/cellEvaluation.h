#pragma once

#include "radio/cellContext.h"
#include "radio/cellEngine.h"
#include "radio/cellRequest.h"
#include "radio/listRecord.h"
#include "sheets/cellNames.h"
#include "sheets/colourTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class CellModel;
class OverlayTexts;

namespace codec {
class SelectionLists;
struct SelectionForm;
} // namespace codec

// The change bits a cell reports to its sheet after an evaluation.
namespace ChangeBit {
constexpr std::uint8_t Cell = 0x01;  // this cell
constexpr std::uint8_t Entry = 0x08; // the cells of the row's entry
constexpr std::uint8_t Edges = 0x20; // a band edge: every channel's marks may change
} // namespace ChangeBit

// The names of the modes, line n for mode n.
constexpr const char* kModeNamesText = "GI_AppInd_Mode";

// The common setting that chooses 6-digit (nonzero) or 4-digit selective-call IDs.
constexpr std::int32_t kIdLengthAddress = 15249;

// Mode and call kind agree: modes 6 and 7 take only call kind 0 or 3 (ALE), every
// other mode any call kind but 3.
inline bool callKindAgrees(std::uint8_t mode, std::int32_t callKind) {
    constexpr std::int32_t ale = ListRecord::aleCallKind;
    if (mode == 6 || mode == 7)
        return callKind == 0 || callKind == ale;
    return callKind != ale;
}

// Why a channel's mode, call kind or ALE address is marked, on the sheet and in
// its pick list alike.
constexpr const char* kCallKindDisagrees = "This call kind cannot be used with the channel's mode";
std::string aleAddressRepeated(std::string_view address);

// One evaluation in progress: the request, the row's entry and what the cell
// handlers report back. The engine fills it; a handler reads the cell from it and
// writes text, status and result through the request.
struct CellEvaluation {
    CellEvaluation(CellEngine& anEngine, CellContext& aContext, CellRequest& aRequest);

    CellEngine& engine;
    CellContext& context;
    CellRequest& request;
    CellModel& cell;
    ListRecord entry;
    std::int32_t category = 0;
    std::int32_t label = 0;
    std::int32_t index = 0;
    std::uint8_t result = 0;
    std::uint8_t changeBits = ChangeBit::Cell;
    bool refused = false; // an edit-restricted cell swallowed a typed character

    OverlayTexts& Texts() const;
    codec::SelectionLists& lists() const { return context.SelectionLists(); }
    bool expertOrFactory() const { return context.ExpertMode() || context.FactoryMode(); }

    // Draws a cell that may not be edited now in olive and swallows a typed
    // character; input that reaches it anyway is dropped, so it never changes.
    void RestrictEdit(bool editable);
    // `why` says which limit, duplicate or reference; the status line shows it
    // while the cursor stands on the marked cell.
    void MarkInvalid(bool on, std::string_view why = {});
    void MarkDuplicate(bool on, std::string_view why = {});
    // The reason for a mode that is switched off: by its name in the image, or
    // its usual name when the image leaves it blank.
    std::string ModeNotInUse(int mode);
    void SetFontColour(Colour colour) { request.fontColour = colour; }
    void AlignCentre();
    // Stores the row's entry and loads it again, so that its derived bits follow.
    void StoreEntry() { entry.StoreAndReload(); }
    // Asks the sheets to repaint every cell of `repaintLabel` (repeat marks of other
    // rows may change with this one).
    void RepaintLabel(std::int32_t repaintLabel) const;

    // The byte of the current image at `address`, when there is one.
    bool ReadByte(std::int32_t address, std::uint8_t& value) const;
    void WriteByte(std::int32_t address, std::uint8_t value) const;
    // A selection codec over one byte of the current image; true when it changed.
    bool SelectionOnByte(std::int32_t address, const codec::SelectionForm& form);
};

using CellHandler = void (*)(CellEvaluation&);

// How the engine treats a label: who evaluates it, on which lists, and whether a
// value picked from a list may reach it.
struct CellKind {
    CellHandler handler = nullptr;
    // Bit t set: the cell works on an entry of list type t, and met on a row of
    // another list it shows nothing and changes nothing. 0: any row will do.
    std::uint8_t listTypes = 0;
    bool takesPicks = false;
};

using CellKinds = std::array<CellKind, kLabelCount>;

constexpr std::uint8_t listBit(std::uint8_t listType) {
    return static_cast<std::uint8_t>(1u << listType);
}

// What the engine knows of its labels: how it treats each, and which overlay
// entries the cells read. The families fill it in one place each, so the entries
// they read are named where they are used.
struct CellCatalogue {
    CellKinds kinds{};
    std::vector<OverlayUse> overlay;

    void UsesText(std::string_view key) { Uses({std::string(key), 0}); }
    void UsesList(std::string_view listKey, int kind) { Uses({std::string(listKey), kind}); }

private:
    void Uses(OverlayUse use);
};

// The families of cells, each adding its labels and the overlay entries they read.
void addCommonCells(CellCatalogue& catalogue);
void addExpertCells(CellCatalogue& catalogue);
void addUserChannelCells(CellCatalogue& catalogue);
void addIdListCells(CellCatalogue& catalogue);
void addEdgeAndModeCells(CellCatalogue& catalogue);
void addSelectionCells(CellCatalogue& catalogue);
void addRawByteCells(CellCatalogue& catalogue);
void addLayoutCells(CellCatalogue& catalogue);
void addCheckCells(CellCatalogue& catalogue);
void addMenuCells(CellCatalogue& catalogue);

// The whole table, built once.
const CellKinds& cellKinds();

} // namespace marlo
