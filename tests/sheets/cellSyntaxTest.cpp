#include "sheets/cellParser.h"
#include "sheets/overlayLineStore.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace marlo;

namespace {

// Cell models as the overlay file would hold them.
OverlayLineStore& models() {
    static OverlayLineStore store({
        "#CellModel_eWh",
        "S<_WHB",
        "#CellModel_Basic",
        "(Color=clWhite)-",
        "#CellModel_Head",
        "($Basic)^W(Font=,,,,,fsBold,)",
        "#CellModel_Self",
        "S($Self)",
        "#CellModel_PingA",
        "($PingB)",
        "#CellModel_PingB",
        "W($PingA)",
        "#CellModel_Count",
        "(@ch0++)",
    });
    return store;
}

CellModel parse(std::string_view cell, const CellModel* parent = nullptr,
                ChannelCounters* counters = nullptr) {
    CellModel model;
    CellParser(models().Store()).SplitCell(cell, model, parent, counters);
    return model;
}

std::vector<std::optional<std::string>> cellTexts(std::string_view line) {
    std::vector<std::optional<std::string>> texts;
    const CellParser parser(models().Store());
    CellModel model;
    while (!line.empty()) {
        line = parser.SplitCell(line, model, nullptr, nullptr);
        texts.push_back(model.text);
    }
    return texts;
}

using Texts = std::vector<std::optional<std::string>>;

struct SplitCase {
    const char* line;
    Texts texts;
};

TEST(CellSplitter, CutsLinesIntoCells) {
    const SplitCase cases[] = {
        {"|a|b|", {std::nullopt, "a", "b"}},
        {"a|b", {"a", "b"}},
        {"one cell", {"one cell"}},
        {"", {}},
        {"|", {std::nullopt}},
        {"a||", {"a", std::nullopt}},
        {"a\\|b|c", {"a|b", "c"}},
        {"{S|x}y", {std::nullopt, "x}y"}}, // braces do not protect a '|'
        {"tail\\", {"tail"}},              // a backslash at the end stands for nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cellTexts(c.line), c.texts) << c.line;
        EXPECT_EQ(CellParser::CountCells(c.line), c.texts.size()) << c.line;
    }
}

TEST(CellSplitter, CountOnlyResetsToTheParentAndParsesNothing) {
    CellModel parent;
    parent.category = 2;
    parent.label = 144;
    parent.text = "base";
    CellModel model;
    model.colour = 0x123;
    const std::string_view rest =
        CellParser(models().Store())
            .SplitCell("{(Color=clRed)S}x|y", model, &parent, nullptr, true);
    EXPECT_EQ(rest, "y");
    EXPECT_EQ(model.parent, &parent);
    EXPECT_EQ(model.label, 144);
    EXPECT_EQ(model.colour, kClWindow);
    EXPECT_FALSE(model.IsSelectable());
    EXPECT_EQ(model.Text(), "base");
}

TEST(CellSplitter, AReusedModelWithoutParentKeepsCategoryAndIndex) {
    const CellParser parser(models().Store());
    CellModel model;
    parser.SplitCell("{(%CT_UserCh.CL_UCh_FreqR[7]:p)}a", model, nullptr, nullptr);
    parser.SplitCell("b", model, nullptr, nullptr);
    EXPECT_EQ(model.category, 2);
    EXPECT_EQ(model.index, 7);
    EXPECT_EQ(model.label, CellModel::kNoLabel);
    EXPECT_FALSE(model.parameter.has_value());
}

struct DisplayCase {
    const char* cell;
    std::optional<std::string> text;
};

TEST(CellDisplayText, TrimsAndUnescapes) {
    const DisplayCase cases[] = {
        {"  hello \t", "hello"},
        {"\x01\x7f x \x1f", "x"},
        {"   ", std::nullopt},
        {"{S}", std::nullopt},
        {"a\\nb\\Nc", "a\nb\nc"},
        {"\\_x\\_", " x "},
        {"\\q\\\\", "q\\"},
        {"a{W}b{H}c", "abc"},
        {"a}b", "a}b"},
        {"caf\xc3\xa9", "caf\xc3\xa9"}, // UTF-8 bytes are text, never trimmed
        {"\xc3\xa9 ", "\xc3\xa9"},
        {"{unclosed W", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.cell).text, c.text) << c.cell;
}

struct FlagCase {
    const char* attributes;
    std::uint8_t layout;
    std::uint8_t behaviour;
};

TEST(CellAttributes, FlagLettersSetLayoutAndBehaviour) {
    using namespace CellLayout;
    const FlagCase cases[] = {
        {"<", 0, 0},
        {"^", 1, 0},
        {">", 2, 0},
        {"~", 0, 0},
        {"-", 1 << VAlignShift, 0},
        {"_", 2 << VAlignShift, 0},
        {"WH+B", FitWidth | FitHeight | Continues | Rule, 0},
        {"ST", 0, CellBehaviour::Selectable | CellBehaviour::Tail},
        {">^", 1, 0}, // later letters win
        {"_~", 0, 0},
        {"W!W", 0, 0}, // '!' clears
        {"!<", 0, 0},  // ... only the six bit letters
        {"!>", 2, 0},
        {"!xS", 0, CellBehaviour::Selectable},
        {"\\S\\W", 0, 0}, // escaped letters are ordinary
        {"xyzQ?)", 0, 0}, // unknown letters and a stray ')' are ignored
    };
    for (const auto& c : cases) {
        const CellModel model = parse(std::string("{") + c.attributes + "}");
        EXPECT_EQ(model.layout, c.layout) << c.attributes;
        EXPECT_EQ(model.behaviour, c.behaviour) << c.attributes;
    }
}

TEST(CellAttributes, BangClearsABitTheParentSet) {
    CellModel parent;
    parent.behaviour = CellBehaviour::Selectable;
    parent.layout = CellLayout::FitWidth | CellLayout::Rule;
    const CellModel model = parse("{!S!B}", &parent);
    EXPECT_FALSE(model.IsSelectable());
    EXPECT_EQ(model.layout, CellLayout::FitWidth);
}

TEST(CellAttributes, NamedModelsApplyTheirFirstLineInPlace) {
    const CellModel bit = parse("{($eWh)^(%CL_FBits[2])}9");
    EXPECT_EQ(bit.layout, 1 | (2 << CellLayout::VAlignShift) | CellLayout::FitWidth |
                              CellLayout::FitHeight | CellLayout::Rule);
    EXPECT_TRUE(bit.IsSelectable());
    EXPECT_EQ(bit.label, 6);
    EXPECT_EQ(bit.index, 2);
    EXPECT_EQ(bit.Text(), "9");

    const CellModel head = parse("{($Head)<}");
    EXPECT_EQ(head.colour, 0x00FFFFFFu);
    EXPECT_EQ(head.layout, CellLayout::FitWidth | (1 << CellLayout::VAlignShift));
    ASSERT_TRUE(head.font);
    EXPECT_EQ(head.font->style, fsBold);
}

TEST(CellAttributes, ColourGroups) {
    EXPECT_EQ(parse("{(Color=clRed)}").colour, 0x000000FFu);
    EXPECT_EQ(parse("{(Color=clHightlightText)}").colour, systemColour(14));
    EXPECT_EQ(parse("{(Color=clHighlightText)}").colour, kClWindow);
    EXPECT_EQ(parse("{(Color=clred)}").colour, kClWindow);
    EXPECT_EQ(parse("{(Color)}").colour, kClWindow);
    EXPECT_EQ(parse("{(Color=clRed)(Color=nothing)}").colour, 0x000000FFu);
}

TEST(CellAttributes, FontGroupStartsFromTheParentsFontOrTheDefault) {
    CellModel parent;
    parent.font = std::make_unique<CellFont>();
    parent.font->face = "Serif";
    parent.font->SetHeight(-17);
    const CellModel child = parse("{(Font=,,,%120,,,)}", &parent);
    ASSERT_TRUE(child.font);
    EXPECT_EQ(child.font->face, "Serif");
    EXPECT_EQ(child.font->height, -20);
    EXPECT_EQ(parent.font->height, -17);

    const CellModel orphan = parse("{(Font)}");
    ASSERT_TRUE(orphan.font);
    EXPECT_EQ(*orphan.font, CellFont{});
    EXPECT_FALSE(parse("x", &parent).font) << "a fresh cell falls back to the base font";
}

struct ReferenceCase {
    const char* group;
    int category;
    int label;
    int index;
    std::optional<std::string> parameter;
};

TEST(CellAttributes, CellReferences) {
    const ReferenceCase cases[] = {
        {"%CT_PopupMenu.CL_PMenu_Edit:Enter", 1, 62, 0, "Enter"},
        {"%CL_FBits[3]", 12, 6, 3, std::nullopt},
        {"%CT_PopupMenu.", 1, CellModel::kNoLabel, 0, std::nullopt},
        {"%.CL_Null", 12, 0, 0, std::nullopt},
        {"%CL_Null[-5]", 12, 0, -5, std::nullopt},
        {"%CL_Null[abc]", 12, 0, 0, std::nullopt},
        {"%CL_Null[12", 12, 0, 12, std::nullopt},
        {"%CL_Null[99999999999]", 12, 0, 2147483647, std::nullopt},
        {"%CT_UserCh.CL_UCh_Mode[4]:a\\:b\\\\c", 2, 147, 4, "a:b\\c"},
        {"%CallSheet:GI_Sheet\\.Two", 12, 51, 0, "GI_Sheet.Two"},
        {"%CallSheet:", 12, 51, 0, ""},
        {"%", 12, CellModel::kNoLabel, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        const CellModel model = parse(std::string("{(") + c.group + ")}");
        EXPECT_EQ(model.category, c.category) << c.group;
        EXPECT_EQ(model.label, c.label) << c.group;
        EXPECT_EQ(model.index, c.index) << c.group;
        EXPECT_EQ(model.parameter, c.parameter) << c.group;
    }
}

TEST(CellAttributes, ReferenceKeepsTheInheritedCategoryAndParameter) {
    CellModel parent;
    parent.category = 6;
    parent.parameter = "p";
    const CellModel model = parse("{(%CL_SelCall_ID[3])}", &parent);
    EXPECT_EQ(model.category, 6);
    EXPECT_EQ(model.parameter, "p");
}

TEST(CellAttributes, ImageIndexPopupMenuAndUserFlags) {
    EXPECT_EQ(parse("{(ImageIndex=7)}").imageIndex, 7);
    EXPECT_EQ(parse("{(ImageIndex)}").imageIndex, -1);
    EXPECT_EQ(parse("{(PopupMenu= GI_PMenu_X )}").popupMenu, " GI_PMenu_X ");
    EXPECT_FALSE(parse("{(PopupMenu)}").popupMenu.has_value());

    EXPECT_EQ(parse("{(Flag0=1)(Flag3=1)}").behaviour,
              CellBehaviour::Flag0 | (CellBehaviour::Flag0 << 3));
    for (const char* ignored : {"(Flag4=1)", "(Flag1=2)", "(Flag1:1)", "(Flag1)", "(Flag)"})
        EXPECT_EQ(parse(std::string("{") + ignored + "}").behaviour, 0) << ignored;
    CellModel parent;
    parent.behaviour = CellBehaviour::FlagMask;
    EXPECT_EQ(parse("{(Flag2=0)}", &parent).behaviour,
              CellBehaviour::FlagMask & ~(CellBehaviour::Flag0 << 2));
}

TEST(CellAttributes, UnknownAndMalformedGroupsAreIgnored) {
    const CellModel model = parse("{(Nonsense=1)()(Colour=clRed)((S)W}x");
    EXPECT_EQ(model.colour, kClWindow);
    EXPECT_EQ(model.layout, CellLayout::FitWidth);
    EXPECT_FALSE(model.IsSelectable()) << "the S sits inside a group";
    EXPECT_EQ(parse("{(Color=clRed").colour, 0x000000FFu) << "an open group runs to the end";
    EXPECT_EQ(parse("{(PopupMenu=a\\)b)}").popupMenu, "a\\)b") << "an escaped ')' stays inside";
}

TEST(CellCounters, GroupsChangeCountersSeenByTheSameCellsText) {
    ChannelCounters counters{};
    EXPECT_EQ(parse("{(@ch1=5)}\\(@ch1+2)", nullptr, &counters).Text(), "7");
    EXPECT_EQ(counters[1], 5);
    EXPECT_EQ(parse("{(@ch1++)}\\(@ch1+2)", nullptr, &counters).Text(), "8");
    EXPECT_EQ(parse("{(@ch1 ++)(@ch2 = -3)}\\(@ch2)", nullptr, &counters).Text(), "-3");
    EXPECT_EQ(counters[1], 7);
    EXPECT_EQ(parse("Ch \\(@ch1 )-\\(@ch1 + 1 tail)!", nullptr, &counters).Text(), "Ch 7-8!");
    EXPECT_EQ(parse("{(@ch1)}", nullptr, &counters).Text(), "") << "no command: nothing";
    EXPECT_EQ(counters[1], 7);
}

TEST(CellCounters, IndexFromACounterAndCountersInNamedModels) {
    ChannelCounters counters{};
    counters[0] = 41;
    const CellModel model = parse("{($Count)(%CL_UCh_CH[@ch0])}", nullptr, &counters);
    EXPECT_EQ(model.index, 42);
    EXPECT_EQ(model.counters, nullptr) << "the counters are borrowed only while parsing";
}

TEST(CellCounters, ValuesAreShownWithAtMostSixCharacters) {
    ChannelCounters counters{};
    counters[9] = 1234567;
    EXPECT_EQ(parse("\\(@ch9)", nullptr, &counters).Text(), "123456");
    counters[9] = -99999;
    EXPECT_EQ(parse("\\(@ch9+-1)", nullptr, &counters).Text(), "-10000");
    counters[9] = 2147483647;
    EXPECT_EQ(parse("{(@ch9++)}\\(@ch9)", nullptr, &counters).Text(), "-21474");
}

TEST(CellParser, LongLinesAreReadWhole) {
    const std::string bars(8000, '|');
    EXPECT_EQ(CellParser::CountCells(bars), 8000u);
    const std::string letters(8000, 'x');
    EXPECT_EQ(parse(letters).Text(), letters);
    const std::string opens = "{" + std::string(8000, '(');
    EXPECT_EQ(parse(opens).layout, 0);
    const std::string escapes(8000, '\\');
    EXPECT_EQ(parse(escapes).Text(), std::string(4000, '\\'));
}

// Lines made of random syntax pieces (none of them fatal: a lone backslash could
// meet a parenthesis and make a counter expression) parse without harm,
// and what they leave in the model stays within its ranges.
TEST(CellParser, RandomPiecesOfSyntaxParseSafely) {
    const char* const pieces[] = {"{",
                                  "}",
                                  "(",
                                  ")",
                                  "|",
                                  "\\|",
                                  "!",
                                  "W",
                                  "S",
                                  "<",
                                  ">",
                                  "_",
                                  "\\n",
                                  "\\_",
                                  "\xc3\xa9",
                                  " ",
                                  "\t",
                                  "(Color=clRed",
                                  "(Font=,,,%50,,fsBold",
                                  "(ImageIndex=",
                                  "(PopupMenu=",
                                  "(Flag1=1",
                                  "(Font=",
                                  "x"};
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 60);
    const CellParser parser(models().Store());
    CellModel model;
    for (int n = 0; n < 2000; ++n) {
        std::string line;
        for (int k = length(random); k > 0; --k)
            line += pieces[piece(random)];
        std::string_view rest = line;
        std::size_t cells = 0;
        do {
            rest = parser.SplitCell(rest, model, nullptr, nullptr);
            ++cells;
            EXPECT_EQ(model.Text().find('{'), std::string::npos) << line;
            EXPECT_LE(model.HAlign(), 2) << line;
            EXPECT_LE(model.VAlign(), 2) << line;
        } while (!rest.empty());
        EXPECT_EQ(cells, std::max<std::size_t>(1, CellParser::CountCells(line))) << line;
    }
}

using CellSyntaxDeathTest = ::testing::Test;

TEST_F(CellSyntaxDeathTest, MalformedChannelCountersEndTheProgram) {
    ChannelCounters counters{};
    for (const char* cell : {"{(@ch)}", "{(@ch12=1)}", "{(@chx=1)}", "{(@x)}", "{(%CL_Null[@ch])}",
                             "\\(@ch)", "\\(1+2)", "\\(@ch10)"}) {
        EXPECT_EXIT(parse(cell, nullptr, &counters), ::testing::ExitedWithCode(3), "Ch No\\. Error")
            << cell;
    }
    EXPECT_EXIT(parse("{(@ch1=1)}"), ::testing::ExitedWithCode(3), "Ch No\\. Error")
        << "no counters to change";
}

TEST_F(CellSyntaxDeathTest, UnknownNamesEndTheProgram) {
    EXPECT_EXIT(parse("{(%CT_Nowhere.CL_Null)}"), ::testing::ExitedWithCode(3),
                "Cannot use the specified category\\.\n'CT_Nowhere'");
    EXPECT_EXIT(parse("{(%CL_Nothing[2])}"), ::testing::ExitedWithCode(3),
                "Cannot use the specified cell\\.\n'CL_Nothing'");
    EXPECT_EXIT(parse("{($Missing)}"), ::testing::ExitedWithCode(3),
                "GTEX Error !\nThe index 'CellModel_Missing' was not found\\.");
}

TEST_F(CellSyntaxDeathTest, AModelThatRefersToItselfEndsTheProgram) {
    EXPECT_EXIT(parse("{($Self)}"), ::testing::ExitedWithCode(3),
                "Cell model refers to itself\\.\n'CellModel_Self'");
    EXPECT_EXIT(parse("{($PingA)}"), ::testing::ExitedWithCode(3),
                "Cell model refers to itself\\.\n'CellModel_PingA'");
}

// Model i takes model i + 1 (twice with `twice`); the last one sets W.
std::vector<std::string> modelChain(int count, bool twice) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        const std::string next = "($M" + std::to_string(i + 1) + ")";
        lines.push_back("#CellModel_M" + std::to_string(i));
        lines.push_back(i + 1 < count ? (twice ? next + next : next) : "W");
    }
    return lines;
}

CellModel parseWith(OverlayLineStore& store, std::string_view cell) {
    CellModel model;
    CellParser(store.Store()).SplitCell(cell, model, nullptr, nullptr);
    return model;
}

TEST_F(CellSyntaxDeathTest, ModelChainsEndWithAMessageNamingTheModel) {
    OverlayLineStore deepest(modelChain(64, false));
    EXPECT_TRUE(parseWith(deepest, "{($M0)}").layout & CellLayout::FitWidth)
        << "64 deep is allowed";

    OverlayLineStore deeper(modelChain(65, false));
    EXPECT_EXIT(parseWith(deeper, "{($M0)}"), ::testing::ExitedWithCode(3),
                "Cell models nest more than 64 deep\\.\n'CellModel_M64'");
    OverlayLineStore longChain(modelChain(50000, false)); // a stack overflow before
    EXPECT_EXIT(parseWith(longChain, "{($M0)}"), ::testing::ExitedWithCode(3),
                "Cell models nest more than 64 deep\\.\n'CellModel_M64'");
    OverlayLineStore doubling(modelChain(31, true)); // 2^31 uses before
    EXPECT_EXIT(parseWith(doubling, "{($M0)}"), ::testing::ExitedWithCode(3),
                "Cell models are taken more than 4096 times in one cell\\.\n'CellModel_M");
}

TEST(CellParser, AModelUsedTwiceInOneCellIsNoCycle) {
    ChannelCounters counters{};
    parse("{($Count)($Count)($Head)($Head)}", nullptr, &counters);
    EXPECT_EQ(counters[0], 2);
}

} // namespace
