#include "radio/codecNumber.h"

#include "codecTestSupport.h"
#include "overlay/cmcGTex.h"
#include "radio/ListEntry.h"
#include "radio/codecSteps.h"

#include <gtest/gtest.h>

#include <array>

using namespace cmcCodec;
using namespace codecTest;

namespace {

struct NumberRow {
    const char* name;
    std::string input;
    std::int32_t before;
    std::int32_t after;
    bool changed;
};

const cmcNumberForm kSpeed{.lo = 1, .hi = 99};

class NumberInputTest : public ::testing::TestWithParam<NumberRow> {};

TEST_P(NumberInputTest, LimitsTypedNumbersAndIgnoresInputWithoutDigits) {
    const NumberRow& row = GetParam();
    cmcCellCapsule request = typed(row.input);
    std::int32_t value = row.before;
    std::uint8_t result = kResultNone;
    EXPECT_EQ(number(request, value, kSpeed, result), row.changed);
    EXPECT_EQ(value, row.after);
    EXPECT_EQ(request.text, std::to_string(row.after));
    EXPECT_EQ(result, kResultNone);
}

INSTANTIATE_TEST_SUITE_P(Rows, NumberInputTest,
                         ::testing::Values(NumberRow{"Plain", "42", 5, 42, true},
                                           NumberRow{"AboveRange", "150", 5, 99, true},
                                           NumberRow{"Negative", "-5", 5, 1, true},
                                           NumberRow{"Rounded", "41.5", 5, 42, true},
                                           NumberRow{"Huge", manyDigits(), 5, 99, true},
                                           NumberRow{"Letters", "abc", 5, 5, false},
                                           NumberRow{"Empty", "", 5, 5, false},
                                           NumberRow{"SignOnly", "-", 5, 5, false}),
                         rowName<NumberRow>);

TEST(NumberCodec, SpaceAndBackspaceWrapAtTheEndsOfTheRange) {
    std::uint8_t result = kResultNone;
    std::int32_t value = 99;
    cmcCellCapsule space = keyed(cmcCellCapsule::kSpace);
    EXPECT_TRUE(number(space, value, kSpeed, result));
    EXPECT_EQ(value, 1);
    EXPECT_EQ(space.text, "1");

    cmcCellCapsule back = keyed(cmcCellCapsule::kBackspace);
    EXPECT_TRUE(number(back, value, kSpeed, result));
    EXPECT_EQ(value, 99);
    EXPECT_EQ(result, kResultNone);

    cmcCellCapsule paint = shown(); // no grid: no key handling
    paint.action = cmcCellCapsule::kSpace;
    EXPECT_FALSE(number(paint, value, kSpeed, result));
    EXPECT_EQ(value, 99);
}

TEST(NumberCodec, StepRoundsInputAndKeepsKeyStepsOnTheGrid) {
    const cmcNumberForm form{.lo = 0, .hi = 100, .step = 5};
    struct {
        std::int32_t before;
        std::int32_t action;
        const char* input;
        std::int32_t after;
    } const rows[] = {
        {0, 0, "12", 10},      {0, 0, "13", 15},     {0, 0, "12.5", 15},    {95, 32, nullptr, 100},
        {100, 32, nullptr, 0}, {0, 8, nullptr, 100}, {92, 32, nullptr, 95}, {3, 8, nullptr, 100},
    };
    for (const auto& row : rows) {
        cmcCellCapsule request = row.input != nullptr ? typed(row.input) : keyed(row.action);
        std::int32_t value = row.before;
        std::uint8_t result = kResultNone;
        EXPECT_TRUE(number(request, value, form, result));
        EXPECT_EQ(value, row.after) << row.before << " " << row.action;
    }
}

TEST(NumberCodec, OffsetShowsAndReadsValuePlusOffset) {
    const cmcNumberForm average{.lo = 0, .hi = 7, .offset = 1};
    std::uint8_t stored = 0;
    std::uint8_t result = kResultNone;
    cmcCellCapsule paint = shown();
    EXPECT_FALSE(numberByte(paint, stored, average, result));
    EXPECT_EQ(paint.text, "1");

    for (auto [input, expected] : {std::pair{"8", 7}, {"1", 0}, {"9", 7}, {"0", 0}}) {
        cmcCellCapsule request = typed(input);
        EXPECT_TRUE(numberByte(request, stored, average, result));
        EXPECT_EQ(stored, expected) << input;
    }
}

TEST(NumberCodec, ClampPullsAStoredValueIntoRangeOnlyWhenAsked) {
    std::uint8_t result = kResultNone;
    std::int32_t value = 50;
    cmcCellCapsule paint = shown();
    EXPECT_FALSE(number(paint, value, {.lo = 1, .hi = 10}, result));
    EXPECT_EQ(paint.text, "50");

    EXPECT_TRUE(number(paint, value, {.lo = 1, .hi = 10, .clamp = true}, result));
    EXPECT_EQ(value, 10);
    EXPECT_EQ(paint.text, "10");
}

TEST(NumberCodec, FixedTextAndLeadingZeros) {
    std::uint8_t result = kResultNone;
    std::int32_t value = 5;
    cmcCellCapsule paint = shown();
    number(paint, value, {.lo = 1, .hi = 99, .minDigits = 2}, result);
    EXPECT_EQ(paint.text, "05");
    number(paint, value, {.lo = 1, .hi = 99, .fixedText = "n/a"}, result);
    EXPECT_EQ(paint.text, "n/a");
    EXPECT_EQ(paint.selLength, 3);
}

TEST(NumberCodec, MinusStartsTheEditorOnlyForSignedRanges) {
    std::int32_t value = 0;
    for (auto [lo, expected] : {std::pair{-10, kResultOpenEditor}, {0, kResultNone}}) {
        cmcCellCapsule request = keyed('-');
        std::uint8_t result = kResultNone;
        number(request, value, {.lo = lo, .hi = 10}, result);
        EXPECT_EQ(result, expected) << lo;
    }
}

TEST(NumberCodec, ByteFormNeverStoresAValueThatDoesNotFit) {
    std::uint8_t stored = 17;
    std::uint8_t result = kResultNone;
    cmcCellCapsule request = typed("300");
    EXPECT_FALSE(numberByte(request, stored, {.lo = 0, .hi = 1000}, result));
    EXPECT_EQ(stored, 17);
}

class ChannelNumberTest : public ::testing::Test {
protected:
    bool apply(cmcCellCapsule& request) {
        std::uint8_t result = kResultNone;
        const bool changed = channelNumber(request, value, 1, 9999, ListEntry::noChannel, result);
        lastResult = result;
        return changed;
    }

    std::uint32_t value = ListEntry::noChannel;
    std::uint8_t lastResult = kResultNone;
};

TEST_F(ChannelNumberTest, TypedNumbersAreLimitedAndZeroEmptiesTheSlot) {
    struct {
        const char* input;
        std::uint32_t after;
        bool changed;
    } const rows[] = {{"12", 12, true},      {"12345", 9999, true}, {"-3", 1, true},
                      {"0", 0xFFFF, true},   {"", 77, false},       {"abc", 77, false},
                      {"0.4", 0xFFFF, true}, {"-", 77, false}};
    for (const auto& row : rows) {
        value = 77;
        cmcCellCapsule request = typed(row.input);
        EXPECT_EQ(apply(request), row.changed) << row.input;
        EXPECT_EQ(value, row.after) << row.input;
    }
}

TEST_F(ChannelNumberTest, AnEmptySlotShowsASpaceAndStepsFromZero) {
    cmcCellCapsule paint = shown();
    apply(paint);
    EXPECT_EQ(paint.text, " ");

    cmcCellCapsule space = keyed(cmcCellCapsule::kSpace);
    EXPECT_TRUE(apply(space));
    EXPECT_EQ(value, 1u);

    cmcCellCapsule back = keyed(cmcCellCapsule::kBackspace);
    EXPECT_TRUE(apply(back));
    EXPECT_EQ(value, 9999u); // 1 steps down past the lowest number to the highest
    EXPECT_TRUE(apply(space));
    EXPECT_EQ(value, 1u);

    value = ListEntry::noChannel;
    EXPECT_TRUE(apply(back));
    EXPECT_EQ(value, 9999u);
}

TEST_F(ChannelNumberTest, EnterOnAnEmptySlotOpensAnEmptyEditor) {
    cmcCellCapsule enter = keyed(cmcCellCapsule::kEnter);
    apply(enter);
    EXPECT_EQ(lastResult, kResultOpenEditor);
    EXPECT_EQ(enter.text, "");

    value = 12;
    cmcCellCapsule again = keyed(cmcCellCapsule::kEnter);
    apply(again);
    EXPECT_EQ(again.text, "12");
    EXPECT_EQ(again.selLength, 2);

    cmcCellCapsule letter = keyed('x');
    apply(letter);
    EXPECT_EQ(lastResult, kResultNone);
}

class TimerTest : public ::testing::Test {
protected:
    TimerTest() { texts.SetLines(lines); }

    bool apply(cmcCellCapsule& request, const cmcTimerForm& form) {
        lastResult = kResultNone;
        return timer(request, value, form, texts, lastResult);
    }

    static constexpr std::array<const char*, 5> lines = {
        "#GI_AppInd_TimerOff", "Off", "#GI_AppInd_TimerAuto", "Auto", "#End_Of_Ovl"};
    const cmcTimerForm callTime{.scale = 1, .lo = 0, .hi = 100, .kind = cmcTimerKind::Auto};
    const cmcTimerForm offTimer{
        .scale = 1000, .lo = 0, .hi = 60000, .kind = cmcTimerKind::Off, .decimals = 3};
    cmcGTex texts;
    std::int32_t value = 0;
    std::uint8_t lastResult = kResultNone;
};

TEST_F(TimerTest, ZeroShowsTheAutoWordAndAutoInAnyCaseSetsZero) {
    cmcCellCapsule paint = shown();
    apply(paint, callTime);
    EXPECT_EQ(paint.text, "Auto");

    for (const char* word : {"AUTO", "auto", "Au", "aUtOmatic"}) {
        value = 30;
        cmcCellCapsule request = typed(word);
        EXPECT_TRUE(apply(request, callTime)) << word;
        EXPECT_EQ(value, 0) << word;
    }
    for (const char* notAWord : {"a", "of", "xyz", ""}) {
        value = 30;
        cmcCellCapsule request = typed(notAWord);
        EXPECT_FALSE(apply(request, callTime)) << notAWord;
        EXPECT_EQ(value, 30) << notAWord;
    }
}

TEST_F(TimerTest, NumbersAreTruncatedAndLimited) {
    for (auto [input, expected] : {std::pair{"45", 45}, {"150", 100}, {"12.7", 12}, {"-8", 8}}) {
        cmcCellCapsule request = typed(input);
        EXPECT_TRUE(apply(request, callTime)) << input;
        EXPECT_EQ(value, expected) << input;
    }
    cmcCellCapsule huge = typed(manyDigits());
    EXPECT_TRUE(apply(huge, offTimer));
    EXPECT_EQ(value, 60000);
}

TEST_F(TimerTest, KeysWrapAndStartTheEditorOnTheKindsLetters) {
    value = 100;
    cmcCellCapsule space = keyed(cmcCellCapsule::kSpace);
    EXPECT_TRUE(apply(space, callTime));
    EXPECT_EQ(value, 0);
    cmcCellCapsule back = keyed(cmcCellCapsule::kBackspace);
    EXPECT_TRUE(apply(back, callTime));
    EXPECT_EQ(value, 100);

    for (auto [key, kind, opens] : {std::tuple{'a', cmcTimerKind::Auto, true},
                                    {'A', cmcTimerKind::Auto, true},
                                    {'o', cmcTimerKind::Auto, false},
                                    {'o', cmcTimerKind::Off, true},
                                    {'.', cmcTimerKind::Off, true},
                                    {'.', cmcTimerKind::Auto, false},
                                    {'7', cmcTimerKind::Auto, true}}) {
        cmcCellCapsule request = keyed(key);
        cmcTimerForm form = callTime;
        form.kind = kind;
        apply(request, form);
        EXPECT_EQ(lastResult, opens ? kResultOpenEditor : kResultNone) << key;
    }

    value = 30;
    cmcCellCapsule enter = keyed(cmcCellCapsule::kEnter);
    apply(enter, callTime);
    EXPECT_EQ(enter.text, "30");
    EXPECT_EQ(lastResult, kResultOpenEditor);
}

TEST_F(TimerTest, OffKindDropsTrailingZerosAndThePoint) {
    struct {
        std::int32_t value;
        int decimals;
        const char* text;
    } const rows[] = {{0, 3, "Off"},         {5000, 3, "  5"},     {5500, 3, "  5.5"},
                      {5250, 3, "  5.25"},   {5000, 0, "  5.000"}, {5000, 2, "  5.0"},
                      {123456, 3, "123.456"}};
    for (const auto& row : rows) {
        value = row.value;
        cmcTimerForm form = offTimer;
        form.decimals = row.decimals;
        cmcCellCapsule paint = shown();
        apply(paint, form);
        EXPECT_EQ(paint.text, row.text) << row.value;
    }
    cmcCellCapsule request = typed("OFF");
    value = 5000;
    EXPECT_TRUE(apply(request, offTimer));
    EXPECT_EQ(value, 0);
    cmcCellCapsule half = typed("2.5");
    EXPECT_TRUE(apply(half, offTimer));
    EXPECT_EQ(value, 2500);
}

TEST_F(TimerTest, ByteFormStoresTheCallTime) {
    std::uint8_t stored = 0;
    cmcCellCapsule request = typed("42");
    std::uint8_t result = kResultNone;
    EXPECT_TRUE(timerByte(request, stored, callTime, texts, result));
    EXPECT_EQ(stored, 42);
}

} // namespace
