#include "cellEngineFixture.h"

#include "radio/cellLabels.h"
#include "radio/codecSteps.h"

#include <set>

using namespace marlo;

using namespace CellLabel;
using ::testing::_;
using ::testing::Field;

namespace {

TEST_F(CellEngineTest, LabelsNotHandledShowTheirNumberAndYet) {
    std::set<std::int32_t> notYet = {6, 40, 47, 48, 49, 50, 161};
    for (std::int32_t l = 71; l <= 78; ++l)
        notYet.insert(l);
    for (std::int32_t l = 174; l <= 203; ++l)
        notYet.insert(l);
    for (std::int32_t label = 0; label < kLabelCount; ++label) {
        const std::string text = shown(CT_Null, label, 0).text;
        if (notYet.count(label) != 0)
            EXPECT_EQ(text, std::to_string(label) + " *Yet*");
        else
            EXPECT_EQ(text.find("*Yet*"), std::string::npos) << label;
    }
    EXPECT_EQ(shown(CT_Null, 200, 0).text, "200 *Yet*");
    EXPECT_EQ(shown(CT_Null, CL_Null, 0).text, "");
    EXPECT_EQ(shown(CT_Null, CL_Free_Byte_Hex, 0).text, "");
}

TEST_F(CellEngineTest, RequestWithoutCellDoesNothing) {
    CellRequest request;
    request.action = '5';
    EXPECT_EQ(evaluateCell(engine_, request, true), CellResult::None);
    EXPECT_EQ(context_.warningsDelays, 0);
}

// Typing into any cell of an unused row edits its key cell instead.
struct RedirectRow {
    const char* name;
    std::int32_t category;
    std::int32_t label;
    std::int32_t keyLabel;
};

class RowRedirect : public CellEngineTest, public ::testing::WithParamInterface<RedirectRow> {};

TEST_P(RowRedirect, TypingIntoAnUnusedRowEditsItsKey) {
    const RedirectRow& row = GetParam();
    const CellOutcome out = key(row.category, row.label, 7, '5');
    EXPECT_EQ(out.redirected, 1);
    EXPECT_EQ(out.outLabel, row.keyLabel);
    EXPECT_EQ(out.outAction, '5');
    EXPECT_EQ(out.result, CellResult::None);
    EXPECT_EQ(out.text, "");
    EXPECT_EQ(key(row.category, row.label, 7, CellRequest::kF3).redirected, 0);

    // The sheet replays the key on the key cell, which opens its editor.
    const CellOutcome replay = key(row.category, row.keyLabel, 7, '5');
    EXPECT_EQ(replay.redirected, 0);
    EXPECT_EQ(replay.result, CellResult::OpenEditor);
    EXPECT_EQ(replay.text, "5");
}

INSTANTIATE_TEST_SUITE_P(
    , RowRedirect,
    ::testing::Values(RedirectRow{"ChannelFrequency", CT_UserCh, CL_UCh_FreqR, CL_UCh_CH},
                      RedirectRow{"ChannelTransmit", CT_UserCh, CL_UCh_FreqT, CL_UCh_CH},
                      RedirectRow{"ChannelMode", CT_UserCh, CL_UCh_Mode, CL_UCh_CH},
                      RedirectRow{"ChannelComment", CT_UserCh, CL_UCh_Comment, CL_UCh_CH},
                      RedirectRow{"ChannelEdit", CT_UserCh, CL_UCh_Edit, CL_UCh_CH},
                      RedirectRow{"SelCallName", CT_SelCallID, CL_SelCall_Name, CL_SelCall_ID},
                      RedirectRow{"SelCallRange", CT_SelCallID, CL_SelCall_CH, CL_SelCall_ID},
                      RedirectRow{"AleIdn", CT_AleID, CL_Ale_IDN, CL_Ale_ID},
                      RedirectRow{"AleSlotTime", CT_AleID, CL_Ale_SlotT, CL_Ale_ID},
                      RedirectRow{"TelName", CT_TelNumber, CL_TelNumber_Name, CL_TelNumber_Number}),
    rowName<RedirectRow>);

TEST_F(CellEngineTest, EmptySlotTakesItsNumberThenShowsItsValues) {
    EXPECT_EQ(shown(CT_UserCh, CL_UCh_CH, 7).text, " ");
    typed(CT_UserCh, CL_UCh_CH, 7, "12");
    EXPECT_EQ(entry(listUserChannel, 7).channelNumber, 12u);
    const CellOutcome frequency = typed(CT_UserCh, CL_UCh_FreqR, 7, "7053.45");
    EXPECT_EQ(frequency.redirected, 0);
    EXPECT_EQ(frequency.text, "7053.4");
    EXPECT_EQ(entry(listUserChannel, 7).rxFrequency, 7'053'400);
}

TEST_F(CellEngineTest, RowBeyondTheLastSlotSaysSoInSilver) {
    for (std::int32_t row : {500, 501, -1}) {
        const CellOutcome out = shown(CT_UserCh, CL_UCh_FreqR, row);
        EXPECT_EQ(out.text, "No use");
        EXPECT_EQ(out.fontColour, codec::kSilver);
        EXPECT_EQ(out.layout & CellLayout::HAlignMask, 1);
    }
}

TEST_F(CellEngineTest, TooLongAKeySaysWhyAndKeepsTheEntry) {
    putAleAddress(4, "SHIP1");
    const CellOutcome out = typed(CT_AleID, CL_Ale_ID, 4, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(out.text, "SHIP1");
    EXPECT_TRUE(entry(listAleId, 4).isUsed());
    flushHub();
    const auto status = delivered(evStatusText);
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status.back().Text(), "At most 15");
    EXPECT_EQ(hubObjectColour(status.back().object), 0x00FFFFu);
}

TEST_F(CellEngineTest, ExpertCellRefusesKeysOutsideExpertMode) {
    const std::int32_t before = entry(listRxEdge, 0).low;
    const CellOutcome out = key(CT_Edge_Rx, CL_EdgeFreq_Low, 0, '5');
    EXPECT_EQ(out.fontColour, codec::kOlive);
    EXPECT_EQ(out.action, CellRequest::kNoAction);
    EXPECT_EQ(out.result, CellResult::None);
    typed(CT_Edge_Rx, CL_EdgeFreq_Low, 0, "5000");
    EXPECT_EQ(entry(listRxEdge, 0).low, before);

    flushHub();
    const auto status = delivered(evStatusText);
    ASSERT_EQ(status.size(), 2u);
    EXPECT_EQ(status[0].Text(), ""); // any key first clears the status line
    EXPECT_EQ(status[1].Text(), "Restricted");
    EXPECT_EQ(hubObjectColour(status[1].object), 0x00FFFFu);
    EXPECT_EQ(static_cast<Colour>(status[1].value), 0x000080u);

    context_.expert = true;
    const CellOutcome expert = key(CT_Edge_Rx, CL_EdgeFreq_Low, 0, '5');
    EXPECT_EQ(expert.fontColour, std::nullopt);
    EXPECT_EQ(expert.result, CellResult::OpenEditor);
}

struct RestrictedRow {
    const char* name;
    std::int32_t category;
    std::int32_t label;
    std::int32_t index;
    bool expertMayEdit;
};

class EditRestriction : public CellEngineTest,
                        public ::testing::WithParamInterface<RestrictedRow> {};

TEST_P(EditRestriction, OliveUnlessTheModeAllowsIt) {
    const RestrictedRow& row = GetParam();
    EXPECT_EQ(key(row.category, row.label, row.index, '1').fontColour, codec::kOlive);
    for (bool factory : {false, true}) {
        context_.expert = !factory;
        context_.factory = factory;
        const CellOutcome out = key(row.category, row.label, row.index, '1');
        EXPECT_EQ(out.fontColour == codec::kOlive, !row.expertMayEdit) << factory;
    }
}

INSTANTIATE_TEST_SUITE_P(
    , EditRestriction,
    ::testing::Values(
        RestrictedRow{"RxEdgeHigh", CT_Edge_Rx, CL_EdgeFreq_High, 0, true},
        RestrictedRow{"TxEdgeLow", CT_Edge_Tx, CL_EdgeFreq_Low, 3, true},
        RestrictedRow{"ExpertBit", CT_Null, CL_Exp_Protect, 0, true},
        RestrictedRow{"ModeIndicationRow2", CT_ModeReg, CL_ModeReg_Indication, 2, true},
        RestrictedRow{"ModeIndicationRow0", CT_ModeReg, CL_ModeReg_Indication, 0, false},
        RestrictedRow{"ModeIndicationRow8", CT_ModeReg, CL_ModeReg_Indication, 8, false},
        RestrictedRow{"ModeUseRow1", CT_ModeReg, CL_ModeReg_Use, 1, false},
        RestrictedRow{"Password", CT_Null, CL_Comm_Password, 0, false},
        RestrictedRow{"CannotEdit", CT_Null, CL_CannotEdit, 0, false},
        RestrictedRow{"Dummy", CT_Null, CL_Dummy, 0, false}),
    rowName<RestrictedRow>);

TEST_F(CellEngineTest, UserActionsArmTheWarningsDelayAndMarkChanges) {
    putChannel(4, 10, 7'100'000, 7'100'000);
    context_.saved.Assign(context_.current);

    shown(CT_UserCh, CL_UCh_CH, 4);
    EXPECT_EQ(context_.warningsDelays, 0);
    key(CT_UserCh, CL_UCh_CH, 4, CellRequest::kEnter); // opens the editor, changes nothing
    EXPECT_EQ(context_.warningsDelays, 1);
    EXPECT_FALSE(context_.modified);
    typed(CT_UserCh, CL_UCh_CH, 4, "11");
    EXPECT_EQ(context_.warningsDelays, 2);
    EXPECT_TRUE(context_.modified);
}

TEST_F(CellEngineTest, ChangeBitsTellTheSheetWhatToRepaint) {
    putChannel(4, 10, 7'100'000, 7'100'000);
    EXPECT_EQ(typed(CT_UserCh, CL_UCh_CH, 4, "11").changeBits, std::uint8_t{0x09});
    EXPECT_EQ(typed(CT_Null, CL_Comm_ScanSpeed, 0, "3").changeBits, std::uint8_t{0x01});
    context_.expert = true;
    EXPECT_EQ(typed(CT_Edge_Tx, CL_EdgeFreq_High, 0, "7200").changeBits, std::uint8_t{0x29});

    // Without notify, onChange is not called.
    CellModel& cell = newCell(CT_UserCh, CL_UCh_CH, 4);
    CellRequest request;
    request.cell = &cell;
    bool called = false;
    request.onChange = {
        [](void* user, CellRequest&, std::uint8_t) { *static_cast<bool*>(user) = true; }, &called};
    evaluateCell(engine_, request, false);
    EXPECT_FALSE(called);
}

TEST_F(CellEngineTest, ChangedKeysAskForTheirColumnToBeRepainted) {
    putChannel(1, 10, 7'100'000, 7'100'000);
    typed(CT_UserCh, CL_UCh_CH, 1, "20");
    typed(CT_SelCallID, CL_SelCall_ID, 2, "1234");
    typed(CT_AleID, CL_Ale_ID, 3, "ABC");
    typed(CT_TelNumber, CL_TelNumber_Number, 4, "0123");
    flushHub();
    std::vector<std::int32_t> labels;
    for (const HubMessage& m : delivered(evRepaintLabel))
        labels.push_back(m.value);
    EXPECT_EQ(labels, (std::vector<std::int32_t>{CL_UCh_CH, CL_SelCall_ID, CL_Ale_ID,
                                                 CL_TelNumber_Number}));
}

// Context-menu commands on a sheet row.

TEST_F(CellEngineTest, EditCommandActsAsEnter) {
    putChannel(2, 10, 7'100'000, 7'100'000);
    const CellOutcome out = command(CT_UserCh, CL_UCh_CH, 2, CL_PMenu_Edit);
    EXPECT_EQ(out.result, CellResult::OpenEditor);
    EXPECT_EQ(out.text, "10");
}

TEST_F(CellEngineTest, RowCommandsWorkOnTheClickedRowsList) {
    putChannel(5, 10, 7'100'000, 7'100'000);
    const CellOutcome out = command(CT_UserCh, CL_UCh_FreqR, 5, CL_PMenu_Copy);
    EXPECT_EQ(out.action, CellRequest::kNoAction);
    EXPECT_EQ(out.text, "");
    EXPECT_EQ(context_.clipboard.heldType(), listUserChannel);
    EXPECT_EQ(context_.clipboard.heldFirst(), 5);
    command(CT_TelNumber, CL_TelNumber_Name, 99, CL_PMenu_Copy);
    EXPECT_EQ(context_.clipboard.heldType(), listTelNumber);
    EXPECT_EQ(context_.clipboard.heldFirst(), 99);
    // The transmit edges are not a list that row operations work on.
    command(CT_Edge_Tx, CL_EdgeFreq_Low, 3, CL_PMenu_Copy);
    EXPECT_EQ(context_.clipboard.heldType(), listTelNumber);

    flushHub();
    const auto repaints = delivered(evRepaintLabel);
    ASSERT_FALSE(repaints.empty());
    EXPECT_EQ(repaints.front().value, CL_UCh_CH);
    EXPECT_EQ(repaints.back().value, CL_TelNumber_Number);
}

TEST_F(CellEngineTest, SortOrdersTheChannelsFromAnySheet) {
    putChannel(2, 10, 7'100'000, 7'100'000);
    putChannel(0, 20, 7'100'000, 7'100'000);
    command(CT_TelNumber, CL_TelNumber_Name, 4, CL_PMenu_Sort);
    EXPECT_EQ(entry(listUserChannel, 0).channelNumber, 10u);
    EXPECT_EQ(entry(listUserChannel, 1).channelNumber, 20u);
    EXPECT_FALSE(entry(listUserChannel, 2).isUsed());
    flushHub();
    EXPECT_EQ(delivered(evRepaintAll).size(), 1u);
}

TEST_F(CellEngineTest, RunCellEvaluatesAFreshRequest) {
    CellModel model = newCell(CT_Null, CL_Model, 1);
    EXPECT_EQ(runCell(engine_, model, CellRequest::kEnter), CellResult::None);
    EXPECT_EQ(context_.changedModelTo, std::vector<int>{1});
}

} // namespace
