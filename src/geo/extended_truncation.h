#pragma once

// Truncation and floor of an x87 extended value into 64 bits, read from the value's bits.
// They give exactly what TruncateToInt64OrZero and FloorToInt64OrZero give (checked_conversion.h)
// for every input, NaN and out-of-range values included, but without the x87 rounding-mode
// switches that a compiler wraps around every float-to-integer conversion; those switches
// dominate the nearby query, which converts every airport of the database.

#include <cstdint>
#include <cstring>
#include <limits>

namespace halvern {

static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "the x87 80-bit format: 64-bit significand with an explicit integer bit");

namespace extended_detail {

// The integer part of |value| when it lies below 2^64, with whether a fraction was cut off.
struct Magnitude {
    bool negative;
    bool inRange;         // |value| < 2^64, and not NaN or infinite
    std::uint64_t whole;  // the integer part of |value|
    bool fraction;        // |value| had a non-zero fraction
};

inline Magnitude Split(long double value) {
    // Bytes 0..7: the significand, integer bit at the top; bytes 8..9: sign and biased exponent.
    std::uint64_t significand = 0;
    std::uint16_t signAndExponent = 0;
    std::memcpy(&significand, &value, sizeof significand);
    std::memcpy(&signAndExponent, reinterpret_cast<const unsigned char*>(&value) + 8,
                sizeof signAndExponent);
    Magnitude m{};
    m.negative = (signAndExponent & 0x8000) != 0;
    const int biased = signAndExponent & 0x7FFF;
    if (biased == 0x7FFF) {
        return m;  // NaN or infinity
    }
    const int exponent = biased - 16383;  // value = significand * 2^(exponent - 63)
    if (exponent >= 64) {
        return m;
    }
    m.inRange = true;
    if (exponent < 0) {
        m.fraction = significand != 0;
    } else if (exponent == 63) {
        m.whole = significand;
    } else {
        const int cut = 63 - exponent;
        m.whole = significand >> cut;
        m.fraction = (significand << (64 - cut)) != 0;
    }
    return m;
}

// The signed value of -whole (or whole) when it fits in 64 bits; `fits` false otherwise.
inline std::int64_t Signed(bool negative, std::uint64_t whole, bool& fits) {
    constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
    fits = negative ? whole <= kTop : whole < kTop;
    if (!fits) {
        return 0;
    }
    // Two's complement negation in unsigned arithmetic: -2^63 has no positive counterpart.
    return negative ? static_cast<std::int64_t>(0u - whole) : static_cast<std::int64_t>(whole);
}

}  // namespace extended_detail

// As TruncateToInt64OrZero: toward zero; NaN and results outside the signed 64-bit range give 0.
inline std::int64_t TruncateExtendedToInt64OrZero(long double value) {
    const extended_detail::Magnitude m = extended_detail::Split(value);
    bool fits = false;
    const std::int64_t result = extended_detail::Signed(m.negative, m.whole, fits);
    return m.inRange && fits ? result : 0;
}

// As FloorToInt64OrZero: toward minus infinity; NaN and results outside the range give 0.
inline std::int64_t FloorExtendedToInt64OrZero(long double value) {
    extended_detail::Magnitude m = extended_detail::Split(value);
    if (!m.inRange) {
        return 0;
    }
    // A negative value with a fraction floors one further from zero.
    if (m.negative && m.fraction) {
        if (m.whole == std::numeric_limits<std::uint64_t>::max()) {
            return 0;
        }
        ++m.whole;
    }
    bool fits = false;
    const std::int64_t result = extended_detail::Signed(m.negative, m.whole, fits);
    return fits ? result : 0;
}

}  // namespace halvern
