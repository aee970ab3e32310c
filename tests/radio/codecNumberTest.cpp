#include "radio/codecNumber.h"

#include "codecTestSupport.h"
#include "overlay/overlayTexts.h"
#include "radio/codecSteps.h"
#include "radio/listRecord.h"

#include <gtest/gtest.h>

#include <array>

using namespace marlo;

using namespace codec;
using namespace codecTest;

namespace {

// Runs the number codec on `value` and returns whether it reported a change.
bool runNumber(CellRequest request, std::int32_t& value, const NumberForm& form,
               std::string* text = nullptr) {
    std::uint8_t result = kResultNone;
    const bool changed = number(request, value, form, result);
    if (text != nullptr)
        *text = request.text;
    return changed;
}

} // namespace

TEST(NumberCodec, TypedNumbersAreLimitedAndTextWithoutDigitsIsIgnored) {
    const NumberForm speed{.lo = 1, .hi = 99};
    const std::tuple<std::string, std::int32_t, bool> rows[] = {
        {"42", 42, true},        {"150", 99, true}, {"-5", 1, true}, {"41.5", 42, true},
        {kManyDigits, 99, true}, {"abc", 5, false}, {"", 5, false},  {"-", 5, false}};
    for (const auto& [input, after, changed] : rows) {
        std::int32_t value = 5;
        std::string text;
        EXPECT_EQ(runNumber(typed(input), value, speed, &text), changed) << input;
        EXPECT_EQ(value, after) << input;
        EXPECT_EQ(text, std::to_string(after));
    }
}

TEST(NumberCodec, KeysStepWithWrapAroundOnTheStepGrid) {
    const NumberForm byFive{.lo = 0, .hi = 100, .step = 5};
    const std::tuple<std::int32_t, std::int32_t, std::int32_t> rows[] = {
        {95, 32, 100}, {100, 32, 0}, {0, 8, 100}, {92, 32, 95}, {3, 8, 100}};
    for (auto [before, action, after] : rows) {
        std::int32_t value = before;
        EXPECT_TRUE(runNumber(keyed(action), value, byFive)) << before;
        EXPECT_EQ(value, after) << before << " " << action;
    }
    std::int32_t value = 99; // Space at the maximum wraps to the minimum
    EXPECT_TRUE(runNumber(keyed(32), value, {.lo = 1, .hi = 99}));
    EXPECT_EQ(value, 1);
    for (auto [input, after] : {std::pair{"12", 10}, {"13", 15}, {"12.5", 15}}) {
        EXPECT_TRUE(runNumber(typed(input), value, byFive));
        EXPECT_EQ(value, after) << input;
    }
    CellRequest paint; // no grid: no keys
    paint.action = 32;
    EXPECT_FALSE(runNumber(paint, value, byFive));
}

TEST(NumberCodec, OffsetClampAndByteForm) {
    const NumberForm average{.lo = 0, .hi = 7, .offset = 1}; // shown 1..8
    std::uint8_t stored = 0;
    std::uint8_t result = kResultNone;
    CellRequest paint;
    numberByte(paint, stored, average, result);
    EXPECT_EQ(paint.text, "1");
    for (auto [input, after] : {std::pair{"8", 7}, {"1", 0}, {"9", 7}}) {
        CellRequest request = typed(input);
        EXPECT_TRUE(numberByte(request, stored, average, result));
        EXPECT_EQ(stored, after) << input;
    }
    CellRequest tooBig = typed("300"); // a range wider than the byte never wraps it
    EXPECT_FALSE(numberByte(tooBig, stored, {.lo = 0, .hi = 1000}, result));
    EXPECT_EQ(stored, 7);

    std::int32_t value = 50;
    std::string text;
    EXPECT_FALSE(runNumber({}, value, {.lo = 1, .hi = 10}, &text));
    EXPECT_EQ(text, "50");
    EXPECT_TRUE(runNumber({}, value, {.lo = 1, .hi = 10, .clamp = true, .minDigits = 2}, &text));
    EXPECT_EQ(text, "10");
}

TEST(ChannelNumberCodec, ZeroEmptiesTheSlotAndAnEmptySlotStepsFromZero) {
    const std::tuple<const char*, std::uint32_t, bool> rows[] = {
        {"12", 12, true},      {"12345", 9999, true}, {"-3", 1, true},   {"0", 0xFFFF, true},
        {"0.4", 0xFFFF, true}, {"", 77, false},       {"abc", 77, false}};
    std::uint8_t result = kResultNone;
    for (const auto& [input, after, changed] : rows) {
        std::uint32_t value = 77;
        CellRequest request = typed(input);
        EXPECT_EQ(channelNumber(request, value, 1, 9999, 0xFFFF, result), changed) << input;
        EXPECT_EQ(value, after) << input;
    }
    std::uint32_t value = ListRecord::noChannel;
    CellRequest paint;
    channelNumber(paint, value, 1, 9999, 0xFFFF, result);
    EXPECT_EQ(paint.text, " ");
    for (auto [action, after] : {std::pair{32, 1u}, {8, 9999u}, {32, 1u}}) {
        CellRequest key = keyed(action);
        EXPECT_TRUE(channelNumber(key, value, 1, 9999, 0xFFFF, result));
        EXPECT_EQ(value, after);
    }
    value = ListRecord::noChannel;
    CellRequest enter = keyed(13);
    channelNumber(enter, value, 1, 9999, 0xFFFF, result);
    EXPECT_EQ(result, kResultOpenEditor);
    EXPECT_EQ(enter.text, ""); // not the stored 65535
}

class TimerCodec : public ::testing::Test {
protected:
    TimerCodec() { texts.SetLines(lines); }

    std::string run(CellRequest request, const TimerForm& form, bool* changed = nullptr) {
        lastResult = kResultNone;
        const bool c = timer(request, value, form, texts, lastResult);
        if (changed != nullptr)
            *changed = c;
        return request.text;
    }

    static constexpr std::array<const char*, 5> lines = {
        "#GI_AppInd_TimerOff", "Off", "#GI_AppInd_TimerAuto", "Auto", "#End_Of_Ovl"};
    const TimerForm callTime{.lo = 0, .hi = 100, .kind = TimerKind::Auto};
    OverlayTexts texts;
    std::int32_t value = 0;
    std::uint8_t lastResult = kResultNone;
};

TEST_F(TimerCodec, CallTimeShowsAutoForZeroAndAcceptsAutoInAnyCase) {
    EXPECT_EQ(run({}, callTime), "Auto");
    const std::tuple<const char*, std::int32_t, bool> rows[] = {
        {"AUTO", 0, true}, {"auto", 0, true}, {"aUtOmatic", 0, true}, {"a", 30, false},
        {"of", 30, false}, {"45", 45, true},  {"150", 100, true},     {"12.7", 12, true},
        {"-8", 8, true},   {"", 30, false},   {"12,7", 12, true},     {"1,270", 30, false}};
    for (const auto& [input, after, changed] : rows) {
        value = 30;
        bool c = false;
        run(typed(input), callTime, &c);
        EXPECT_EQ(c, changed) << input;
        EXPECT_EQ(value, after) << input;
    }
}

TEST_F(TimerCodec, KeysWrapAndOpenTheEditorOnTheKindsLetters) {
    value = 100;
    run(keyed(32), callTime);
    EXPECT_EQ(value, 0);
    run(keyed(8), callTime);
    EXPECT_EQ(value, 100);
    for (auto [key, opens] : {std::pair{'a', true}, {'A', true}, {'7', true}, {'o', false}}) {
        run(keyed(key), callTime);
        EXPECT_EQ(lastResult, opens ? kResultOpenEditor : kResultNone) << key;
    }
}

TEST_F(TimerCodec, OffKindDropsTrailingZerosAndThePoint) {
    TimerForm seconds{.scale = 1000, .lo = 0, .hi = 60000, .kind = TimerKind::Off};
    for (auto [v, decimals, text] :
         {std::tuple{0, 3, "Off"}, {5250, 3, "  5.25"}, {5000, 3, "  5"}, {5000, 2, "  5.0"}}) {
        value = v;
        seconds.decimals = decimals;
        EXPECT_EQ(run({}, seconds), text);
    }
}
