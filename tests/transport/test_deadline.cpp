// The time-out arithmetic every transport shares.
#include "transport/deadline.h"

#include <gtest/gtest.h>

using namespace std::chrono;

TEST(Deadline, BudgetsAreRoundedUpAndExpire)
{
    const auto now = Deadline::Clock::now();
    const Deadline d = Deadline::in(10, now);
    EXPECT_FALSE(d.isNever());
    EXPECT_EQ(d.pollTimeout(now), 10);
    EXPECT_EQ(d.pollTimeout(now + microseconds(9001)), 1); // a part of a millisecond still waits
    EXPECT_EQ(d.pollTimeout(now + milliseconds(10)), 0);
    EXPECT_FALSE(d.expired(now + microseconds(9999)));
    EXPECT_TRUE(d.expired(now + milliseconds(10)));
    EXPECT_TRUE(Deadline::in(0, now).expired(now));
}

TEST(Deadline, HugeBudgetsAreClampedNotTurnedIntoNever)
{
    // 100 ms a byte over 10 MB is about 11.6 days: that must still time out.
    const auto now = Deadline::Clock::now();
    for (std::uint64_t ms : {std::uint64_t(86400001), std::uint64_t(1000000000), ~std::uint64_t(0)}) {
        const Deadline d = Deadline::in(ms, now);
        EXPECT_FALSE(d.isNever()) << ms;
        EXPECT_GT(d.pollTimeout(now), 0) << ms;
        EXPECT_TRUE(d.expired(now + milliseconds(Deadline::kMaxMs))) << ms;
    }
    // Below the clamp a budget over a day is kept as it is.
    const Deadline twoDays = Deadline::in(2 * 86400000ULL, now);
    EXPECT_FALSE(twoDays.expired(now + hours(47)));
    EXPECT_TRUE(twoDays.expired(now + hours(48)));
}

TEST(Deadline, NeverWaitsForeverAndSlicesAreBounded)
{
    const Deadline never = Deadline::never();
    EXPECT_TRUE(never.isNever());
    EXPECT_EQ(never.pollTimeout(), -1);
    EXPECT_FALSE(never.expired(Deadline::Clock::time_point::max() - hours(1)));
    EXPECT_EQ(never.pollSlice(50), 50);
    const auto now = Deadline::Clock::now();
    EXPECT_EQ(Deadline::in(20, now).pollSlice(50, now), 20);
    EXPECT_EQ(Deadline::in(5000, now).pollSlice(50, now), 50);
}
