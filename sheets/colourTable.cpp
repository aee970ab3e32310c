#include "sheets/colourTable.h"

#include "overlay/nameTable.h"

namespace marlo {

namespace {

struct NamedColour {
    const char* name;
    Colour value;
};

// The overlay files spell the highlight-text colour "clHightlightText"; that
// spelling is the name, the usual one is not.
constexpr NamedColour kColours[] = {
    {"clAqua", 0x00FFFF00},
    {"clBlack", 0x00000000},
    {"clBlue", 0x00FF0000},
    {"clDkGray", 0x00808080},
    {"clFuchsia", 0x00FF00FF},
    {"clGray", 0x00808080},
    {"clGreen", 0x00008000},
    {"clLime", 0x0000FF00},
    {"clLtGray", 0x00C0C0C0},
    {"clMaroon", 0x00000080},
    {"clNavy", 0x00800000},
    {"clOlive", 0x00008080},
    {"clPurple", 0x00800080},
    {"clRed", 0x000000FF},
    {"clSilver", 0x00C0C0C0},
    {"clTeal", 0x00808000},
    {"clWhite", 0x00FFFFFF},
    {"clYellow", 0x0000FFFF},
    {"clBackground", systemColour(1)},
    {"clActiveCaption", systemColour(2)},
    {"clInactiveCaption", systemColour(3)},
    {"clMenu", systemColour(4)},
    {"clWindow", systemColour(5)},
    {"clWindowFrame", systemColour(6)},
    {"clMenuText", systemColour(7)},
    {"clWindowText", systemColour(8)},
    {"clCaptionText", systemColour(9)},
    {"clActiveBorder", systemColour(10)},
    {"clInactiveBorder", systemColour(11)},
    {"clAppWorkSpace", systemColour(12)},
    {"clHighlight", systemColour(13)},
    {"clHightlightText", systemColour(14)},
    {"clBtnFace", systemColour(15)},
    {"clBtnShadow", systemColour(16)},
    {"clGrayText", systemColour(17)},
    {"clBtnText", systemColour(18)},
    {"clInactiveCaptionText", systemColour(19)},
    {"clBtnHighlight", systemColour(20)},
};

struct ColourIndex {
    NameTable hash{101};
    ColourIndex() {
        for (const auto& c : kColours)
            hash.Add(c.name, c.value);
    }
};

} // namespace

bool colourFromName(std::string_view name, Colour& value) {
    static const ColourIndex index; // filled on first use
    const NameTable::Node* node = index.hash.Find(name);
    if (node == nullptr)
        return false;
    value = node->value;
    return true;
}

} // namespace marlo
