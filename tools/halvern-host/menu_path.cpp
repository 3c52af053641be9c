#include "halvern-host/menu_path.h"

#include <sstream>

namespace halvern::host {

std::vector<std::string> SplitMenuPath(const std::string& path) {
    std::vector<std::string> parts;
    std::istringstream in(path);
    for (std::string part; std::getline(in, part, '>');) {
        parts.push_back(part);
    }
    return parts;
}

std::string PlainMenuText(const std::string& text) {
    std::string plain;
    for (char c : text.substr(0, text.find('\t'))) {
        if (c != '&') {
            plain += c;
        }
    }
    return plain;
}

}  // namespace halvern::host
