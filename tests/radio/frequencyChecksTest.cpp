#include "radio/frequencyChecks.h"

#include "entryTestImage.h"
#include "radio/listRecord.h"

#include <gtest/gtest.h>

using namespace marlo;

using namespace rangeCheck;

namespace {

// Receive 1.8..29.7 MHz; transmit ranges 0..2 used, 3..10 empty.
BandEdges usualEdges() {
    BandEdges edges;
    edges.receive = {1'800'000, 29'700'000};
    edges.transmit.fill({-1, -1});
    edges.transmit[0] = {1'800'000, 2'000'000};
    edges.transmit[1] = {3'500'000, 3'800'000};
    edges.transmit[2] = {7'000'000, 7'300'000};
    return edges;
}

} // namespace

TEST(FrequencyChecks, EdgesLoadThroughTheEntriesAndJudgeTheChannelsSides) {
    MemoryImage image;
    makeImage(image);
    ListRecord entry(&image);
    const BandEdges usual = usualEdges();
    entry.Load(listRxEdge, 0);
    std::tie(entry.low, entry.high) = std::pair(usual.receive.low, usual.receive.high);
    entry.Store(listNone, 0);
    for (int i = 0; i < kTransmitRanges; ++i) {
        entry.Load(listTxEdge, i);
        std::tie(entry.low, entry.high) = std::pair(usual.transmit[i].low, usual.transmit[i].high);
        entry.Store(listNone, i);
    }
    const BandEdges edges = BandEdges::Load(image);
    EXPECT_EQ(edges.transmit[2].high, 7'300'000);
    EXPECT_EQ(edges.transmit[10].low, -1);

    ListRecord channel(&image);
    channel.Load(listUserChannel, 0);
    channel.state = ListRecord::stateUsed;
    const std::tuple<std::int32_t, bool, bool, bool> rows[] = {
        // Hz, receive invalid, transmit invalid, transmit invalid in gene mode
        {1'800'000, false, false, false}, {2'000'100, false, true, false},
        {3'650'000, false, false, false}, {14'000'000, false, true, false},
        {29'700'000, false, true, false}, {29'700'100, true, true, true},
        {1'799'900, true, true, true},    {-1, true, true, true}};
    for (auto [hz, rxInvalid, txInvalid, geneInvalid] : rows) {
        channel.rxFrequency = channel.txFrequency = hz;
        EXPECT_EQ(channelReceiveInvalid(channel, edges), rxInvalid) << hz;
        EXPECT_EQ(channelTransmitInvalid(channel, edges, false), txInvalid) << hz;
        EXPECT_EQ(channelTransmitInvalid(channel, edges, true), geneInvalid) << hz;
    }
    channel.rxFrequency = channel.txFrequency = 14'000'000;
    channel.state |= ListRecord::stateRxEmpty | ListRecord::stateTxEmpty;
    EXPECT_TRUE(channelReceiveInvalid(channel, edges)); // an empty receive side is an error
    EXPECT_FALSE(channelTransmitInvalid(channel, edges, false)); // an empty transmit side is not
}

TEST(FrequencyChecks, GeneModeStartsTheTransmitBandAt1600kHz) {
    BandEdges edges = usualEdges();
    edges.receive = {30'000, 29'999'999};
    edges.transmit[3] = {-1, 15'000'000}; // half set: allows nothing
    EXPECT_FALSE(transmitFrequencyValid(14'000'000, edges, false));
    EXPECT_FALSE(transmitFrequencyValid(1'599'999, edges, true));
    EXPECT_TRUE(transmitFrequencyValid(1'600'000, edges, true));
    EXPECT_TRUE(transmitFrequencyValid(29'999'999, edges, true));
}

TEST(FrequencyChecks, BandEdgeRulesJudgeEachLimit) {
    struct Limits {
        int range; // -1: the receive edge
        std::int32_t low, high;
    };
    struct Row {
        const char* name;
        int range; // -1: the receive edge
        std::vector<Limits> changes;
        bool lowInvalid, highInvalid;
    };
    // clang-format off
    const Row rows[] = {
        {"usual receive",             -1, {},                                          false, false},
        {"receive reversed",          -1, {{-1, 20'000'000, 10'000'000}},              true,  true},
        {"receive below 30 kHz",      -1, {{-1, 29'999, 29'700'000}},                  true,  false},
        {"receive at 30 kHz",         -1, {{-1, 30'000, 29'700'000}},                  false, false},
        {"receive above the top",     -1, {{-1, 1'800'000, 30'000'000}},               false, true},
        {"usual transmit",             1, {},                                          false, false},
        {"transmit reversed",          1, {{1, 3'800'000, 3'500'000}},                 true,  true},
        {"first range empty",          0, {{0, -1, -1}, {1, -1, -1}, {2, -1, -1}},     true,  true},
        {"gap before a used range",    1, {{1, -1, -1}},                               true,  true},
        {"gap before the last range",  9, {{10, 28'000'000, 29'000'000}},              true,  true},
        {"empty ranges at the end",    3, {},                                          false, false},
        {"last range empty",          10, {},                                          false, false},
        {"only low empty",             3, {{3, -1, 10'150'000}},                       true,  true},
        {"only high empty",           10, {{10, 28'000'000, -1}},                      true,  true},
        {"below 1600 kHz",             0, {{-1, 30'000, 29'700'000}, {0, 1'599'999, 2'000'000}}, true, false},
        {"at 1600 kHz",                0, {{-1, 30'000, 29'700'000}, {0, 1'600'000, 2'000'000}}, false, false},
        {"outside the receive edge",   2, {{-1, 1'800'000, 7'200'000}},                false, true},
        {"low on the previous high",   1, {{1, 2'000'000, 3'800'000}},                 true,  false},
        {"inside the previous range",  1, {{1, 1'850'000, 1'900'000}},                 true,  true},
        {"after an empty range",       2, {{1, -1, -1}, {2, 1'850'000, 1'900'000}},    false, false},
        {"no such range",             11, {},                                          true,  true},
    };
    // clang-format on
    for (const Row& row : rows) {
        BandEdges edges = usualEdges();
        for (const Limits& c : row.changes)
            (c.range < 0 ? edges.receive : edges.transmit[c.range]) = {c.low, c.high};
        const EdgeValidity v = bandEdgeValidity(edges, row.range >= 0, row.range);
        EXPECT_EQ(std::pair(v.lowInvalid, v.highInvalid),
                  std::pair(row.lowInvalid, row.highInvalid))
            << row.name;
    }
}
