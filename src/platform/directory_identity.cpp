#include "platform/directory_identity.h"

#include "platform/ascii_case.h"

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

}  // namespace halvern::platform
