#pragma once

// The module composes every path in the host's form, with backslash separators, so that path
// tests and the scenery fingerprint behave alike on every platform. Only when the operating
// system is called is each backslash turned back into a slash.

#include <string>

namespace halvern::platform {

inline std::string NativePath(const char* hostPath) {
    std::string path(hostPath);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

}  // namespace halvern::platform
