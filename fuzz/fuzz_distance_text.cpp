// The options dialog's distance text: whatever the edit control holds (at most 254 characters,
// as the dialog reads it, or any length) must parse as "%d" would, with numbers beyond the
// 32-bit range held at its ends. The C library's strtoll, clamped, is the reference.

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz_common.h"
#include "overlay/distance_text.h"

namespace {

std::int32_t Reference(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text) {
        return -1;
    }
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

void ParseExactly(const char* bytes, std::size_t length) {
    std::unique_ptr<char[]> text(new char[length + 1]);
    std::memcpy(text.get(), bytes, length);
    text[length] = '\0';
    halvern::fuzz::Check(halvern::ParseDistanceText(text.get()) == Reference(text.get()),
                         "the distance differs from the reference parse");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    // The dialog reads the edit into 255 characters with the terminator.
    ParseExactly(bytes, size < 254 ? size : 254);
    ParseExactly(bytes, size);
    return 0;
}
