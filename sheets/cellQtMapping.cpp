#include "sheets/cellQtMapping.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace marlo {

namespace {

constexpr int kMaxPixelSize = 4096; // keeps absurd overlay heights drawable

struct PaletteColour {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// System colours 1..20 in the palette's terms.
constexpr PaletteColour kSystemColours[] = {
    {QPalette::Active, QPalette::Window},            // 1 background
    {QPalette::Active, QPalette::Highlight},         // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    {QPalette::Active, QPalette::Window},            // 4 menu
    {QPalette::Active, QPalette::Base},              // 5 window
    {QPalette::Active, QPalette::Shadow},            // 6 window frame
    {QPalette::Active, QPalette::WindowText},        // 7 menu text
    {QPalette::Active, QPalette::Text},              // 8 window text
    {QPalette::Active, QPalette::HighlightedText},   // 9 caption text
    {QPalette::Active, QPalette::Window},            // 10 active border
    {QPalette::Inactive, QPalette::Window},          // 11 inactive border
    {QPalette::Active, QPalette::Dark},              // 12 application workspace
    {QPalette::Active, QPalette::Highlight},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},   // 14 highlight text
    {QPalette::Active, QPalette::Button},            // 15 button face
    {QPalette::Active, QPalette::Dark},              // 16 button shadow
    {QPalette::Disabled, QPalette::Text},            // 17 grey text
    {QPalette::Active, QPalette::ButtonText},        // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active, QPalette::Light},             // 20 button highlight
};

} // namespace

QFont toQFont(const CellFont& font) {
    QFont q = QGuiApplication::font();
    if (!font.face.empty())
        q.setFamily(QString::fromStdString(font.face));
    if (font.height != 0)
        q.setPixelSize(std::min(std::abs(static_cast<long>(font.height)), long{kMaxPixelSize}));
    else if (font.size > 0)
        q.setPointSize(std::min(static_cast<int>(font.size), kMaxPixelSize));
    q.setBold((font.style & fsBold) != 0);
    q.setItalic((font.style & fsItalic) != 0);
    q.setUnderline((font.style & fsUnderline) != 0);
    q.setStrikeOut((font.style & fsStrikeOut) != 0);
    if (font.pitch == FontPitch::Fixed) {
        q.setFixedPitch(true);
        q.setStyleHint(QFont::Monospace);
    }
    return q;
}

QColor toQColor(Colour colour) {
    if (!isSystemColour(colour))
        return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                      static_cast<int>((colour >> 16) & 0xFF));
    const auto index = static_cast<std::size_t>(colour & ~kSystemColourBit);
    const QPalette palette = QGuiApplication::palette();
    if (index < 1 || index > std::size(kSystemColours))
        return palette.color(QPalette::Active, QPalette::Base);
    const PaletteColour& pc = kSystemColours[index - 1];
    return palette.color(pc.group, pc.role);
}

} // namespace marlo
