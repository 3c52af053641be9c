#include "halvern-host/host_arguments.h"

#include <charconv>
#include <climits>
#include <cstdio>

namespace halvern::host {

bool ParseCount(const std::string& text, long largest, long& value) {
    const char* end = text.data() + text.size();
    long number = 0;
    const auto result = std::from_chars(text.data(), end, number);
    if (result.ec != std::errc() || result.ptr != end || number < 1 || number > largest) {
        return false;
    }
    value = number;
    return true;
}

int ParseHostArguments(const std::vector<std::string>& args, const char* usage, RunOptions& options,
                       const ExtraArgument& extra) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
        } else if (arg == "--changes-only") {
            options.changesOnly = true;
        } else if (arg == "--module" && hasValue) {
            options.modulePath = args[++i];
        } else if (arg == "--simdir" && hasValue) {
            options.simulatorDir = args[++i];
        } else if (arg == "--script" && hasValue) {
            options.scriptPath = args[++i];
        } else if (arg == "--every" && hasValue) {
            if (!ParseCount(args[++i], LONG_MAX, options.every)) {
                std::fprintf(stderr, "halvern-host: bad value '%s' for --every\n", args[i].c_str());
                return 2;
            }
        } else if (arg == "--out" && hasValue) {
            options.outputDir = args[++i];
        } else if (!extra || !extra(args, i)) {
            std::fprintf(stderr, "halvern-host: unknown or incomplete argument '%s'\n",
                         arg.c_str());
            return 2;
        }
    }
    if (options.modulePath.empty() || options.simulatorDir.empty() || options.scriptPath.empty()) {
        std::fprintf(stderr, "halvern-host: --module, --simdir and --script are needed\n");
        return 2;
    }
    return -1;
}

}  // namespace halvern::host
