#pragma once

// Texts of the report in UTF-8, as JSON and HTML carry them: airport names are in the host's
// code page, Windows-1252; paths in the form the operating system's narrow functions take (the
// ANSI code page on Windows, bytes elsewhere).

#include <string>

namespace halvern::tool {

std::string Utf8Name(const char* name);

// Bytes that do not form UTF-8 (a POSIX file name may hold any) stay as they are: the JSON
// writer replaces them with U+FFFD, as a browser does in the HTML page.
std::string Utf8Path(const std::string& path);

}  // namespace halvern::tool
