#include "radio/codecFrequency.h"

#include "codecTestSupport.h"
#include "entryTestImage.h"
#include "radio/ListEntry.h"
#include "radio/codecSteps.h"
#include "sheets/cmcCellObj.h"

#include <gtest/gtest.h>

#include <limits>

using namespace cmcCodec;
using namespace codecTest;

namespace {

constexpr std::uint8_t kLeft = 0, kCentre = 1, kRight = 2;

class ChannelFrequencyTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeImage(image);
        channel.load(listUserChannel, 3);
        channel.channelNumber = 12;
        channel.rxFrequency = 7'000'000;
        channel.txFrequency = 7'000'000;
        channel.state = ListEntry::stateUsed;
        channel.storeAndReload();
    }

    // Evaluates the receive or transmit cell of the channel as the engine does:
    // the codec, then storing and reloading the entry on a change.
    bool apply(cmcCellCapsule& request, bool receiveSide, bool linked = true) {
        request.cell = receiveSide ? &rxCell : &txCell;
        lastResult = kResultNone;
        const bool changed = channelFrequency(request, channel, receiveSide, linked, lastResult);
        if (changed)
            channel.storeAndReload();
        return changed;
    }

    std::string shownText(bool receiveSide, bool linked = true) {
        cmcCellCapsule paint = shown();
        apply(paint, receiveSide, linked);
        return paint.text;
    }

    cmcEeprom image;
    ListEntry channel{&image};
    cmcCellObj rxCell;
    cmcCellObj txCell;
    std::uint8_t lastResult = kResultNone;
};

struct TypedRow {
    std::string input;
    std::int32_t hz; // 0: refused, the side becomes empty
};

class ReceiveInputTest : public ChannelFrequencyTest,
                         public ::testing::WithParamInterface<TypedRow> {};

TEST_P(ReceiveInputTest, StoresKilohertzAt100HzOrEmptiesTheSide) {
    cmcCellCapsule request = typed(GetParam().input);
    EXPECT_TRUE(apply(request, true, false));
    EXPECT_EQ(channel.rxFrequency, GetParam().hz);
    EXPECT_EQ((channel.state & ListEntry::stateRxEmpty) != 0, GetParam().hz == 0);
    EXPECT_EQ(channel.txFrequency, 7'000'000); // not linked: stays
}

INSTANTIATE_TEST_SUITE_P(Rows, ReceiveInputTest,
                         ::testing::Values(TypedRow{"7053.45", 7'053'400},
                                           TypedRow{"40000", 29'999'900},
                                           TypedRow{"29999.99", 29'999'900}, TypedRow{"0.1", 100},
                                           TypedRow{"0.09", 0}, TypedRow{"0", 0}, TypedRow{"", 0},
                                           TypedRow{"abc", 0}, TypedRow{"-7000", 7'000'000},
                                           TypedRow{"1.2.3", 1'200}, TypedRow{"12..5", 12'000},
                                           TypedRow{"7 053,4", 29'999'900}, TypedRow{"\xd9\xa3", 0},
                                           TypedRow{manyDigits(), 29'999'900},
                                           TypedRow{"." + manyDigits(), 1'000}));

TEST_F(ChannelFrequencyTest, TypedValueIsShownWithOneDecimalRightAligned) {
    cmcCellCapsule request = typed("7053.45");
    apply(request, true);
    EXPECT_EQ(request.text, "7053.4");
    EXPECT_EQ(request.selLength, 6);
    EXPECT_EQ(rxCell.HAlign(), kRight);
    EXPECT_EQ(request.markerPlace, cmcCellCapsule::kMarkerRight);
    EXPECT_EQ(image.GetByte(715 + 26 * 3 + 2), 34); // 70534 as base-100 bytes 7, 5, 34
}

TEST_F(ChannelFrequencyTest, LinkedTransmitFollowsTheReceiveSideAndShowsTheArrow) {
    cmcCellCapsule request = typed("14230");
    apply(request, true);
    EXPECT_EQ(channel.txFrequency, 14'230'000);
    EXPECT_EQ(shownText(false), "<-");
    EXPECT_EQ(txCell.HAlign(), kCentre);
    EXPECT_EQ(shownText(false, false), "14230.0"); // without the link: the number
    EXPECT_EQ(txCell.HAlign(), kRight);

    cmcCellCapsule clear = typed("");
    apply(clear, true);
    EXPECT_NE(channel.state & ListEntry::stateTxEmpty, 0); // an emptied side empties both
    EXPECT_EQ(shownText(false), "");
}

TEST_F(ChannelFrequencyTest, ASplitChannelKeepsItsTransmitSide) {
    cmcCellCapsule split = typed("7100");
    apply(split, false);
    EXPECT_EQ(shownText(false), "7100.0");

    cmcCellCapsule request = typed("7050");
    apply(request, true);
    EXPECT_EQ(channel.rxFrequency, 7'050'000);
    EXPECT_EQ(channel.txFrequency, 7'100'000);
}

TEST_F(ChannelFrequencyTest, TransmitAcceptsZeroWhereReceiveRefusesIt) {
    cmcCellCapsule tx = typed("0");
    apply(tx, false);
    EXPECT_EQ(channel.txFrequency, 0);
    cmcCellCapsule rx = typed("0");
    apply(rx, true, false);
    EXPECT_NE(channel.state & ListEntry::stateRxEmpty, 0);
    EXPECT_EQ(shownText(true), "");
}

TEST_F(ChannelFrequencyTest, AnUnusedSlotShowsNothing) {
    channel.channelNumber = ListEntry::noChannel;
    channel.storeAndReload();
    EXPECT_EQ(shownText(true), "");
    EXPECT_EQ(shownText(false), "");
    cmcCellCapsule enter = keyed(cmcCellCapsule::kEnter);
    apply(enter, true);
    EXPECT_EQ(lastResult, kResultOpenEditor);
    EXPECT_EQ(enter.text, "");
}

struct KeyRow {
    const char* name;
    std::int32_t action;
    bool receiveSide;
    std::uint8_t result;
    const char* text;
    std::int32_t selStart;
    std::int32_t selLength;
};

class FrequencyKeyTest : public ChannelFrequencyTest, public ::testing::WithParamInterface<KeyRow> {
protected:
    void SetUp() override {
        ChannelFrequencyTest::SetUp();
        channel.rxFrequency = 7'053'400;
        channel.txFrequency = 7'100'000;
        channel.storeAndReload();
    }
};

TEST_P(FrequencyKeyTest, OpensTheEditorAsTheKeyAsks) {
    const KeyRow& row = GetParam();
    cmcCellCapsule request = keyed(row.action);
    EXPECT_FALSE(apply(request, row.receiveSide));
    EXPECT_EQ(lastResult, row.result);
    if (row.result == kResultOpenEditor) {
        EXPECT_EQ(request.text, row.text);
        EXPECT_EQ(request.selStart, row.selStart);
        EXPECT_EQ(request.selLength, row.selLength);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FrequencyKeyTest,
    ::testing::Values(KeyRow{"EnterSelectsAll", 13, true, 2, "7053.4", 0, 6},
                      KeyRow{"PointPutsTheCaretAfterThePoint", '.', true, 2, "7053.4", 5, 0},
                      KeyRow{"EqualsCopiesTheReceiveSide", '=', false, 2, "7053.4", 0, 6},
                      KeyRow{"EqualsMeansNothingOnReceive", '=', true, 0, "", 0, 0},
                      KeyRow{"Digit", '5', false, 2, "5", 1, 0},
                      KeyRow{"Space", ' ', true, 2, " ", 1, 0},
                      KeyRow{"Letter", 'k', true, 0, "", 0, 0},
                      KeyRow{"Backspace", 8, true, 0, "", 0, 0}),
    rowName<KeyRow>);

TEST_F(ChannelFrequencyTest, PointOnAnEmptySideStartsWithThePoint) {
    cmcCellCapsule clear = typed("");
    apply(clear, true);
    cmcCellCapsule point = keyed('.');
    apply(point, true);
    EXPECT_EQ(point.text, ".");
    EXPECT_EQ(point.selStart, 1);
}

class BandEdgeTest : public ::testing::Test {
protected:
    bool apply(cmcCellCapsule& request, bool precise, bool emptyAllowed) {
        lastResult = kResultNone;
        request.cell = &cell;
        return bandEdge(request, limit, precise, emptyAllowed, lastResult);
    }

    cmcCellObj cell;
    std::int32_t limit = 1'800'000;
    std::uint8_t lastResult = kResultNone;
};

TEST_F(BandEdgeTest, ZeroEmptiesATransmitRangeAndIsIgnoredOnTheReceiveEdge) {
    cmcCellCapsule zero = typed("0");
    EXPECT_TRUE(apply(zero, true, true));
    EXPECT_EQ(limit, kNoEdge);
    EXPECT_EQ(zero.text, "");

    limit = 1'800'000;
    cmcCellCapsule again = typed("0");
    EXPECT_FALSE(apply(again, true, false));
    EXPECT_EQ(limit, 1'800'000);

    for (bool emptyAllowed : {true, false}) {
        cmcCellCapsule nothing = typed("no digits");
        EXPECT_FALSE(apply(nothing, true, emptyAllowed));
        EXPECT_EQ(limit, 1'800'000);
    }
}

TEST_F(BandEdgeTest, PreciseEdgesKeepHertzAndShowThreeDecimals) {
    struct {
        const char* input;
        bool precise;
        std::int32_t hz;
        const char* text;
    } const rows[] = {{"1800.5", true, 1'800'500, "1800.500"},
                      {"1800.55", false, 1'800'500, "1800.5"},
                      {"30", true, 30'000, "30.000"},
                      {"0.001", true, 1, "0.001"},
                      {"99999", true, 29'999'999, "29999.999"}};
    for (const auto& row : rows) {
        cmcCellCapsule request = typed(row.input);
        EXPECT_TRUE(apply(request, row.precise, true)) << row.input;
        EXPECT_EQ(limit, row.hz) << row.input;
        EXPECT_EQ(request.text, row.text) << row.input;
        EXPECT_EQ(cell.HAlign(), kRight);
    }
}

TEST_F(BandEdgeTest, GarbageLimitsFromTheImageAreShownWithoutOverflow) {
    limit = std::numeric_limits<std::int32_t>::min();
    cmcCellCapsule paint = shown();
    apply(paint, true, true);
    EXPECT_EQ(paint.text, "-2147483.648");
    limit = -5;
    apply(paint, false, true);
    EXPECT_EQ(paint.text, "-0.0");
}

TEST_F(BandEdgeTest, KeysAreTheFrequencyKeysWithoutEquals) {
    cmcCellCapsule equals = keyed('=');
    apply(equals, true, true);
    EXPECT_EQ(lastResult, kResultNone);
    cmcCellCapsule point = keyed('.');
    apply(point, true, true);
    EXPECT_EQ(point.text, "1800.000");
    EXPECT_EQ(point.selStart, 5);
    limit = kNoEdge;
    cmcCellCapsule enter = keyed(cmcCellCapsule::kEnter);
    apply(enter, true, true);
    EXPECT_EQ(lastResult, kResultOpenEditor);
    EXPECT_EQ(enter.text, "");
}

} // namespace
