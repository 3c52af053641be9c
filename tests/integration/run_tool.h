#pragma once

// Runs one of the project's command-line tools and captures what it printed.

#include <string>

namespace halvern::testing {

struct ToolRun {
    int status = -1;    // the exit status
    std::string out;    // standard output
    std::string error;  // standard error
};

// Runs `command` (a shell command line) and collects its exit status and both streams.
ToolRun RunTool(const std::string& command);

// Quotes a word for the shell.
std::string Quoted(const std::string& word);

}  // namespace halvern::testing
