#pragma once

// Paths handed to the module from outside (a command line, the module file's own path) come in
// the operating system's form; the module works in the host's form, with backslashes.

#include <cstdio>
#include <string>

namespace halvern::platform {

// The host form of a path in the operating system's form.
std::string HostPathFromNative(const std::string& nativePath);

// True when the stream is an interactive terminal (progress is drawn only there).
bool IsTerminal(std::FILE* stream);

}  // namespace halvern::platform
