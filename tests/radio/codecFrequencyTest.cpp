#include "radio/codecFrequency.h"

#include "codecTestSupport.h"
#include "entryTestImage.h"
#include "radio/codecSteps.h"
#include "radio/listRecord.h"
#include "sheets/cellModel.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

using namespace marlo;

using namespace codec;
using namespace codecTest;

namespace {

constexpr std::uint8_t kCentre = 1, kRight = 2;

class ChannelFrequency : public ::testing::Test {
protected:
    void SetUp() override {
        makeImage(image);
        channel.Load(listUserChannel, 3);
        channel.channelNumber = 12;
        channel.rxFrequency = channel.txFrequency = 7'000'000;
        channel.state = ListRecord::stateUsed;
        channel.StoreAndReload();
    }

    // One cell evaluation as the engine does it: the codec, then on a change the
    // entry is stored and reloaded. Returns the request for its text and selection.
    CellRequest run(CellRequest request, bool receiveSide, bool linked = true) {
        request.cell = receiveSide ? &rxCell : &txCell;
        lastResult = kResultNone;
        if (channelFrequency(request, channel, receiveSide, linked, lastResult))
            channel.StoreAndReload();
        return request;
    }

    MemoryImage image;
    ListRecord channel{&image};
    CellModel rxCell, txCell;
    std::uint8_t lastResult = kResultNone;
};

TEST_F(ChannelFrequency, TypedKilohertzAreStoredAt100HzOrEmptyTheSide) {
    // Hz after typing into 7,000.0 kHz; 0: refused or cleared, the side is emptied
    // clang-format off
    const std::pair<std::string, std::int32_t> rows[] = {
        {"7053.45", 7'053'400}, {"40000", 29'999'900}, {"0.1", 100}, {"0.09", 0}, {"0", 0},
        {"", 0}, {"   ", 0}, {"abc", 7'000'000}, {"-7000", 7'000'000}, {"1.2.3", 1'200},
        {"7 053,4", 7'053'400}, {"7000,5", 7'000'500}, {kManyDigits, 29'999'900},
        {"." + kManyDigits, 1'000}};
    // clang-format on
    for (const auto& [input, hz] : rows) {
        SetUp();
        run(typed(input), true, false);
        EXPECT_EQ(channel.rxFrequency, hz) << input;
        EXPECT_EQ((channel.state & ListRecord::stateRxEmpty) != 0, hz == 0) << input;
        EXPECT_EQ(channel.txFrequency, 7'000'000) << input; // not linked
    }
}

// A comma before exactly three digits may group thousands or mark decimals:
// such text changes nothing and says how to write it; other commas are points.
TEST_F(ChannelFrequency, ACommaBeforeThreeDigitsIsRefusedWithAHint) {
    const std::tuple<std::string, std::int32_t, std::string> rows[] = {
        {"7,055", 7'000'000, "type 7055 (or 7055.0), or 7.055 for a decimal"},
        {" 14,230 ", 7'000'000, "type 14230 (or 14230.0), or 14.230 for a decimal"},
        {"7053,4", 7'053'400, ""},
        {"7,0550", 7'000, ""},
        {"7055,0", 7'055'000, ""},
        {"7.055", 7'000, ""}};
    for (const auto& [input, hz, hint] : rows) {
        SetUp();
        const CellRequest out = run(typed(input), true, false);
        EXPECT_EQ(channel.rxFrequency, hz) << input;
        if (hint.empty())
            EXPECT_EQ(out.refusedHint, "") << input;
        else
            EXPECT_NE(out.refusedHint.find(hint), std::string::npos) << out.refusedHint;
    }
}

TEST_F(ChannelFrequency, LinkedTransmitFollowsTheReceiveSideAndShowsTheArrow) {
    const CellRequest shown = run(typed("7053.45"), true);
    EXPECT_EQ(std::pair(shown.text, shown.selLength), std::pair(std::string("7053.4"), 6));
    EXPECT_EQ(rxCell.HAlign(), kRight);
    EXPECT_EQ(shown.markerPlace, CellRequest::kMarkerRight);
    EXPECT_EQ(bytesAt(image, 715 + 26 * 3, 6), (std::vector<std::uint8_t>{7, 5, 34, 7, 5, 34}));

    run(typed("14230"), true);
    EXPECT_EQ(channel.txFrequency, 14'230'000);
    EXPECT_EQ(run({}, false).text, "<-");
    EXPECT_EQ(txCell.HAlign(), kCentre);
    EXPECT_EQ(run({}, false, false).text, "14230.0"); // unlinked: the number

    run(typed("7100"), false); // split the channel: the sides part
    run(typed("7050"), true);
    EXPECT_EQ(channel.txFrequency, 7'100'000);
    EXPECT_EQ(run({}, false).text, "7100.0");
}

TEST_F(ChannelFrequency, TransmitZeroEmptiesTheSideAndAnUnusedSlotShowsNothing) {
    // What the edit shows is what a repaint shows.
    EXPECT_EQ(run(typed("0"), false, false).text, "");
    EXPECT_EQ(run({}, false, false).text, "");
    EXPECT_NE(channel.state & ListRecord::stateTxEmpty, 0);
    EXPECT_EQ(channel.state & ListRecord::stateRxEmpty, 0);
    // Clearing the editor makes a receive-only channel as well; text without a
    // digit leaves the side alone.
    for (const char* input : {"", "  "}) {
        run(typed("7100"), false);
        EXPECT_EQ(run(typed(input), false).text, "");
        EXPECT_NE(channel.state & ListRecord::stateTxEmpty, 0);
        EXPECT_EQ(channel.rxFrequency, 7'000'000);
    }
    run(typed("7100"), false);
    EXPECT_EQ(run(typed("off"), false).text, "7100.0");
    channel.channelNumber = ListRecord::noChannel;
    channel.StoreAndReload();
    EXPECT_EQ(run({}, true).text, "");
    EXPECT_EQ(run(keyed(13), true).text, "");
    EXPECT_EQ(lastResult, kResultOpenEditor);
}

TEST_F(ChannelFrequency, KeysOpenTheEditorAsEachAsks) {
    run(typed("7053.4"), true);
    run(typed("7100"), false);
    const std::tuple<std::int32_t, bool, const char*, std::int32_t, std::int32_t> rows[] = {
        {13, true, "7053.4", 0, 6}, {'.', true, "7053.4", 5, 0}, {'=', false, "7053.4", 0, 6},
        {'5', false, "5", 1, 0},    {' ', true, " ", 1, 0},      {'=', true, nullptr, 0, 0},
        {'k', true, nullptr, 0, 0}, {8, true, nullptr, 0, 0}};
    for (auto [action, receiveSide, text, selStart, selLength] : rows) {
        const CellRequest request = run(keyed(action), receiveSide);
        SCOPED_TRACE(action);
        EXPECT_EQ(lastResult, text ? kResultOpenEditor : kResultNone);
        if (text) {
            EXPECT_EQ(std::tuple(request.text, request.selStart, request.selLength),
                      std::tuple(text, selStart, selLength));
        }
    }
    run(typed("0"), true);
    EXPECT_EQ(run(keyed('.'), true).text, "."); // nothing to put the caret in
}

class BandEdge : public ::testing::Test {
protected:
    std::string run(CellRequest request, bool precise, bool emptyAllowed, bool* changed = nullptr) {
        request.cell = &cell;
        lastResult = kResultNone;
        const bool c = bandEdge(request, limit, precise, emptyAllowed, lastResult);
        if (changed != nullptr)
            *changed = c;
        return request.text;
    }

    CellModel cell;
    std::int32_t limit = 1'800'000;
    std::uint8_t lastResult = kResultNone;
};

TEST_F(BandEdge, ZeroEmptiesATransmitRangeAndNothingElse) {
    for (const char* input : {"0", " "}) {
        limit = 1'800'000;
        EXPECT_EQ(run(typed(input), true, true), "");
        EXPECT_EQ(limit, kNoEdge);
    }
    const std::tuple<const char*, bool> unchanged[] = {{"0", false}, {"none", true}, {"", false}};
    for (auto [input, emptyAllowed] : unchanged) {
        limit = 1'800'000;
        bool changed = true;
        run(typed(input), true, emptyAllowed, &changed);
        EXPECT_FALSE(changed) << input;
        EXPECT_EQ(limit, 1'800'000) << input;
    }
}

TEST_F(BandEdge, PreciseEdgesKeepHertz) {
    const std::tuple<const char*, bool, std::int32_t, const char*> rows[] = {
        {"1800.5", true, 1'800'500, "1800.500"},
        {"1800.55", false, 1'800'500, "1800.5"},
        {"0.001", true, 1, "0.001"},
        {"99999", true, 29'999'999, "29999.999"}};
    for (auto [input, precise, hz, text] : rows) {
        EXPECT_EQ(run(typed(input), precise, true), text);
        EXPECT_EQ(limit, hz);
        EXPECT_EQ(cell.HAlign(), kRight);
    }
    limit = std::numeric_limits<std::int32_t>::min(); // garbage from an image
    EXPECT_EQ(run({}, true, true), "-2147483.648");
    limit = 1'800'000;
    run(keyed('='), true, true);
    EXPECT_EQ(lastResult, kResultNone);
}

} // namespace
