#include "platform/directory_identity.h"

#include <cstring>

#include "support/ascii_case.h"

namespace halvern::platform {

std::string NormalisedSpelling(std::string_view hostPath) {
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    std::string spelling;
    spelling.reserve(hostPath.size());
    std::size_t at = 0;
    while (at < hostPath.size()) {
        if (isSeparator(hostPath[at])) {
            // A run of separators is one, kept only once: before the first step of a rooted
            // path, or between steps.
            if (spelling.empty() || spelling.back() != '\\') {
                spelling += '\\';
            }
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < hostPath.size() && !isSeparator(hostPath[end])) {
            ++end;
        }
        const std::string_view step = hostPath.substr(at, end - at);
        // "." names the directory it stands in; its separator goes with it.
        if (step == "." && end < hostPath.size()) {
            at = end + 1;
            continue;
        }
        if (step != ".") {
            spelling += FoldedAscii(step);
        }
        at = end;
    }
    return spelling;
}

std::string IdentityKey(std::uint64_t device, std::uint64_t file) {
    // A marker and the two numbers' bytes: no spelling key starts with the marker.
    std::string key(1 + sizeof device + sizeof file, 'i');
    std::memcpy(key.data() + 1, &device, sizeof device);
    std::memcpy(key.data() + 1 + sizeof device, &file, sizeof file);
    return key;
}

std::string SpellingKey(std::string_view hostPath) {
    return 'n' + NormalisedSpelling(hostPath);
}

}  // namespace halvern::platform
