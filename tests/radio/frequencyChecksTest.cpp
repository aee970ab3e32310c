#include "radio/frequencyChecks.h"

#include "codecTestSupport.h"
#include "entryTestImage.h"
#include "radio/ListEntry.h"

#include <gtest/gtest.h>

using namespace cmcRangeCheck;

namespace {

// Receive 1.8..29.7 MHz; transmit ranges 0..2 used, 3..10 empty.
cmcBandEdges usualEdges() {
    cmcBandEdges edges;
    edges.receive = {1'800'000, 29'700'000};
    edges.transmit.fill({-1, -1});
    edges.transmit[0] = {1'800'000, 2'000'000};
    edges.transmit[1] = {3'500'000, 3'800'000};
    edges.transmit[2] = {7'000'000, 7'300'000};
    return edges;
}

TEST(BandEdges, LoadReadsTheEdgesThroughTheEntries) {
    cmcEeprom image;
    makeImage(image);
    ListEntry entry(&image);
    entry.load(listRxEdge, 0);
    entry.low = 30'000;
    entry.high = 29'999'999;
    entry.store(listNone, 0);
    for (int i = 0; i < kTransmitRanges; ++i) {
        entry.load(listTxEdge, i);
        entry.low = i == 10 ? 28'000'000 : -1;
        entry.high = i == 10 ? 29'700'000 : -1;
        entry.store(listNone, i);
    }

    const cmcBandEdges edges = cmcBandEdges::load(image);
    EXPECT_EQ(edges.receive.low, 30'000);
    EXPECT_EQ(edges.receive.high, 29'999'999);
    EXPECT_EQ(edges.transmit[9].low, -1);
    EXPECT_EQ(edges.transmit[10].low, 28'000'000);
    EXPECT_EQ(edges.transmit[10].high, 29'700'000);
}

TEST(ChannelChecks, ReceiveMustBeSetAndInsideTheReceiveEdge) {
    const cmcBandEdges edges = usualEdges();
    cmcEeprom image;
    makeImage(image);
    ListEntry channel(&image);
    channel.load(listUserChannel, 0);
    channel.channelNumber = 1;
    channel.state = ListEntry::stateUsed;
    for (auto [hz, invalid] : {std::pair{1'800'000, false},
                               {29'700'000, false},
                               {1'799'900, true},
                               {29'700'100, true}}) {
        channel.rxFrequency = hz;
        EXPECT_EQ(channelReceiveInvalid(channel, edges), invalid) << hz;
    }
    channel.rxFrequency = 7'000'000;
    channel.state |= ListEntry::stateRxEmpty;
    EXPECT_TRUE(channelReceiveInvalid(channel, edges));
}

TEST(ChannelChecks, TransmitMustLieInAUsedRangeUnlessEmpty) {
    const cmcBandEdges edges = usualEdges();
    ListEntry channel;
    channel.state = ListEntry::stateUsed;
    for (auto [hz, invalid] : {std::pair{1'800'000, false},
                               {2'000'000, false},
                               {3'650'000, false},
                               {7'300'000, false},
                               {2'000'100, true},
                               {14'000'000, true},
                               {-1, true}}) {
        channel.txFrequency = hz;
        EXPECT_EQ(channelTransmitInvalid(channel, edges, false), invalid) << hz;
    }
    channel.txFrequency = 14'000'000;
    channel.state |= ListEntry::stateTxEmpty;
    EXPECT_FALSE(channelTransmitInvalid(channel, edges, false));

    cmcBandEdges halfSet = usualEdges();
    halfSet.transmit[3] = {-1, 15'000'000}; // a range with one empty limit allows nothing
    EXPECT_FALSE(transmitFrequencyValid(14'000'000, halfSet, false));
}

TEST(ChannelChecks, GeneModeAllowsTheWholeTransmitBandInsideTheReceiveEdge) {
    const cmcBandEdges edges = usualEdges();
    for (auto [hz, valid] : {std::pair{14'000'000, true},
                             {1'800'000, true},
                             {29'700'000, true},
                             {29'700'100, false}, // beyond the receive edge
                             {1'600'000, false}}) {
        EXPECT_EQ(transmitFrequencyValid(hz, edges, true), valid) << hz;
    }
    cmcBandEdges wide = usualEdges();
    wide.receive = {30'000, 29'999'999};
    EXPECT_FALSE(transmitFrequencyValid(1'599'999, wide, true));
    EXPECT_TRUE(transmitFrequencyValid(1'600'000, wide, true));
    EXPECT_TRUE(transmitFrequencyValid(29'999'999, wide, true));
}

struct EdgeRow {
    const char* name;
    bool transmit;
    int range;
    void (*change)(cmcBandEdges&);
    bool lowInvalid;
    bool highInvalid;
};

class BandEdgeRulesTest : public ::testing::TestWithParam<EdgeRow> {};

TEST_P(BandEdgeRulesTest, JudgesEachLimit) {
    const EdgeRow& row = GetParam();
    cmcBandEdges edges = usualEdges();
    if (row.change != nullptr)
        row.change(edges);
    const cmcEdgeValidity v = bandEdgeValidity(edges, row.transmit, row.range);
    EXPECT_EQ(v.lowInvalid, row.lowInvalid);
    EXPECT_EQ(v.highInvalid, row.highInvalid);
}

INSTANTIATE_TEST_SUITE_P(Rows, BandEdgeRulesTest,
                         ::
                             testing::
                                 Values(
                                     EdgeRow{"UsualReceive", false, 0, nullptr, false, false},
                                     EdgeRow{"ReceiveReversed", false, 0,
                                             [](cmcBandEdges& e) {
                                                 e.receive = {20'000'000, 10'000'000};
                                             },
                                             true, true},
                                     EdgeRow{"ReceiveLowBelow30kHz", false, 0,
                                             [](cmcBandEdges& e) { e.receive.low = 29'999; }, true,
                                             false},
                                     EdgeRow{"ReceiveLowAt30kHz", false, 0,
                                             [](cmcBandEdges& e) { e.receive.low = 30'000; }, false,
                                             false},
                                     EdgeRow{"ReceiveHighAbove", false, 0,
                                             [](cmcBandEdges& e) { e.receive.high = 30'000'000; },
                                             false, true},
                                     EdgeRow{"ReceiveEmpty", false, 0,
                                             [](cmcBandEdges& e) {
                                                 e.receive = {-1, -1};
                                             },
                                             true, true},
                                     EdgeRow{"UsualTransmit", true, 1, nullptr, false, false},
                                     EdgeRow{"TransmitReversed", true, 1,
                                             [](cmcBandEdges& e) {
                                                 e.transmit[1] = {3'800'000, 3'500'000};
                                             },
                                             true, true},
                                     EdgeRow{"FirstRangeEmpty", true, 0,
                                             [](cmcBandEdges& e) {
                                                 for (auto& r : e.transmit)
                                                     r = {-1, -1};
                                             },
                                             true, true},
                                     EdgeRow{"EmptyRangeBeforeAUsedOne", true, 1,
                                             [](cmcBandEdges& e) {
                                                 e.transmit[1] = {-1, -1};
                                             },
                                             true, true},
                                     EdgeRow{"EmptyRangeBeforeTheLastUsed", true, 9,
                                             [](cmcBandEdges& e) {
                                                 e.transmit[10] = {28'000'000, 29'000'000};
                                             },
                                             true, true},
                                     EdgeRow{"EmptyRangeAtTheEnd", true, 3, nullptr, false, false},
                                     EdgeRow{"LastRangeEmpty", true, 10, nullptr, false, false},
                                     EdgeRow{"OnlyLowEmpty", true, 3,
                                             [](cmcBandEdges& e) {
                                                 e.transmit[3] = {-1, 10'150'000};
                                             },
                                             true, true},
                                     EdgeRow{"OnlyHighEmptyAtTheEnd", true, 10,
                                             [](cmcBandEdges& e) {
                                                 e.transmit[10] = {28'000'000, -1};
                                             },
                                             true, true},
                                     EdgeRow{"TransmitBelow1600kHz", true, 0,
                                             [](cmcBandEdges& e) {
                                                 e.receive.low = 30'000;
                                                 e.transmit[0].low = 1'599'999;
                                             },
                                             true, false},
                                     EdgeRow{"TransmitAt1600kHz", true, 0,
                                             [](cmcBandEdges& e) {
                                                 e.receive.low = 30'000;
                                                 e.transmit[0].low = 1'600'000;
                                             },
                                             false, false},
                                     EdgeRow{"TransmitOutsideReceive", true, 2,
                                             [](cmcBandEdges& e) { e.receive.high = 7'200'000; },
                                             false, true},
                                     EdgeRow{"OverlapsThePreviousHigh", true, 1,
                                             [](cmcBandEdges& e) { e.transmit[1].low = 2'000'000; },
                                             true, false},
                                     EdgeRow{"InsideThePreviousRange", true, 1,
                                             [](cmcBandEdges& e) {
                                                 e.transmit[1] = {1'850'000, 1'900'000};
                                             },
                                             true, true},
                                     EdgeRow{"PreviousRangeEmptyIsNoBound", true, 2,
                                             [](cmcBandEdges& e) {
                                                 e.transmit[1] = {-1, -1};
                                                 e.transmit[2] = {1'850'000, 1'900'000};
                                             },
                                             false, false},
                                     EdgeRow{"NoSuchRange", true, 11, nullptr, true, true},
                                     EdgeRow{"NegativeRange", true, -1, nullptr, true, true}),
                         codecTest::rowName<EdgeRow>);

} // namespace
