#include "sheets/cellNames.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace marlo;

namespace {

struct NamedNumber {
    const char* name;
    int number;
};

TEST(CellNames, CategoriesHaveTheirNumbers) {
    const NamedNumber cases[] = {
        {"", kNoCategory},    {"CT_Null", 0},      {"CT_PopupMenu", 1}, {"CT_UserCh", 2},
        {"CT_Edge_Rx", 3},    {"CT_Edge_Tx", 4},   {"CT_ModeReg", 5},   {"CT_SelCallID", 6},
        {"CT_AleID", 7},      {"CT_TelNumber", 8}, {"CT_Deb_Tx", 9},    {"CT_Deb_DistressRx", 10},
        {"CT_Deb_DscRx", 11},
    };
    for (const auto& c : cases)
        EXPECT_EQ(categoryNumber(c.name), c.number) << c.name;
}

TEST(CellNames, LabelsHaveTheirNumbers) {
    // Spot checks at the boundaries of every described range of the list.
    const NamedNumber cases[] = {
        {"", kNoLabel},
        {"CL_Null", 0},
        {"Flex0", 1},
        {"CL_FBits", 6},
        {"CL_EeDebugWin_Adr", 7},
        {"CL_EeDebugWin_0", 8},
        {"CL_EeDebugWin_A", 18},
        {"CL_EeDebugWin_F", 23},
        {"CL_Free_DscId", 26},
        {"CL_Menu_Edit_Top", 35},
        {"CallSheet", 51},
        {"CL_PMenu_NoItem", 61},
        {"CL_PMenu_Sort", 70},
        {"CL_Misc_QuarterPillar", 83},
        {"CL_Comm_CloneComm", 86},
        {"CL_Comm_NonVexaTuner", 116},
        {"CL_Comm_CallTime", 143},
        {"CL_UCh_CH", 144},
        {"CL_SelCall_ID", 155},
        {"CL_Ale_ID", 157},
        {"CL_TelNumber_Number", 163},
        {"CL_EdgeFreq_High", 170},
        {"CL_ModeReg_Use", 173},
        {"CL_Deb_Mess0", 182},
        {"CL_Deb_Mess5", 187},
        {"CL_Deb_FreqT2", 192},
        {"CL_Deb_FreqR0", 193},
        {"CL_Deb_Pos4", 201},
        {"CL_Deb_RxFrqNo", 203},
    };
    for (const auto& c : cases)
        EXPECT_EQ(labelNumber(c.name), c.number) << c.name;
}

TEST(CellNames, EveryNameOfBothListsIsDistinctAndFindsItsOwnNumber) {
    std::set<std::string> seen;
    for (std::size_t i = 0; i < categoryNames().size(); ++i) {
        EXPECT_TRUE(seen.insert(categoryNames()[i]).second);
        EXPECT_EQ(categoryNumber(categoryNames()[i]), static_cast<int>(i));
    }
    for (std::size_t i = 0; i < labelNames().size(); ++i) {
        EXPECT_TRUE(seen.insert(labelNames()[i]).second) << labelNames()[i];
        EXPECT_EQ(labelNumber(labelNames()[i]), static_cast<int>(i));
    }
    EXPECT_EQ(categoryNames().size(), 12u);
    EXPECT_EQ(labelNames().size(), 205u);
}

TEST(CellNames, ListTypesFollowTheCategories) {
    const int expected[] = {0, 0, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0};
    for (int category = 0; category <= kNoCategory; ++category)
        EXPECT_EQ(listTypeOf(category), expected[category]) << category;
}

using CellNamesDeathTest = ::testing::Test;

TEST_F(CellNamesDeathTest, UnknownCategoryNameEndsTheProgram) {
    EXPECT_EXIT(categoryNumber("CT_Nowhere"), ::testing::ExitedWithCode(3),
                "Cannot use the specified category\\.\n'CT_Nowhere'");
}

TEST_F(CellNamesDeathTest, NamesAreCaseSensitive) {
    EXPECT_EXIT(labelNumber("cl_null"), ::testing::ExitedWithCode(3),
                "Cannot use the specified cell\\.\n'cl_null'");
}

TEST_F(CellNamesDeathTest, ALabelNameIsNoCategoryAndACategoryNameNoLabel) {
    EXPECT_EXIT(categoryNumber("CL_UCh_CH"), ::testing::ExitedWithCode(3),
                "Cannot use the specified category");
    EXPECT_EXIT(labelNumber("CT_UserCh"), ::testing::ExitedWithCode(3),
                "Cannot use the specified cell");
}

TEST_F(CellNamesDeathTest, ListTypeOfACategoryOutOfRangeEndsTheProgram) {
    EXPECT_EXIT(listTypeOf(13), ::testing::ExitedWithCode(3), "Unknown Cell Category\\. \\(13\\)");
    EXPECT_EXIT(listTypeOf(-1), ::testing::ExitedWithCode(3), "Unknown Cell Category\\. \\(-1\\)");
}

} // namespace
