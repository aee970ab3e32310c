#pragma once

#include <cstdint>

namespace marlo {

// The clock a time-out reads: a millisecond count that wraps at 2^32.
using TimeoutClock = std::uint32_t (*)();

// A millisecond time-out on the system tick counter. Elapsed time is taken in
// unsigned 32-bit arithmetic, so a wrap of the counter still reads as a short
// time. The first look at an expired time-out disarms it.
class Timeout {
public:
    // The clock is replaceable so that expiry and wrap can be checked without waiting.
    explicit Timeout(TimeoutClock clock = nullptr);

    void Start(std::uint32_t ms);
    // Milliseconds left; 0 when disarmed or expired (and expiry disarms).
    std::uint32_t Remaining();
    bool Armed() const { return armed_; }

private:
    TimeoutClock clock_;
    std::uint32_t duration_ = 0;
    std::uint32_t start_ = 0;
    bool armed_ = false;
};

} // namespace marlo
