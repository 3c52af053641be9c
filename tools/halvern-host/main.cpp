// halvern-host: the substitute host. It loads the module as the simulator does and flies a
// scripted flight, printing the overlay lines the module hands over and drawing pictures.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "halvern-host/host_run.h"

namespace {

constexpr const char* kUsage =
    "usage: halvern-host --module FILE --simdir DIR --script FILE [--out DIR] [--every N]\n"
    "                    [--changes-only]\n"
    "\n"
    "Installs the module FILE in DIR/Modules, loads it, fills its import table with a chain\n"
    "service, a text service and a simulation variables block, calls ModuleInit, opens a main\n"
    "window with a menu bar, and flies the script (see docs/flight-script.md): at every chain\n"
    "event it prints the lines the module handed to the text service, with each line's\n"
    "position in degrees (with --every N only at every Nth event; with --changes-only only\n"
    "when they differ from the event before). Pictures of svg actions are written to --out\n"
    "(default: here). Message boxes the module shows are printed and answered with OK.\n";

}  // namespace

int main(int argc, char** argv) {
    halvern::host::RunOptions options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
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
            options.every = std::atol(args[++i].c_str());
        } else if (arg == "--out" && hasValue) {
            options.outputDir = args[++i];
        } else {
            std::fprintf(stderr, "halvern-host: unknown or incomplete argument '%s'\n",
                         arg.c_str());
            return 2;
        }
    }
    if (options.modulePath.empty() || options.simulatorDir.empty() || options.scriptPath.empty()) {
        std::fprintf(stderr, "halvern-host: --module, --simdir and --script are needed\n");
        return 2;
    }
    return halvern::host::RunHost(options, stdout);
}
