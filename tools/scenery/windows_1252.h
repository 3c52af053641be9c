#pragma once

// Names in scenery files are 8-bit texts in the host's code page, Windows-1252.

#include <string>

namespace halvern::scenery {

// Converts UTF-8 text to Windows-1252; characters the code page lacks, and malformed bytes,
// become '?'.
std::string Windows1252FromUtf8(const std::string& utf8);

// Converts Windows-1252 text to UTF-8; the five bytes the code page leaves undefined become
// U+FFFD, so that any byte string gives valid UTF-8.
std::string Utf8FromWindows1252(const std::string& text);

}  // namespace halvern::scenery
