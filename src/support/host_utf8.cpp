#include "support/host_utf8.h"

#include <optional>

namespace halvern {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The number of continuation bytes a lead byte asks for; 0 for a byte that leads nothing.
int ContinuationsOf(unsigned char lead) {
    return lead >= 0xC2 && lead <= 0xDF   ? 1
           : lead >= 0xE0 && lead <= 0xEF ? 2
           : lead >= 0xF0 && lead <= 0xF4 ? 3
                                          : 0;
}

// The value of the character whose lead byte stands before `at` and whose continuations end at
// `end`, checked byte by byte as the system checks it; none where a byte fails (an overlong
// form, a surrogate, a value beyond U+10FFFF or a byte that continues nothing), `at` then left
// at the byte that failed, or after it where the system has already taken it.
std::optional<char32_t> Continued(std::string_view bytes, unsigned char lead, int continuations,
                                  std::size_t end, std::size_t& at) {
    constexpr unsigned char kLeadMasks[] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = lead & kLeadMasks[continuations];
    const auto next = [&](std::size_t back) {
        return static_cast<unsigned char>(bytes[end - back]) ^ 0x80u;
    };
    if (continuations == 3) {
        if (next(3) >= 0x40) {
            return std::nullopt;
        }
        value = (value << 6) | next(3);
        ++at;
        if (value < 0x10) {
            return std::nullopt;
        }
    }
    if (continuations >= 2) {
        if (next(2) >= 0x40) {
            return std::nullopt;
        }
        value = (value << 6) | next(2);
        if (value >= (0x110000 >> 6)) {
            return std::nullopt;
        }
        ++at;
        if (value < 0x20 || (value >= (0xD800 >> 6) && value <= (0xDFFF >> 6))) {
            return std::nullopt;
        }
    }
    if (next(1) >= 0x40) {
        return std::nullopt;
    }
    value = (value << 6) | next(1);
    ++at;
    if (value < 0x80) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::u16string UnitsOfUtf8(std::string_view bytes, std::vector<std::size_t>* starts) {
    std::u16string units;
    units.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t start = at;
        const auto lead = static_cast<unsigned char>(bytes[at++]);
        // Each unit made of this byte and those it leads starts where it does.
        const auto noteStarts = [&] {
            if (starts != nullptr) {
                starts->resize(units.size(), start);
            }
        };
        if (lead < 0x80) {
            units += static_cast<char16_t>(lead);
            noteStarts();
            continue;
        }
        const int continuations = ContinuationsOf(lead);
        if (continuations == 0) {
            units += kReplacement;
            noteStarts();
            continue;
        }
        const std::size_t end = at + static_cast<std::size_t>(continuations);
        if (end > bytes.size()) {
            units += kReplacement;
            noteStarts();
            break;
        }
        const std::optional<char32_t> value = Continued(bytes, lead, continuations, end, at);
        if (!value) {
            units += kReplacement;
        } else if (*value >= 0x10000) {
            const char32_t above = *value - 0x10000;
            units += static_cast<char16_t>(0xD800 + (above >> 10));
            units += static_cast<char16_t>(0xDC00 + (above & 0x3FF));
        } else {
            units += static_cast<char16_t>(*value);
        }
        noteStarts();
    }
    if (starts != nullptr) {
        starts->push_back(bytes.size());
    }
    return units;
}

}  // namespace halvern
