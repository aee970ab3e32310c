#include "overlay/overlayTexts.h"
#include "sheets/cellFont.h"
#include "sheets/cellQtMapping.h"
#include "sheets/colourTable.h"
#include "sheets/textMeasure.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace marlo;

namespace {

CellFont fontWith(std::int32_t height, std::uint8_t style = 0) {
    CellFont f;
    f.SetHeight(height);
    f.style = style;
    return f;
}

struct SpecCase {
    const char* spec;
    CellFont before;
    CellFont after;
};

CellFont changed(CellFont f, void (*change)(CellFont&)) {
    change(f);
    return f;
}

TEST(FontSpec, FieldsChangeOnlyWhatTheyName) {
    const CellFont plain;
    const SpecCase cases[] = {
        {"", plain, plain},
        {",,,,,,", plain, plain},
        {"SHIFTJIS_CHARSET", plain, changed(plain, [](CellFont& f) { f.charset = 128; })},
        {" \tOEM_CHARSET \t", plain, changed(plain, [](CellFont& f) { f.charset = 255; })},
        {"oem_charset", plain, plain},
        {"OEM_CHARSETX", plain, plain},
        {",  Courier New", plain, changed(plain, [](CellFont& f) { f.face = "Courier New"; })},
        {",   ", plain, plain},
        {",,clWhite,,,fsBold,", plain,
         changed(plain,
                 [](CellFont& f) {
                     f.colour = 0x00FFFFFF;
                     f.style = fsBold;
                 })},
        {"DEFAULT_CHARSET,,clWindowText,-17,,,", plain,
         changed(plain, [](CellFont& f) { f.SetHeight(-17); })},
        {",,,%120", fontWith(-17), fontWith(-20)},
        {",,,%1", fontWith(50), fontWith(1)},
        {",,,%0", fontWith(50), fontWith(1)},
        {",,, %200", fontWith(-12), fontWith(-24)},
        {",,,0", fontWith(-17), fontWith(-17)},
        {",,,abc", fontWith(-17), fontWith(-17)},
        {",,,,12", plain, changed(plain, [](CellFont& f) { f.SetSize(12); })},
        {",,,,%50", fontWith(-16), changed(plain, [](CellFont& f) { f.SetSize(6); })},
        {",,,,,fsBold+fsItalic", fontWith(-12, fsUnderline), fontWith(-12, fsBold | fsItalic)},
        {",,,,, fsStrikeOut + fsNone", fontWith(-12, fsBold), fontWith(-12, fsStrikeOut)},
        {",,,,,fsNone+fsbold", fontWith(-12, fsUnderline), fontWith(-12, fsUnderline)},
        {",,,,,,fpFixed", plain, changed(plain, [](CellFont& f) { f.pitch = FontPitch::Fixed; })},
        {",,,,,,fpVariable,fpFixed", plain,
         changed(plain, [](CellFont& f) { f.pitch = FontPitch::Variable; })},
        {",,,,,,,,,-40", plain, plain},
    };
    for (const auto& c : cases) {
        CellFont font = c.before;
        font.ApplySpec(c.spec);
        EXPECT_EQ(font, c.after) << "'" << c.spec << "'";
    }
}

TEST(FontSpec, HeightAndSizeAreTwoViewsOfOneProperty) {
    CellFont f;
    f.SetHeight(-16);
    EXPECT_EQ(f.size, 12);
    f.SetSize(9);
    EXPECT_EQ(f.height, -12);
    f.SetHeight(-17); // 12.75 points round to 13
    EXPECT_EQ(f.size, 13);
    f.ApplySpec(",,,2147483647");
    f.ApplySpec(",,,%300");
    EXPECT_EQ(f.height, 2147483647) << "scaling saturates instead of overflowing";
}

TEST(FontSpec, NameTablesTryTheirNamesInOrder) {
    int charset = -1;
    EXPECT_TRUE(charsetFromName("ANSI_CHARSET", charset));
    EXPECT_EQ(charset, 0);
    EXPECT_TRUE(charsetFromName("CHINESEBIG5_CHARSET", charset));
    EXPECT_EQ(charset, 136);
    EXPECT_FALSE(charsetFromName("", charset));
    EXPECT_EQ(charset, 136);
    FontPitch pitch = FontPitch::Fixed;
    EXPECT_TRUE(pitchFromName("fpDefault ", pitch));
    EXPECT_EQ(pitch, FontPitch::Default);
    std::uint8_t style = 0;
    EXPECT_FALSE(styleFromName("Bold", style));
}

// The colour a name stands for; a name that is not known fails the test.
Colour named(const std::string& name) {
    Colour value = 0x12345678;
    EXPECT_TRUE(colourFromName(name, value)) << name;
    return value;
}

// The names the installed overlay writes where a colour goes: (Color=NAME),
// (TitleColor=NAME) and the third field of (Font=...) and (TitleFont=...).
std::set<std::string> overlayColourNames() {
    OverlayTexts& overlay = OverlayTexts::App();
    overlay.RequireEndMarker();
    static const std::regex field(R"(Color=([^)]*)|Font=[^,)]*,[^,)]*,([^,)]*))");
    std::set<std::string> names;
    for (const std::string& key : overlay.IndexKeys()) {
        if (key == "End_Of_Ovl")
            continue; // nothing follows it
        const std::string text = overlay.GetText(key);
        for (std::sregex_iterator m(text.begin(), text.end(), field), end; m != end; ++m) {
            const std::string name = (*m)[1].matched ? (*m)[1].str() : (*m)[2].str();
            if (!name.empty())
                names.insert(name);
        }
    }
    return names;
}

TEST(ColourTable, RgbNamesMeanTheirColours) {
    // Red in the low byte, green in the next, blue in the third.
    const Colour red = 0x0000FF, lime = 0x00FF00, blue = 0xFF0000;
    EXPECT_EQ(named("clBlack"), 0u);
    // Each bright colour mixes full primaries; its dark twin keeps only the top bit
    // of every channel (0xFF becomes half, 0x80).
    const struct {
        const char* bright;
        Colour mix;
        const char* dark;
    } pairs[] = {
        {"clRed", red, "clMaroon"},
        {"clLime", lime, "clGreen"},
        {"clBlue", blue, "clNavy"},
        {"clYellow", red | lime, "clOlive"},
        {"clFuchsia", red | blue, "clPurple"},
        {"clAqua", lime | blue, "clTeal"},
        {"clWhite", red | lime | blue, "clGray"},
    };
    for (const auto& p : pairs) {
        EXPECT_EQ(named(p.bright), p.mix) << p.bright;
        EXPECT_EQ(named(p.dark), p.mix & 0x808080u) << p.dark;
    }
    // Silver is three quarters (0xC0) in every channel; the grey names have aliases.
    EXPECT_EQ(named("clSilver"), named("clWhite") & 0xC0C0C0u);
    EXPECT_EQ(named("clLtGray"), named("clSilver"));
    EXPECT_EQ(named("clDkGray"), named("clGray"));
}

TEST(ColourTable, EveryNameTheOverlayUsesIsKnownExactlyAsSpelled) {
    const std::set<std::string> used = overlayColourNames();
    ASSERT_FALSE(used.empty());
    std::vector<std::string> unknown = {"clHighlightText", "clwhite", "clWhite ", "", "White"};
    for (const std::string& name : used) {
        Colour value = 0;
        EXPECT_TRUE(colourFromName(name, value)) << name;
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        unknown.insert(unknown.end(), {lower, name + " ", " " + name, name.substr(1)});
    }
    for (const std::string& name : unknown) {
        Colour value = 0x12345678;
        EXPECT_FALSE(colourFromName(name, value)) << "'" << name << "'";
        EXPECT_EQ(value, 0x12345678u);
    }
}

// Gives every role of every colour group its own colour while it lives, so that a
// system colour resolved to the wrong role cannot match by chance.
class DistinctPalette {
public:
    DistinctPalette() : saved_(QGuiApplication::palette()) {
        QPalette palette;
        for (int group = 0; group < 3; ++group) {
            for (int role = 0; role < QPalette::NColorRoles; ++role)
                palette.setColor(static_cast<QPalette::ColorGroup>(group),
                                 static_cast<QPalette::ColorRole>(role),
                                 QColor(20 + 80 * group, 10 * role, 99));
        }
        QGuiApplication::setPalette(palette);
    }
    ~DistinctPalette() { QGuiApplication::setPalette(saved_); }
    QColor color(QPalette::ColorGroup group, QPalette::ColorRole role) const {
        return QGuiApplication::palette().color(group, role);
    }

private:
    QPalette saved_;
};

TEST(QtMapping, ColoursResolveRgbDirectlyAndSystemColoursThroughThePalette) {
    EXPECT_EQ(toQColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(0x00804020), QColor(0x20, 0x40, 0x80));
    const DistinctPalette palette;
    ASSERT_NE(palette.color(QPalette::Active, QPalette::Text),
              palette.color(QPalette::Disabled, QPalette::Text));
    const struct {
        const char* name;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    } meanings[] = {
        {"clWindow", QPalette::Active, QPalette::Base},
        {"clWindowText", QPalette::Active, QPalette::Text},
        {"clHighlight", QPalette::Active, QPalette::Highlight},
        {"clHightlightText", QPalette::Active, QPalette::HighlightedText},
        {"clBtnFace", QPalette::Active, QPalette::Button},
        {"clBtnText", QPalette::Active, QPalette::ButtonText},
        {"clGrayText", QPalette::Disabled, QPalette::Text},
    };
    for (const auto& m : meanings)
        EXPECT_EQ(toQColor(named(m.name)), palette.color(m.group, m.role)) << m.name;
    EXPECT_EQ(toQColor(systemColour(99)), palette.color(QPalette::Active, QPalette::Base));
    // The colours the painter compares with are the ones the overlay names.
    const std::pair<const char*, Colour> constants[] = {
        {"clWindow", kClWindow},       {"clWindowText", kClWindowText},
        {"clHighlight", kClHighlight}, {"clHightlightText", kClHighlightText},
        {"clBtnFace", kClBtnFace},     {"clGrayText", kClGrayText},
        {"clWhite", kClWhite},
    };
    for (const auto& [name, constant] : constants)
        EXPECT_EQ(named(name), constant) << name;
}

TEST(QtMapping, FontsKeepFaceHeightAndStyle) {
    CellFont f;
    f.face = "Monospace";
    f.SetHeight(-20);
    f.style = fsBold | fsUnderline;
    f.pitch = FontPitch::Fixed;
    const QFont q = toQFont(f);
    EXPECT_EQ(q.family(), "Monospace");
    EXPECT_EQ(q.pixelSize(), 20);
    EXPECT_TRUE(q.bold());
    EXPECT_FALSE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_TRUE(q.fixedPitch());
    EXPECT_EQ(toQFont(CellFont{}).family(), QGuiApplication::font().family());
    f.SetHeight(2000000000);
    EXPECT_EQ(toQFont(f).pixelSize(), 4096);
}

TEST(QtMapping, MultiLineExtentIsTheWidestLineAndTheSumOfHeights) {
    CellFont f;
    f.SetHeight(-14);
    const QFontMetrics metrics(toQFont(f));
    QtTextMeasure measure;
    EXPECT_EQ(measure.Extent(f, "ab\nabcdef\nx"),
              (TextExtent{metrics.horizontalAdvance("abcdef"), 3 * metrics.height()}));
    EXPECT_EQ(measure.Extent(f, ""), (TextExtent{0, metrics.height()}));
    EXPECT_EQ(marginUnitOf(nullptr), 1);
}

TEST(QtMapping, KeptMetricsStayTrueWhenFontsAlternate) {
    QtTextMeasure measure;
    for (int round = 0; round < 3; ++round) {
        for (int height = 10; height < 30; height += 2) { // more fonts than are kept
            CellFont f;
            f.SetHeight(-height);
            f.style = round == 1 ? fsBold : 0;
            const QFontMetrics metrics(toQFont(f));
            for (const char* text : {"Frequency", "W", "Frequency"}) {
                EXPECT_EQ(measure.Extent(f, text),
                          (TextExtent{metrics.horizontalAdvance(text), metrics.height()}))
                    << height << " " << text;
            }
        }
    }
}

} // namespace
