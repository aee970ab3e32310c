#pragma once

#include "sheets/cellFont.h"
#include "sheets/colourTable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace marlo {

// The ten channel counters of a sheet; cells read and change them while parsed.
using ChannelCounters = std::array<std::int32_t, 10>;

// Layout bits of a cell.
namespace CellLayout {
constexpr std::uint8_t HAlignMask = 0x03; // 0 left, 1 centre, 2 right
constexpr std::uint8_t VAlignShift = 2;
constexpr std::uint8_t VAlignMask = 0x0C; // 0 top, 1 middle, 2 bottom
// The values of HAlign() and VAlign().
constexpr std::uint8_t AlignStart = 0;  // left, top
constexpr std::uint8_t AlignCentre = 1; // centre, middle
constexpr std::uint8_t AlignEnd = 2;    // right, bottom
constexpr std::uint8_t FitWidth = 0x10;
constexpr std::uint8_t FitHeight = 0x20;
constexpr std::uint8_t Continues = 0x40; // continues the cell on its left
constexpr std::uint8_t Rule = 0x80;      // rule under the cell
} // namespace CellLayout

// Behaviour bits of a cell.
namespace CellBehaviour {
constexpr std::uint8_t Selectable = 0x01;
constexpr std::uint8_t Tail = 0x02; // tail of the selectable cell on its left
constexpr std::uint8_t Flag0 = 0x04;
constexpr std::uint8_t FlagMask = 0x3C; // Flag0..Flag3
} // namespace CellBehaviour

// The attribute record of a sheet cell, menu item, toolbar button or tree node.
// A model inherits from its parent (a sheet's base cell, a menu's base cell);
// the parent is borrowed and must outlive it.
class CellModel {
public:
    static constexpr std::int32_t kNoCategory = 12;
    static constexpr std::int32_t kNoLabel = 205;

    CellModel() = default;
    CellModel(const CellModel& other);
    CellModel& operator=(const CellModel& other);
    CellModel(CellModel&&) noexcept = default;
    CellModel& operator=(CellModel&&) noexcept = default;
    ~CellModel() = default;

    // Back to the parent: drops the own texts, font and popup menu, then takes
    // every field of the parent except its font and popup-menu name (the font
    // falls back to the sheet's base font when drawn, the menu is found through
    // FindPopupMenu). Without a parent, category and index keep their values.
    void Reset();

    // This model's popup-menu name, else the nearest ancestor's; nullptr if none.
    const std::string* FindPopupMenu() const;

    // The display text, or an empty text when there is none.
    const std::string& Text() const;
    void SetText(std::string_view value) { text = std::string(value); }

    std::uint8_t HAlign() const { return layout & CellLayout::HAlignMask; }
    std::uint8_t VAlign() const {
        return (layout & CellLayout::VAlignMask) >> CellLayout::VAlignShift;
    }
    bool Has(std::uint8_t layoutBit) const { return (layout & layoutBit) != 0; }
    bool IsSelectable() const { return (behaviour & CellBehaviour::Selectable) != 0; }
    bool IsTail() const { return (behaviour & CellBehaviour::Tail) != 0; }
    bool Flag(int n) const { return (behaviour & (CellBehaviour::Flag0 << n)) != 0; }
    bool IsBound() const { return label != kNoLabel; }

    const CellModel* parent = nullptr;
    ChannelCounters* counters = nullptr; // set only while a line is parsed
    std::int32_t category = kNoCategory;
    std::int32_t label = kNoLabel;
    std::int32_t index = 0;
    std::optional<std::string> parameter;
    std::int32_t imageIndex = -1;
    std::uint8_t layout = 0;
    std::uint8_t behaviour = 0;
    Colour colour = kClWindow;
    std::unique_ptr<CellFont> font;
    std::optional<std::string> popupMenu;
    std::optional<std::string> text;
};

} // namespace marlo
