#pragma once

// Menu paths of the flight script ("Modules>Halvern>Show airports") and the menu texts they are
// compared with.

#include <string>
#include <vector>

namespace halvern::host {

// The path's item texts, split at '>'.
std::vector<std::string> SplitMenuPath(const std::string& path);

// The text as a menu search compares it: without ampersands and without the accelerator.
std::string PlainMenuText(const std::string& text);

}  // namespace halvern::host
