#pragma once
// Time-out arithmetic for transfers in one small place: a deadline on the
// monotonic clock, and the poll() time-out that is left until it.
#include <chrono>
#include <cstdint>

class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    // Longest budget a deadline takes: a hundred days. A longer one is cut
    // to this, never turned into "no time-out", so that the write time-out
    // of a very long command still ends it.
    static constexpr std::uint64_t kMaxMs = 100ULL * 24 * 3600 * 1000;

    static Deadline never() { return Deadline(Clock::time_point::max()); }
    static Deadline in(std::uint64_t ms, Clock::time_point now = Clock::now())
    {
        if (ms > kMaxMs)
            ms = kMaxMs;
        return Deadline(now + std::chrono::milliseconds(ms));
    }

    bool isNever() const { return m_at == Clock::time_point::max(); }
    bool expired(Clock::time_point now = Clock::now()) const { return !isNever() && now >= m_at; }

    // Milliseconds for poll(): -1 waits forever, 0 when expired, and a part
    // of a millisecond is rounded up so that a wait never ends early.
    int pollTimeout(Clock::time_point now = Clock::now()) const
    {
        if (isNever())
            return -1;
        if (now >= m_at)
            return 0;
        auto us = std::chrono::duration_cast<std::chrono::microseconds>(m_at - now).count();
        auto ms = (us + 999) / 1000;
        return ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(ms);
    }
    // The same, but never longer than `sliceMs`: for waits that look up in
    // between (progress, cancel).
    int pollSlice(int sliceMs, Clock::time_point now = Clock::now()) const
    {
        const int t = pollTimeout(now);
        return (t < 0 || t > sliceMs) ? sliceMs : t;
    }

private:
    explicit Deadline(Clock::time_point t) : m_at(t) {}
    Clock::time_point m_at;
};
