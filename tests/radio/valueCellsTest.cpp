#include "cellEngineFixture.h"

#include "radio/cellLabels.h"
#include "radio/codecSteps.h"

#include <string_view>

using namespace marlo;

using namespace CellLabel;
using ::testing::_;
using ::testing::Eq;

namespace {

constexpr std::int32_t kIdLengthByte = 15249; // nonzero: 6-digit selective-call IDs

// Common settings: a stored byte and what its cell shows.
struct ShownRow {
    const char* name;
    std::int32_t label;
    std::int32_t offset;
    std::uint8_t stored;
    const char* text;
};

class CommonShown : public CellEngineTest, public ::testing::WithParamInterface<ShownRow> {};

TEST_P(CommonShown, ShowsTheStoredByte) {
    const ShownRow& row = GetParam();
    setByte(row.offset, row.stored);
    EXPECT_EQ(shown(CT_Null, row.label, 0).text, row.text);
    EXPECT_EQ(byteAt(row.offset), row.stored); // showing never writes
}

INSTANTIATE_TEST_SUITE_P(
    , CommonShown,
    ::testing::Values(ShownRow{"PowerList", CL_Comm_TxPwrSel, 15285, 2, "v2"},
                      ShownRow{"NmeaIdTwoDigits", CL_Comm_NmeaId, 15234, 5, "05"},
                      ShownRow{"LQAvaregeZeroShowsOne", CL_Comm_LQAvarege, 15270, 0, "1"},
                      ShownRow{"AutoMuteAboveOneShowsFirstItem", CL_Comm_AutoMute, 15280, 5, "Off"},
                      ShownRow{"CallTimeZeroIsAuto", CL_Comm_CallTime, 15273, 0, "Auto"},
                      ShownRow{"FirstRxTxByte", CL_Comm_SelcallE, 15253, 1, "v1"},
                      ShownRow{"LastRxTxByte", CL_Comm_AleE, 15261, 3, "v3"},
                      ShownRow{"ListValueMissing", CL_Comm_DispType, 15277, 9, "error"}),
    rowName<ShownRow>);

struct TypedRow {
    const char* name;
    std::int32_t label;
    std::int32_t offset;
    std::uint8_t before;
    const char* typed;
    std::uint8_t after;
};

class CommonTyped : public CellEngineTest, public ::testing::WithParamInterface<TypedRow> {};

TEST_P(CommonTyped, StoresTheTypedValue) {
    const TypedRow& row = GetParam();
    setByte(row.offset, row.before);
    typed(CT_Null, row.label, 0, row.typed);
    EXPECT_EQ(byteAt(row.offset), row.after);
}

INSTANTIATE_TEST_SUITE_P(
    , CommonTyped,
    ::testing::Values(TypedRow{"LQAvaregeEightStoresSeven", CL_Comm_LQAvarege, 15270, 0, "8", 7},
                      TypedRow{"LQAvaregeOneStoresZero", CL_Comm_LQAvarege, 15270, 5, "1", 0},
                      TypedRow{"NmeaIdLimited", CL_Comm_NmeaId, 15234, 5, "150", 99},
                      TypedRow{"RfdsRaisedToItsLow", CL_Comm_RfdsT, 15286, 40, "10", 30},
                      TypedRow{"CallTimeAuto", CL_Comm_CallTime, 15273, 42, "AUTO", 0},
                      TypedRow{"NoDigitsNoChange", CL_Comm_ScanSpeed, 15245, 4, "fast", 4}),
    rowName<TypedRow>);

TEST_F(CellEngineTest, CommonKeysStepAndWrap) {
    setByte(15245, 10);
    key(CT_Null, CL_Comm_ScanSpeed, 0, CellRequest::kSpace);
    EXPECT_EQ(byteAt(15245), 1);
    setByte(15285, 3);
    key(CT_Null, CL_Comm_TxPwrSel, 0, CellRequest::kSpace);
    EXPECT_EQ(byteAt(15285), 0);
    setByte(15280, 5); // steps from the item it shows
    key(CT_Null, CL_Comm_AutoMute, 0, CellRequest::kSpace);
    EXPECT_EQ(byteAt(15280), 1);
}

TEST_F(CellEngineTest, ListCellTakesOnlyPicksOfItsOwnKind) {
    setByte(15285, 1);
    picked(CT_Null, CL_Comm_TxPwrSel, 0, CL_Sel_Call_U, 3);
    EXPECT_EQ(byteAt(15285), 1);
    picked(CT_Null, CL_Comm_TxPwrSel, 0, Flex0, 3);
    EXPECT_EQ(byteAt(15285), 3);
    // A cell without a list ignores picks altogether: a text cell would otherwise
    // take the pick's empty text.
    putChannel(0, 1, 7'100'000, 7'100'000);
    typed(CT_UserCh, CL_UCh_Comment, 0, "KEEP");
    picked(CT_UserCh, CL_UCh_Comment, 0, Flex0, 1);
    EXPECT_EQ(shown(CT_UserCh, CL_UCh_Comment, 0).text, "KEEP");
    typed(CT_Null, CL_Comm_CloneComm, 0, "KEEP TOO");
    picked(CT_Null, CL_Comm_CloneComm, 0, Flex0, 1);
    EXPECT_EQ(shown(CT_Null, CL_Comm_CloneComm, 0).text, "KEEP TOO");
}

TEST_F(CellEngineTest, CloneCommentKeepsPrintableCharactersOnly) {
    const std::uint8_t after = byteAt(699 + 16);
    typed(CT_Null, CL_Comm_CloneComm, 0, std::string("My\x01radio #1") + std::string(40, 'x'));
    const std::string stored(reinterpret_cast<const char*>(context_.current.Data() + 699), 16);
    EXPECT_EQ(stored, "My radio #1xxxxx");
    EXPECT_EQ(byteAt(699 + 16), after);
    EXPECT_EQ(shown(CT_Null, CL_Comm_CloneComm, 0).text, "My radio #1xxxxx");
}

TEST_F(CellEngineTest, PasswordShowsTheIdentityDigits) {
    const CellOutcome out = key(CT_Null, CL_Comm_Password, 0, '1');
    EXPECT_EQ(out.text, "123-456-7890");
    EXPECT_EQ(out.fontColour, codec::kOlive);
}

// Expert bits share one byte; each changes only its own bit.
struct ExpertRow {
    const char* name;
    std::int32_t label;
    int bit;
    const char* setText; // the list item of a set bit
};

class ExpertBits : public CellEngineTest, public ::testing::WithParamInterface<ExpertRow> {};

TEST_P(ExpertBits, ChangeOnlyTheirBit) {
    const ExpertRow& row = GetParam();
    context_.expert = true;
    for (std::uint8_t start : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        setByte(690, start);
        const int value = start == 0 ? 1 : 0;
        EXPECT_EQ(shown(CT_Null, row.label, 0).text == row.setText, start != 0);
        picked(CT_Null, row.label, 0, Flex0, value);
        EXPECT_EQ(byteAt(690), start ^ (1 << row.bit));
    }
}

INSTANTIATE_TEST_SUITE_P(, ExpertBits,
                         ::testing::Values(ExpertRow{"FreqProgR", CL_Exp_FreqProgR, 2, "Enable"},
                                           ExpertRow{"FreqProgT", CL_Exp_FreqProgT, 3, "Enable"},
                                           ExpertRow{"Protect", CL_Exp_Protect, 5, "On"},
                                           ExpertRow{"PowLimit", CL_Exp_PowLimit, 0, "On"},
                                           ExpertRow{"CbBand", CL_Exp_CbBand, 1, "Enable"}),
                         rowName<ExpertRow>);

// User channels.

TEST_F(CellEngineTest, LaterOfTwoChannelsNumbered12IsInvalid) {
    putChannel(3, 12, 7'100'000, 7'100'000);
    putChannel(5, 40, 7'100'000, 7'100'000);
    putChannel(8, 12, 7'100'000, 7'100'000);
    EXPECT_FALSE(shown(CT_UserCh, CL_UCh_CH, 3).invalid());
    EXPECT_FALSE(shown(CT_UserCh, CL_UCh_CH, 5).invalid());
    EXPECT_TRUE(shown(CT_UserCh, CL_UCh_CH, 8).invalid());
}

struct FrequencyRow {
    const char* name;
    std::int32_t rx;
    std::int32_t tx;
    bool gene;
    bool rxInvalid;
    bool txInvalid;
};

class ChannelFrequencies : public CellEngineTest,
                           public ::testing::WithParamInterface<FrequencyRow> {};

TEST_P(ChannelFrequencies, AreCheckedAgainstTheBandEdges) {
    const FrequencyRow& row = GetParam();
    context_.gene = row.gene;
    putChannel(0, 1, row.rx, row.tx);
    EXPECT_EQ(shown(CT_UserCh, CL_UCh_FreqR, 0).invalid(), row.rxInvalid);
    EXPECT_EQ(shown(CT_UserCh, CL_UCh_FreqT, 0).invalid(), row.txInvalid);
}

INSTANTIATE_TEST_SUITE_P(
    , ChannelFrequencies,
    ::testing::Values(
        FrequencyRow{"InsideBoth", 7'050'000, 7'100'000, false, false, false},
        FrequencyRow{"TransmitOutsideRanges", 7'050'000, 10'000'000, false, false, true},
        FrequencyRow{"TransmitInSecondRange", 9'000'000, 14'100'000, false, false, false},
        FrequencyRow{"TransmitEmpty", 7'050'000, 0, false, false, false},
        FrequencyRow{"ReceiveEmpty", 0, 7'100'000, false, true, false},
        FrequencyRow{"ReceiveBelowEdge", 1'000'000, 7'100'000, false, true, false},
        FrequencyRow{"GeneAdmitsWholeBand", 7'050'000, 10'000'000, true, false, false},
        FrequencyRow{"GeneStillNeedsReceiveEdge", 7'050'000, 1'550'000, true, false, true}),
    rowName<FrequencyRow>);

TEST_F(CellEngineTest, ModeCellShowsTheRegisteredName) {
    putChannel(0, 1, 7'100'000, 7'100'000, 1);
    CellOutcome out = shown(CT_UserCh, CL_UCh_Mode, 0);
    EXPECT_EQ(out.text, "USB  ");
    EXPECT_FALSE(out.invalid());
    picked(CT_UserCh, CL_UCh_Mode, 0, Flex0, 4); // not the mode list's kind
    EXPECT_EQ(entry(listUserChannel, 0).mode, 1);
    picked(CT_UserCh, CL_UCh_Mode, 0, CL_Sel_Mode_U, 8);
    out = shown(CT_UserCh, CL_UCh_Mode, 0);
    EXPECT_EQ(out.text, "AME  ");
    EXPECT_TRUE(out.invalid()); // mode 8 may not be used
}

TEST_F(CellEngineTest, AleCellShowsTheAddressAndItsRepeat) {
    putAleAddress(0, "ALPHA");
    putAleAddress(1, "ALPHA");
    putChannel(0, 1, 7'100'000, 7'100'000, 6, 3, 1);
    putChannel(1, 2, 7'100'000, 7'100'000, 1, 0, 0);
    putChannel(2, 3, 7'100'000, 7'100'000);

    const CellOutcome repeated = shown(CT_UserCh, CL_UCh_Ale, 0);
    EXPECT_EQ(repeated.text, "ALPHA");
    EXPECT_TRUE(repeated.duplicate());
    EXPECT_EQ(repeated.fontColour, std::nullopt); // an ALE channel
    const CellOutcome first = shown(CT_UserCh, CL_UCh_Ale, 1);
    EXPECT_FALSE(first.duplicate());
    EXPECT_EQ(first.fontColour, codec::kSilver);
    EXPECT_EQ(shown(CT_UserCh, CL_UCh_Ale, 2).text, "-----");

    picked(CT_UserCh, CL_UCh_Ale, 2, Flex0, 200); // no such ALE entry
    EXPECT_EQ(entry(listUserChannel, 2).aleIndex, 255);
    picked(CT_UserCh, CL_UCh_Ale, 2, Flex0, 1);
    EXPECT_EQ(entry(listUserChannel, 2).aleIndex, 1);
}

struct AgreementRow {
    std::uint8_t mode;
    std::uint8_t callKind;
    bool invalid;
};

TEST_F(CellEngineTest, ModeAndCallKindMustAgree) {
    const AgreementRow rows[] = {{1, 0, false}, {1, 3, true}, {5, 2, false}, {6, 0, false},
                                 {6, 3, false}, {6, 1, true}, {7, 2, true},  {7, 3, false}};
    for (const AgreementRow& row : rows) {
        putChannel(0, 1, 7'100'000, 7'100'000, row.mode, row.callKind);
        EXPECT_EQ(shown(CT_UserCh, CL_UCh_Call, 0).invalid(), row.invalid)
            << int(row.mode) << "/" << int(row.callKind);
    }
}

TEST_F(CellEngineTest, HundredAleChannelsLeaveOthersTheFullList) {
    for (std::int32_t slot = 0; slot < 99; ++slot)
        putChannel(slot, slot + 1, 7'100'000, 7'100'000, 6, 3);
    putChannel(200, 300, 7'100'000, 7'100'000, 6, 0);
    putChannel(201, 301, 7'100'000, 7'100'000, 6, 0);

    EXPECT_CALL(commands_, OpenSelectionList(_, Eq("GI_Sheet_Sel_UchCallA"), CL_Sel_Call_U, 0));
    key(CT_UserCh, CL_UCh_Call, 200, CellRequest::kEnter);
    picked(CT_UserCh, CL_UCh_Call, 200, CL_Sel_Call_U, 3); // the 100th: allowed
    EXPECT_EQ(entry(listUserChannel, 200).callKind, 3);

    EXPECT_CALL(commands_, OpenSelectionList(_, Eq("GI_Sheet_Sel_UchCallA_full"), _, _));
    key(CT_UserCh, CL_UCh_Call, 201, CellRequest::kEnter);
    EXPECT_CALL(commands_, OpenSelectionList(_, Eq("GI_Sheet_Sel_UchCallA"), _, 3));
    key(CT_UserCh, CL_UCh_Call, 200, CellRequest::kEnter); // already ALE
    context_.variant = 1;
    EXPECT_CALL(commands_, OpenSelectionList(_, Eq("GI_Sheet_Sel_UchCallO_full"), _, _));
    key(CT_UserCh, CL_UCh_Call, 201, CellRequest::kEnter);

    // The 101st is refused, however the pick arrives.
    const CellOutcome refused = picked(CT_UserCh, CL_UCh_Call, 201, CL_Sel_Call_U, 3);
    EXPECT_EQ(entry(listUserChannel, 201).callKind, 0);
    EXPECT_EQ(refused.text, "Voice");
    EXPECT_EQ(entry(listUserChannel, 0).AleChannelCount(), 100);
}

TEST_F(CellEngineTest, CommentKeepsTheNameAlphabetWithinItsField) {
    putChannel(0, 1, 7'100'000, 7'100'000, 1, 0, 7);
    typed(CT_UserCh, CL_UCh_Comment, 0, "Hi, there!#" + std::string(100, 'Z'));
    const ListRecord e = entry(listUserChannel, 0);
    EXPECT_EQ(std::string(e.name.begin(), e.name.end()), "Hi  there  ZZZZ");
    EXPECT_EQ(e.aleIndex, 7); // the byte after the comment
    EXPECT_EQ(shown(CT_UserCh, CL_UCh_Comment, 0).text, "Hi  there  ZZZZ");
}

TEST_F(CellEngineTest, FilterDoesNotApplyToAleChannels) {
    putChannel(0, 1, 7'100'000, 7'100'000, 6, 3);
    putChannel(1, 2, 7'100'000, 7'100'000, 1, 0);
    EXPECT_EQ(shown(CT_UserCh, CL_UCh_Filter, 0).fontColour, codec::kSilver);
    EXPECT_EQ(shown(CT_UserCh, CL_UCh_Filter, 1).fontColour, std::nullopt);
    picked(CT_UserCh, CL_UCh_ScanGroup, 1, Flex0, 2);
    EXPECT_EQ(entry(listUserChannel, 1).scanGroup, 2);
}

// Selective-call, ALE and telephone lists.

TEST_F(CellEngineTest, SelectiveCallIdRepeatedIn3And9MarksOnly9) {
    setByte(kIdLengthByte, 1);
    putSelCallId(3, {12, 34, 56});
    putSelCallId(5, {99, 34, 56});
    putSelCallId(9, {12, 34, 56});
    EXPECT_FALSE(shown(CT_SelCallID, CL_SelCall_ID, 3).duplicate());
    EXPECT_FALSE(shown(CT_SelCallID, CL_SelCall_ID, 5).duplicate());
    EXPECT_TRUE(shown(CT_SelCallID, CL_SelCall_ID, 9).duplicate());
    // Short IDs compare their last four digits only.
    setByte(kIdLengthByte, 0);
    EXPECT_TRUE(shown(CT_SelCallID, CL_SelCall_ID, 5).duplicate());
    EXPECT_FALSE(shown(CT_SelCallID, CL_SelCall_ID, 3).duplicate());
}

TEST_F(CellEngineTest, RepeatedAleAddressAndTelephoneNumberAreDuplicates) {
    putAleAddress(1, "BRAVO");
    putAleAddress(6, "BRAVO");
    putAleAddress(7, "BRAVOX");
    EXPECT_FALSE(shown(CT_AleID, CL_Ale_ID, 1).duplicate());
    EXPECT_TRUE(shown(CT_AleID, CL_Ale_ID, 6).duplicate());
    EXPECT_FALSE(shown(CT_AleID, CL_Ale_ID, 7).duplicate());

    const std::array<std::uint8_t, 8> number{0x01, 0x23, 0x45, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    putTelNumber(2, number);
    putTelNumber(4, number);
    EXPECT_FALSE(shown(CT_TelNumber, CL_TelNumber_Number, 2).duplicate());
    EXPECT_TRUE(shown(CT_TelNumber, CL_TelNumber_Number, 4).duplicate());
    EXPECT_EQ(shown(CT_TelNumber, CL_TelNumber_Number, 4).text, "012345");
}

TEST_F(CellEngineTest, SlotTimeIsSilverWithoutIdn) {
    putAleAddress(0, "CHARLIE");
    putAleAddress(1, "DELTA", true);
    EXPECT_EQ(shown(CT_AleID, CL_Ale_SlotT, 0).fontColour, codec::kSilver);
    EXPECT_EQ(shown(CT_AleID, CL_Ale_SlotT, 1).fontColour, std::nullopt);
    typed(CT_AleID, CL_Ale_SlotT, 1, "250");
    EXPECT_EQ(entry(listAleId, 1).slotTime, 100);
}

// Band edges and mode registrations.

TEST_F(CellEngineTest, TransmitEdgeOfZeroIsEmpty) {
    context_.expert = true;
    putEdge(listTxEdge, 2, 21'000'000, 21'450'000);
    typed(CT_Edge_Tx, CL_EdgeFreq_Low, 2, "0");
    EXPECT_EQ(entry(listTxEdge, 2).low, -1);
    const CellOutcome out = shown(CT_Edge_Tx, CL_EdgeFreq_Low, 2);
    EXPECT_EQ(out.text, "");
    EXPECT_TRUE(out.invalid());                                    // one limit of a range alone
    EXPECT_FALSE(shown(CT_Edge_Tx, CL_EdgeFreq_Low, 3).invalid()); // an empty range
    putEdge(listTxEdge, 0, -1, -1);
    EXPECT_TRUE(shown(CT_Edge_Tx, CL_EdgeFreq_High, 0).invalid()); // range 0 may not be empty
}

TEST_F(CellEngineTest, ModeIndicationOnRow2ChoosesBetweenSpellings) {
    const CellOutcome out = shown(CT_ModeReg, CL_ModeReg_Indication, 2);
    EXPECT_EQ(out.text, "first");
    context_.expert = true;
    picked(CT_ModeReg, CL_ModeReg_Indication, 2, Flex0, 1);
    const ListRecord e = entry(listModeReg, 2);
    EXPECT_EQ(std::string(e.modeName.begin(), e.modeName.end()), "A3E  ");
    EXPECT_EQ(shown(CT_ModeReg, CL_ModeReg_Indication, 2).text, "second");
    // A row outside 1..6 shows its stored name and never changes.
    picked(CT_ModeReg, CL_ModeReg_Indication, 7, Flex0, 1);
    EXPECT_EQ(shown(CT_ModeReg, CL_ModeReg_Indication, 7).text, "ALE-L");
}

TEST_F(CellEngineTest, ModeRegistrationNameAndUse) {
    EXPECT_EQ(shown(CT_ModeReg, CL_ModeReg_Name, 3).text, "AFSK");
    context_.expert = true;
    picked(CT_ModeReg, CL_ModeReg_Use, 2, Flex0, 0);
    EXPECT_EQ(entry(listModeReg, 2).modeUse, 0);
    picked(CT_ModeReg, CL_ModeReg_Use, 1, Flex0, 0);
    EXPECT_EQ(entry(listModeReg, 1).modeUse, 1);
}

TEST_F(CellEngineTest, CellOnARowOfAnotherListShowsNothing) {
    putChannel(0, 1, 7'100'000, 7'100'000);
    EXPECT_EQ(shown(CT_SelCallID, CL_UCh_FreqR, 0).text, "");
    typed(CT_Null, CL_UCh_CH, 0, "55");
    EXPECT_EQ(entry(listUserChannel, 0).channelNumber, 1u);
}

// The items of the selection lists.

TEST_F(CellEngineTest, CallKindItemsAreMarkedForTheOpeningChannel) {
    putChannel(4, 1, 7'100'000, 7'100'000, 6);
    putChannel(5, 2, 7'100'000, 7'100'000, 1);
    const auto itemInvalid = [&](std::int32_t slot, std::int32_t callKind) {
        CellModel& opener = newCell(CT_UserCh, CL_UCh_Call, slot);
        CellRequest openerRequest;
        openerRequest.cell = &opener;
        CellModel& item = newCell(CT_Null, CL_Sel_Call_U, callKind);
        item.SetText("kind");
        CellRequest request;
        request.partner = &openerRequest;
        const CellOutcome out = evaluate(item, request);
        EXPECT_EQ(out.text, "kind");
        return out.invalid();
    };
    EXPECT_FALSE(itemInvalid(4, 0));
    EXPECT_TRUE(itemInvalid(4, 1));
    EXPECT_FALSE(itemInvalid(4, 3));
    EXPECT_FALSE(itemInvalid(5, 1));
    EXPECT_TRUE(itemInvalid(5, 3));
}

TEST_F(CellEngineTest, ModeAndAleItemsShowWhatTheValueMeans) {
    CellOutcome out = shown(CT_Null, CL_Sel_Mode_U, 8);
    EXPECT_EQ(out.text, "AME  ");
    EXPECT_TRUE(out.invalid());
    EXPECT_FALSE(shown(CT_Null, CL_Sel_Mode_U, 1).invalid());
    EXPECT_EQ(shown(CT_Null, CL_Sel_Mode_F, 1).text, "(USB)");
    putAleAddress(0, "ECHO");
    putAleAddress(3, "ECHO");
    out = shown(CT_Null, CL_Sel_Ale_U, 3);
    EXPECT_EQ(out.text, "ECHO");
    EXPECT_TRUE(out.duplicate());
    CellModel& own = newCell(CT_Null, Flex0, 0);
    own.SetText("plain");
    CellRequest request;
    EXPECT_EQ(evaluate(own, request).text, "plain");
}

} // namespace
