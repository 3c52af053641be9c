#include "platform/directory_spellings.h"

#include <algorithm>

namespace halvern::platform {

std::vector<std::string> DirectorySpellings(const std::string& argument) {
    std::vector<std::string> unique;
    for (std::string& spelling : SpellingsOfDirectory(argument)) {
        if (std::find(unique.begin(), unique.end(), spelling) == unique.end()) {
            unique.push_back(std::move(spelling));
        }
    }
    return unique;
}

}  // namespace halvern::platform
