#include "overlay/distance_text.h"

namespace halvern {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

std::int32_t ParseDistanceText(const char* text) {
    const char* c = text;
    while (IsBlank(*c)) {
        ++c;
    }
    bool negative = false;
    if (*c == '+' || *c == '-') {
        negative = *c == '-';
        ++c;
    }
    if (*c < '0' || *c > '9') {
        return -1;
    }
    // Accumulated in 64 bits and held at the first value past the 32-bit range.
    std::int64_t magnitude = 0;
    for (; *c >= '0' && *c <= '9'; ++c) {
        if (magnitude <= INT32_MAX) {
            magnitude = magnitude * 10 + (*c - '0');
        }
    }
    if (negative) {
        return magnitude > INT32_MAX ? INT32_MIN : static_cast<std::int32_t>(-magnitude);
    }
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}

}  // namespace halvern
