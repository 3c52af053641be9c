#pragma once

// Names in scenery files are 8-bit texts in the host's code page, Windows-1252.

#include <string>

namespace halvern::scenery {

// Converts UTF-8 text to Windows-1252; characters the code page lacks, and malformed bytes,
// become '?'.
std::string Windows1252FromUtf8(const std::string& utf8);

}  // namespace halvern::scenery
