// halvern-host on the portable desktop: the substitute host. It loads the module as the simulator
// does and flies a scripted flight, printing the overlay lines the module hands over and drawing
// pictures. Its window handles every message as it is sent, so the flight runs in a plain loop.

#include <cstdio>
#include <string>
#include <vector>

#include "halvern-host/flight_runner.h"
#include "halvern-host/host_arguments.h"
#include "halvern-host/posix/portable_host_window.h"
#include "tool_main.h"

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

// Returns the process's exit status: 0, or 2 for bad input or a module that does not load.
int Fly(const halvern::host::RunOptions& options) {
    const std::unique_ptr<halvern::host::HostWindow> window =
        halvern::host::CreatePortableHostWindow();
    halvern::host::FlightRunner runner(options, *window, stdout);
    if (!runner.ReadScript() || !runner.InstallModule()) {
        return 2;
    }
    runner.StartModule();
    if (!runner.OpenWindow()) {
        return 2;
    }
    while (runner.Step()) {
    }
    runner.UnloadModule();
    return runner.ExitStatus();
}

}  // namespace

int Run(int argc, char** argv) {
    halvern::host::RunOptions options;
    const int status = halvern::host::ParseHostArguments(
        std::vector<std::string>(argv + 1, argv + argc), kUsage, options);
    if (status >= 0) {
        return status;
    }
    return Fly(options);
}

int main(int argc, char** argv) {
    return halvern::tool::RunReportingFailures("halvern-host", [&] { return Run(argc, argv); });
}
