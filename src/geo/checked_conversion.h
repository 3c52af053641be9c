#pragma once

// Conversions from floating point to integers with a defined result for every input: NaN,
// infinities and values outside the target range never reach a plain cast (whose result would
// be undefined).

#include <cmath>
#include <cstdint>

namespace halvern {

// Truncates toward zero into 64 bits; NaN and values whose truncation lies outside the signed
// 64-bit range give 0.
inline std::int64_t TruncateToInt64OrZero(long double value) {
    // Both bounds are exact in the 64-bit significand of long double.
    if (!(value > -9223372036854775809.0L && value < 9223372036854775808.0L)) {
        return 0;
    }
    return static_cast<std::int64_t>(value);
}

// Rounds toward minus infinity into 64 bits; NaN and out-of-range values give 0.
inline std::int64_t FloorToInt64OrZero(long double value) {
    return TruncateToInt64OrZero(std::floor(value));
}

// The low 32 bits of a 64-bit integer, as the host's words hold them.
inline std::uint32_t LowWord(std::int64_t value) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value));
}

// Truncates toward zero into 32 bits, saturating at the range ends; NaN gives 0.
inline std::int32_t TruncateToInt32Saturated(long double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= -2147483648.0L) {
        return INT32_MIN;
    }
    if (value >= 2147483647.0L) {
        return INT32_MAX;
    }
    return static_cast<std::int32_t>(value);
}

// Truncates toward zero into 16 bits, saturating at the range ends; NaN gives 0.
inline std::int16_t TruncateToInt16Saturated(long double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= -32768.0L) {
        return INT16_MIN;
    }
    if (value >= 32767.0L) {
        return INT16_MAX;
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace halvern
