#include "sheets/textUtil.h"
#include "core/hexText.h"
#include "sheets/windowPlacement.h"

#include <gtest/gtest.h>

#include <array>

using namespace marlo;

namespace {

struct FieldCase {
    const char* text;
    char separator;
    int n;
    std::optional<std::string_view> field;
};

TEST(TextUtil, FieldsOfASeparatedText) {
    const FieldCase cases[] = {
        {"a,b,c", ',', 0, "a"}, {"a,b,c", ',', 2, "c"},         {"a,b,c", ',', 3, std::nullopt},
        {"", ',', 0, ""},       {"", ',', 1, std::nullopt},     {",x,", ',', 2, ""},
        {"a+b", ',', 0, "a+b"}, {"a,b", ',', -1, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textField(c.text, c.separator, c.n), c.field) << c.text << " " << c.n;
}

struct DecimalCase {
    const char* text;
    std::int32_t value;
    std::size_t used;
};

TEST(TextUtil, DecimalNumbersAreReadAndClamped) {
    const DecimalCase cases[] = {
        {"42", 42, 2},
        {"  \t-17x", -17, 6},
        {"+5", 5, 2},
        {"x5", 0, 0},
        {"-", 0, 0},
        {"", 0, 0},
        {"2147483647", 2147483647, 10},
        {"2147483648", 2147483647, 10},
        {"-2147483648", -2147483647 - 1, 11},
        {"-99999999999999999999999", -2147483647 - 1, 24},
    };
    for (const auto& c : cases) {
        std::size_t used = 99;
        EXPECT_EQ(readDecimal(c.text, &used), c.value) << c.text;
        EXPECT_EQ(used, c.used) << c.text;
    }
}

TEST(TextUtil, BlanksAndStops) {
    EXPECT_EQ(skipBlanks(" \t x "), "x ");
    EXPECT_EQ(trimBlanks(std::string_view(" \t x y\t ")), "x y");
    std::string s = "\t a \t";
    trimBlanks(s);
    EXPECT_EQ(s, "a");
    EXPECT_EQ(removeBlanks(" a b\tc "), "abc");
    EXPECT_EQ(textUpTo("CL_X[3]:p", "[:"), "CL_X");
    EXPECT_EQ(textUpTo("CL_X:p[3]", "[:"), "CL_X");
    EXPECT_EQ(textUpTo("CL_X", "[:"), "CL_X");
}

TEST(TextUtil, HexTextToBytes) {
    EXPECT_EQ(hexToBytes("0aFf 1-2"), (std::vector<std::uint8_t>{0x0A, 0xFF, 0x12}));
    EXPECT_EQ(hexToBytes("abc"), (std::vector<std::uint8_t>{0xAB, 0xC0}));
    EXPECT_TRUE(hexToBytes("xyz").empty());
}

TEST(TextUtil, NibblesGoIntoTheirByte) {
    std::array<std::uint8_t, 2> bytes{0x00, 0xFF};
    EXPECT_TRUE(setNibble(bytes, 0, 0xA));
    EXPECT_TRUE(setNibble(bytes, 3, 0x1));
    EXPECT_FALSE(setNibble(bytes, 4, 0x1));
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 2>{0xA0, 0xF1}));
}

TEST(WindowPlacement, CentresOverTheOwnerAndStaysInTheWorkArea) {
    const QRect work(0, 0, 1000, 800);
    EXPECT_EQ(placedOver(QRect(0, 0, 100, 50), QRect(100, 100, 300, 200), work),
              QRect(200, 175, 100, 50));
    EXPECT_EQ(placedOver(QRect(0, 0, 100, 50), QRect(950, 780, 100, 100), work),
              QRect(900, 750, 100, 50));
    EXPECT_EQ(placedOver(QRect(0, 0, 100, 50), QRect(-80, -40, 20, 20), work),
              QRect(0, 0, 100, 50));
    EXPECT_EQ(placedOver(QRect(0, 0, 2000, 900), QRect(0, 0, 1000, 800), work),
              QRect(0, 0, 2000, 900))
        << "too large: the top-left corner stays visible";
}

} // namespace
