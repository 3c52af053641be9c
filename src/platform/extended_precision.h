#pragma once

// Extended precision is the x87 80-bit format: long double with a 64-bit significand, as g++
// gives it on x86-64 and MinGW-w64 gives it on i686. Host programs built with Microsoft's
// runtime often run with the x87 precision control at 53 bits, which would silently round every
// long double operation to double; ExtendedPrecisionScope raises it to 64 bits for the lifetime
// of the scope and puts the caller's setting back afterwards.

#include <cstdint>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "Halvern's conversions need long double with a 64-bit significand");

namespace halvern::platform {

#if defined(__i386__) || defined(__x86_64__)

inline std::uint16_t ReadX87ControlWord() {
    std::uint16_t word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

// The memory clobber makes the write a barrier for memory: nothing read from memory after it is
// taken from before it. Values in registers are tied to it by ExtendedPrecisionScope::Fenced.
inline void WriteX87ControlWord(std::uint16_t word) {
    __asm__ volatile("fldcw %0" : : "m"(word) : "memory");
}

#else
#error "Halvern's extended-precision arithmetic needs an x87 unit (x86 or x86-64)"
#endif

// Bits 8 and 9 of the control word select the significand width: 00 = 24, 10 = 53, 11 = 64.
inline constexpr std::uint16_t kX87PrecisionMask = 0x0300;
inline constexpr std::uint16_t kX87Precision64 = 0x0300;
inline constexpr std::uint16_t kX87Precision53 = 0x0200;

// The guard. Arithmetic on values the compiler holds in registers is not ordered with the
// control-word writes by itself: an optimiser may compute a product of a function's arguments
// before the precision is raised, or the result after it is put back. Fenced(value) passes a
// value through memory at that point of the scope, so that a guarded function reads
// `extended.Fenced(argument)` and returns `extended.Fenced(result)`, and its arithmetic stays in
// between.
class ExtendedPrecisionScope {
  public:
    ExtendedPrecisionScope() : saved_(ReadX87ControlWord()) {
        // The usual case (64 bits already) costs one store of the control word and no reload.
        if ((saved_ & kX87PrecisionMask) != kX87Precision64) {
            WriteX87ControlWord(static_cast<std::uint16_t>(saved_ | kX87Precision64));
            changed_ = true;
        }
    }
    ~ExtendedPrecisionScope() {
        if (changed_) {
            WriteX87ControlWord(saved_);
        }
    }
    ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
    ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;

    template <class T>
    T Fenced(T value) const {
        __asm__ volatile("" : "+m"(value) : : "memory");
        return value;
    }

  private:
    std::uint16_t saved_;
    bool changed_ = false;
};

}  // namespace halvern::platform
