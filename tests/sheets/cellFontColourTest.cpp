#include "sheets/cellFont.h"
#include "sheets/cellQtMapping.h"
#include "sheets/colourTable.h"
#include "sheets/textMeasure.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

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

struct ColourCase {
    const char* name;
    Colour value;
};

TEST(ColourTable, NamesGiveTheirValues) {
    const ColourCase cases[] = {
        {"clAqua", 0x00FFFF00},
        {"clBlack", 0},
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
        {"clBackground", 0x80000001},
        {"clActiveCaption", 0x80000002},
        {"clInactiveCaption", 0x80000003},
        {"clMenu", 0x80000004},
        {"clWindow", 0x80000005},
        {"clWindowFrame", 0x80000006},
        {"clMenuText", 0x80000007},
        {"clWindowText", 0x80000008},
        {"clCaptionText", 0x80000009},
        {"clActiveBorder", 0x8000000A},
        {"clInactiveBorder", 0x8000000B},
        {"clAppWorkSpace", 0x8000000C},
        {"clHighlight", 0x8000000D},
        {"clHightlightText", 0x8000000E},
        {"clBtnFace", 0x8000000F},
        {"clBtnShadow", 0x80000010},
        {"clGrayText", 0x80000011},
        {"clBtnText", 0x80000012},
        {"clInactiveCaptionText", 0x80000013},
        {"clBtnHighlight", 0x80000014},
    };
    EXPECT_EQ(std::size(cases), 38u);
    for (const auto& c : cases) {
        Colour value = 0x12345678;
        EXPECT_TRUE(colourFromName(c.name, value)) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
}

TEST(ColourTable, UnknownNamesLeaveTheValue) {
    for (const char* name : {"clHighlightText", "clwhite", "clWhite ", "", "White"}) {
        Colour value = 0x12345678;
        EXPECT_FALSE(colourFromName(name, value)) << name;
        EXPECT_EQ(value, 0x12345678u);
    }
}

TEST(QtMapping, ColoursResolveRgbDirectlyAndSystemColoursThroughThePalette) {
    EXPECT_EQ(toQColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(0x00804020), QColor(0x20, 0x40, 0x80));
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(toQColor(kClWindow), palette.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(toQColor(kClHighlight), palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(toQColor(kClGrayText), palette.color(QPalette::Disabled, QPalette::Text));
    EXPECT_EQ(toQColor(systemColour(99)), palette.color(QPalette::Active, QPalette::Base));
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
