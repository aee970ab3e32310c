#include "core/timeout.h"
#include "support/eventLoop.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t fakeClock() {
    return fakeNow;
}

} // namespace

TEST(Tick, CountsDownAndDisarmsAtExpiry) {
    Timeout tick(&fakeClock);
    EXPECT_FALSE(tick.Armed());
    EXPECT_EQ(tick.Remaining(), 0u);

    fakeNow = 5000;
    tick.Start(1000);
    EXPECT_TRUE(tick.Armed());
    EXPECT_EQ(tick.Remaining(), 1000u);
    fakeNow = 5400;
    EXPECT_EQ(tick.Remaining(), 600u);
    fakeNow = 5999;
    EXPECT_EQ(tick.Remaining(), 1u);
    EXPECT_TRUE(tick.Armed());
    fakeNow = 6000;
    EXPECT_EQ(tick.Remaining(), 0u);
    EXPECT_FALSE(tick.Armed());
    fakeNow = 5500; // even a time that would be inside the old span stays expired
    EXPECT_EQ(tick.Remaining(), 0u);

    tick.Start(100);
    EXPECT_EQ(tick.Remaining(), 100u);
}

TEST(Tick, WrapOfTheCounterReadsAsAShortTime) {
    Timeout tick(&fakeClock);
    fakeNow = 0xFFFFFF00u;
    tick.Start(1000);
    fakeNow = 0x00000010u; // 0x110 ms later
    EXPECT_EQ(tick.Remaining(), 1000u - 0x110u);
}

TEST(Tick, ZeroDurationExpiresAtOnce) {
    Timeout tick(&fakeClock);
    tick.Start(0);
    EXPECT_EQ(tick.Remaining(), 0u);
    EXPECT_FALSE(tick.Armed());
}

TEST(Tick, ExpiresOnTheSystemClock) {
    Timeout tick;
    tick.Start(1000);
    const std::uint32_t left = tick.Remaining();
    EXPECT_GT(left, 0u);
    EXPECT_LE(left, 1000u);

    tick.Start(30);
    ASSERT_TRUE(runEventLoopUntil([&] { return tick.Remaining() == 0; }));
    EXPECT_FALSE(tick.Armed());
}
