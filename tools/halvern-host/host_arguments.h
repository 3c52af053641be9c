#pragma once

// The command line of the substitute hosts: the options both hosts take, and a hook for the
// options of one of them.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "halvern-host/run_options.h"

namespace halvern::host {

// Takes an argument that only this host knows (advancing `i` past its value); false for an
// argument it does not know or whose value is missing.
using ExtraArgument = std::function<bool(const std::vector<std::string>& args, std::size_t& i)>;

// A whole decimal number from 1 to `largest`; false for anything else.
bool ParseCount(const std::string& text, long largest, long& value);

// Parses `args` (without the program name) into `options`. Returns -1 when the host is to run;
// otherwise the exit status: 0 after printing `usage` for --help, 2 after one line on stderr
// for an unknown or incomplete argument, a bad value or a missing --module, --simdir or
// --script.
int ParseHostArguments(const std::vector<std::string>& args, const char* usage, RunOptions& options,
                       const ExtraArgument& extra = nullptr);

}  // namespace halvern::host
