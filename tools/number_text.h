#pragma once

// The one reader of numbers for the tools' command lines and input files (flight scripts, the
// airports CSV): std::from_chars over the whole text. So no blanks, no '+', no prefix or suffix
// other than the 0x of ReadWhole, and a '-' only where the type is signed.

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

namespace halvern::tool {

// The whole text as a T, in `base` for a whole T; nothing for any other text or a number beyond
// T. A floating-point T reads "inf" and "nan" too.
template <typename T>
std::optional<T> ReadNumber(std::string_view text, int base = 10) {
    T value{};
    const char* end = text.data() + text.size();
    std::from_chars_result read{};
    if constexpr (std::is_floating_point_v<T>) {
        read = std::from_chars(text.data(), end, value);
    } else {
        read = std::from_chars(text.data(), end, value, base);
    }
    return read.ec == std::errc() && read.ptr == end ? std::optional<T>(value) : std::nullopt;
}

inline std::optional<double> ReadFinite(std::string_view text) {
    const std::optional<double> value = ReadNumber<double>(text);
    return value && std::isfinite(*value) ? value : std::nullopt;
}

// A whole number in decimal from `least` to `most`; where `hexMost` is given, also 0x or 0X and
// hexadecimal digits, from 0 to `hexMost`.
template <typename T>
std::optional<T> ReadWhole(std::string_view text, T least, T most, std::optional<T> hexMost = {}) {
    if (hexMost && text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::optional<T> value = ReadNumber<T>(text.substr(2), 16);
        return value && std::cmp_greater_equal(*value, 0) && *value <= *hexMost ? value
                                                                                : std::nullopt;
    }
    const std::optional<T> value = ReadNumber<T>(text);
    return value && *value >= least && *value <= most ? value : std::nullopt;
}

}  // namespace halvern::tool
