#include "geo/argument_reduction.h"

#include <cstdint>
#include <cstring>

namespace halvern::rmath {

namespace {

using dd::Double2;

// pi/2 in four parts for the reduction of moderate arguments: the first three have 33
// significant bits, so that their products with a quadrant count below 2^20 are exact.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2e0p-69;
constexpr double kHalfPi4 = 0x1.b839a252049c1p-104;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kModerateLimit = 0x1p+20;

// The binary digits of 2/pi, 32 to a word, from the first after the point: enough for the
// exact reduction of every double.
constexpr std::uint32_t kTwoOverPiBits[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
    0xA9E39161, 0x5EE61B08, 0x65991F1C, 0x21BE3DD6, 0x1D11A6B1, 0xA28B4FBB, 0x6F5E4A81, 0xDE20E4A2,
    0x42B28DA9, 0xF06F7E77,
};

// Moderate arguments (|x| < 2^20): Cody and Waite's reduction with pi/2 in four parts.
Reduced ReduceModerate(double x) {
    const double k = dd::NearestInteger(x * kTwoOverPi);
    if (k == 0) {
        return {{x, 0}, 0};
    }
    // x - k * p1 is exact (the two are within a factor of two of each other, or k is 0), and
    // so are the products with the first three parts.
    Double2 r{x - k * kHalfPi1, 0};
    r = dd::Subtract(r, Double2{k * kHalfPi2, 0});
    r = dd::Subtract(r, Double2{k * kHalfPi3, 0});
    r = dd::Subtract(r, dd::TwoProduct(k, kHalfPi4));
    const auto quadrant = static_cast<std::int64_t>(k);
    return {r, static_cast<int>(quadrant & 3)};
}

// Large arguments: x = m * 2^e exactly, and x * 2/pi modulo 4 from the digits of 2/pi that
// matter (Payne and Hanek), in 32-bit integer words.
Reduced ReduceLarge(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t mantissa =
        (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e = biased - 1075;  // x = mantissa * 2^e, e >= -32 here
    // Digit i of 2/pi (the i-th after the point) weighs 2^(e - i) in x * 2/pi; digits with
    // e - i >= 2 add multiples of 4 and drop out. The window starts at the word holding digit
    // e - 1 and is eight words long: even where x lies within 2^-61 of a multiple of pi/2, as
    // close as a double comes, over 106 bits of the remainder survive.
    const int first = e - 1 < 1 ? 1 : e - 1;
    const int word = (first - 1) / 32;
    constexpr int kWindow = 8;
    // The product mantissa * window, least significant word first.
    std::uint32_t product[kWindow + 2] = {};
    const std::uint32_t m[2] = {static_cast<std::uint32_t>(mantissa),
                                static_cast<std::uint32_t>(mantissa >> 32)};
    for (int i = 0; i < kWindow; ++i) {
        const std::uint64_t digit = kTwoOverPiBits[word + kWindow - 1 - i];
        std::uint64_t carry = 0;
        for (int k = 0; k < 2; ++k) {
            const std::uint64_t sum = product[i + k] + digit * m[k] + carry;
            product[i + k] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
        for (int k = i + 2; carry != 0 && k < kWindow + 2; ++k) {
            const std::uint64_t sum = product[k] + carry;
            product[k] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
    }
    // The product's last word weighs 2^(e - 32 * (word + kWindow)); the point lies
    // `fraction` bits above its lowest bit.
    const int fraction = 32 * (word + kWindow) - e;
    // Shift left so that the point falls on a word boundary: fraction + shift = 32 * words.
    const int shift = (32 - fraction % 32) % 32;
    const int fractionWords = (fraction + shift) / 32;
    std::uint32_t shifted[kWindow + 3] = {};
    for (int i = 0; i < kWindow + 2; ++i) {
        const std::uint64_t wide = static_cast<std::uint64_t>(product[i]) << shift;
        shifted[i] |= static_cast<std::uint32_t>(wide);
        shifted[i + 1] |= static_cast<std::uint32_t>(wide >> 32);
    }
    // The integer part modulo 4 and the fraction's words, most significant first.
    int quadrant = static_cast<int>(shifted[fractionWords] & 3);
    std::uint32_t words[kWindow + 2] = {};
    for (int i = 0; i < fractionWords; ++i) {
        words[i] = shifted[fractionWords - 1 - i];
    }
    // A fraction of a half or more rounds the quadrant up and leaves fraction - 1 < 0: its
    // magnitude is the two's complement.
    bool negative = false;
    if ((words[0] & 0x80000000u) != 0) {
        negative = true;
        quadrant = (quadrant + 1) & 3;
        std::uint64_t borrow = 1;
        for (int i = fractionWords - 1; i >= 0; --i) {
            const std::uint64_t value = static_cast<std::uint64_t>(~words[i]) + borrow;
            words[i] = static_cast<std::uint32_t>(value);
            borrow = value >> 32;
        }
    }
    Double2 f{0, 0};
    double weight = 0x1p-32;
    for (int i = 0; i < fractionWords; ++i) {
        f = dd::Add(f, Double2{static_cast<double>(words[i]) * weight, 0});
        weight *= 0x1p-32;
    }
    Double2 r = dd::Multiply(f, kHalfPi);
    if (negative) {
        r = dd::Negated(r);
    }
    return {r, quadrant};
}

}  // namespace

Reduced ReduceQuarterTurns(double x) {
    return x < kModerateLimit ? ReduceModerate(x) : ReduceLarge(x);
}

}  // namespace halvern::rmath
