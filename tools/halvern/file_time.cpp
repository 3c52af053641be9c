#include "halvern/file_time.h"

#include <chrono>
#include <cstdio>

namespace halvern::tool {

std::optional<std::string> FileTimeText(std::uint64_t fileTime) {
    using namespace std::chrono;
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    // Seconds from 1601-01-01 to 1970-01-01, and to 10000-01-01.
    constexpr std::int64_t kUnixEpoch = 11644473600;
    constexpr std::uint64_t kYear10000 = 265046774400;
    const std::uint64_t since1601 = fileTime / kTicksPerSecond;
    if (since1601 >= kYear10000) {
        return std::nullopt;
    }
    const sys_seconds time{seconds{static_cast<std::int64_t>(since1601) - kUnixEpoch}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

}  // namespace halvern::tool
