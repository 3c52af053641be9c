#include "integration/run_tool.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace halvern::testing {

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

ToolRun RunTool(const std::string& command) {
    const std::filesystem::path errorFile =
        std::filesystem::temp_directory_path() /
        ("halvern-stderr-" + std::to_string(reinterpret_cast<std::uintptr_t>(&command)));
    ToolRun run;
    std::FILE* pipe = ::popen((command + " 2>" + Quoted(errorFile.string())).c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[65536];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, read);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errorFile, std::ios::binary);
    run.error.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::filesystem::remove(errorFile);
    return run;
}

}  // namespace halvern::testing
