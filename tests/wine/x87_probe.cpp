// Shows whether the x87 precision control takes effect where the Wine suite runs (a processor,
// or an emulator of one): each operation is computed with the control word at 64 and at 53
// bits. At 53 bits the result must be the 64-bit one rounded to a double, and the 64-bit one
// must not fit in a double; otherwise the suite's 53-bit cases would run the module at 64 bits
// and test nothing. One line per operation; exit status 1 where the control has no effect.

#include "platform/extended_precision.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

using halvern::platform::kX87Precision53;
using halvern::platform::kX87Precision64;
using halvern::platform::kX87PrecisionMask;
using halvern::platform::ReadX87ControlWord;
using halvern::platform::WriteX87ControlWord;

// Read from memory at run time, so that nothing is computed by the compiler.
volatile long double one = 1.0L, two = 2.0L, three = 3.0L, tiny = 0x1p-60L, nearOne = 1 + 0x1p-30L;

struct Operation {
    const char* name;
    long double (*compute)();
};
const Operation kOperations[] = {
    {"1 + 2^-60", [] { return one + tiny; }},
    {"(1 + 2^-30)^2", [] { return nearOne * nearOne; }},
    {"1 / 3", [] { return one / three; }},
    {"sqrt(2)", [] { return std::sqrt(two); }},
};

// The operation with the precision control at PRECISION, the caller's control word put back.
// The result is stored before the control word is: the arithmetic cannot move past it.
long double At(std::uint16_t precision, const Operation& operation) {
    const std::uint16_t saved = ReadX87ControlWord();
    WriteX87ControlWord(static_cast<std::uint16_t>((saved & ~kX87PrecisionMask) | precision));
    volatile long double result = operation.compute();
    WriteX87ControlWord(saved);
    return result;
}

}  // namespace

int main() {
    int failures = 0;
    std::printf("x87 control word at the start: 0x%04X\n", ReadX87ControlWord());
    for (const Operation& operation : kOperations) {
        const long double extended = At(kX87Precision64, operation);
        const long double rounded = At(kX87Precision53, operation);
        const long double asDouble = static_cast<double>(extended);
        const bool effective = rounded == asDouble && extended != asDouble;
        // The two results are that close that their difference is exact at any precision.
        std::printf("%-14s at 53 bits %a, the 64-bit result %+a from it: %s\n", operation.name,
                    static_cast<double>(rounded), static_cast<double>(extended - rounded),
                    effective ? "rounded to 53 bits" : "NOT rounded to 53 bits");
        failures += effective ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
