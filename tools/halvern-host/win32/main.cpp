// halvern-host for Windows: the substitute host with a real window, timer, menus and dialogs.
// It loads the module as the simulator does and flies a scripted flight, printing the overlay
// lines the module hands over, drawing them in its window.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "halvern-host/win32/win32_host.h"

namespace {

constexpr const char* kUsage =
    "usage: halvern-host --module FILE --simdir DIR --script FILE [--out DIR] [--every N]\n"
    "                    [--changes-only] [--x87-precision 53] [--tick-ms N]\n"
    "                    [--snapshot-marker FILE]\n"
    "\n"
    "Installs the module FILE in DIR\\Modules, loads it, fills its import table with a chain\n"
    "service, a text service and a simulation variables block, calls ModuleInit, opens a main\n"
    "window with a menu bar, and flies the script (see docs/flight-script.md), one chain event\n"
    "per tick of the window's timer (every --tick-ms milliseconds, default 10). It prints what\n"
    "the portable host prints and draws the overlay in its window. Message boxes the module\n"
    "shows are printed and answered with OK.\n"
    "\n"
    "--x87-precision 53  sets the x87 precision control to 53 bits before loading the module\n"
    "--snapshot-marker F when the options dialog opens, creates F and waits until it is gone\n";

}  // namespace

int main(int argc, char** argv) {
    halvern::host::Win32RunOptions options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--changes-only") {
            options.run.changesOnly = true;
        } else if (arg == "--module" && hasValue) {
            options.run.modulePath = args[++i];
        } else if (arg == "--simdir" && hasValue) {
            options.run.simulatorDir = args[++i];
        } else if (arg == "--script" && hasValue) {
            options.run.scriptPath = args[++i];
        } else if (arg == "--every" && hasValue) {
            options.run.every = std::atol(args[++i].c_str());
        } else if (arg == "--out" && hasValue) {
            options.run.outputDir = args[++i];
        } else if (arg == "--x87-precision" && hasValue && args[i + 1] == "53") {
            options.x87Precision53 = true;
            ++i;
        } else if (arg == "--tick-ms" && hasValue) {
            options.tickMilliseconds = static_cast<unsigned>(std::atol(args[++i].c_str()));
        } else if (arg == "--snapshot-marker" && hasValue) {
            options.snapshotMarker = args[++i];
        } else {
            std::fprintf(stderr, "halvern-host: unknown or incomplete argument '%s'\n",
                         arg.c_str());
            return 2;
        }
    }
    if (options.run.modulePath.empty() || options.run.simulatorDir.empty() ||
        options.run.scriptPath.empty()) {
        std::fprintf(stderr, "halvern-host: --module, --simdir and --script are needed\n");
        return 2;
    }
    return halvern::host::RunWin32Host(options, stdout);
}
