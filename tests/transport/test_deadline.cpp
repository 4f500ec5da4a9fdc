// The time-out arithmetic every transport shares.
#include "transport/comhost_posix.h"
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

// A serial write's time-out: the multiplier for each byte plus the
// constant, none when both are 0; from the last byte the device took it
// counts again for the bytes still to go.
TEST(Deadline, SerialWriteTimeOutIsMultiplierTimesBytesPlusConstant)
{
    const struct {
        std::uint32_t multiplier, constant, bytes;
        int ms; // -1: never
    } rows[] = {{10, 200, 5, 250}, {0, 300, 1000, 300}, {100, 0, 3, 300}, {7, 1, 0, 1}, {0, 0, 9, -1}, {3, 0, 0, 0}};
    for (const auto &r : rows) {
        const Deadline d = comhost::posix::transferDeadline(r.multiplier, r.constant, r.bytes);
        const int left = d.pollTimeout();
        if (r.ms < 0)
            EXPECT_TRUE(d.isNever()) << r.multiplier << " " << r.constant;
        else
            EXPECT_TRUE(left <= r.ms && left >= r.ms - 5) << r.multiplier << " " << r.constant << ": " << left;
    }
}
