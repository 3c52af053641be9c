#pragma once

// Times in the host's count: 100-nanosecond intervals since 1 January 1601.

#include <time.h>

#include <cstdint>
#include <limits>

namespace halvern::platform {

// The host platform counts time from 1 January 1601, which lies this many seconds before
// 1 January 1970.
inline constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
inline constexpr std::uint64_t kIntervalsPerSecond = 10000000;

// A POSIX time in the host's count, its sub-second part included. Times before 1601 read as 0,
// times beyond the 64-bit count as its largest value.
inline std::uint64_t HostTime(const timespec& time) {
    constexpr long kNanosecondsPerInterval = 100;
    // The last second, counted from 1970, whose every interval still fits in 64 bits.
    constexpr std::int64_t kLastRepresentableSecond =
        static_cast<std::int64_t>(std::numeric_limits<std::uint64_t>::max() / kIntervalsPerSecond) -
        kSecondsFrom1601To1970 - 1;
    const std::int64_t seconds = time.tv_sec;
    if (seconds < -kSecondsFrom1601To1970) {
        return 0;
    }
    if (seconds > kLastRepresentableSecond) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    const auto whole = static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970);
    const bool validFraction = time.tv_nsec >= 0 && time.tv_nsec < 1000000000;
    const auto intervals =
        validFraction ? static_cast<std::uint64_t>(time.tv_nsec / kNanosecondsPerInterval) : 0;
    return whole * kIntervalsPerSecond + intervals;
}

}  // namespace halvern::platform
