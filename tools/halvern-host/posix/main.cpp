// halvern-host on the portable desktop: the substitute host. It loads the module as the simulator
// does and flies a scripted flight, printing the overlay lines the module hands over and drawing
// pictures. Its window handles every message as it is sent, so the flight runs in a plain loop.

#include <cstdio>

#include "halvern-host/flight_runner.h"
#include "halvern-host/host_arguments.h"
#include "halvern-host/posix/portable_host_window.h"
#include "tool_main.h"

namespace {

constexpr const char* kDescription =
    "Installs the module FILE in DIR/Modules, loads it, fills its import table with a chain\n"
    "service, a text service and a simulation variables block, calls ModuleInit, opens a main\n"
    "window with a menu bar, and flies the script: at every chain event it prints the lines\n"
    "the module handed to the text service, with each line's position in degrees. Pictures of\n"
    "svg actions are written to --out (default: here). Message boxes the module shows are\n"
    "printed and answered with OK.";

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

int Run(int argc, char** argv) {
    halvern::tool::CommandLine line("halvern-host", kDescription);
    halvern::host::RunOptions options;
    halvern::host::AddHostOptions(line, options);
    const int status = line.Parse(argc, argv);
    return status >= 0 ? status : Fly(options);
}

}  // namespace

int main(int argc, char** argv) {
    return halvern::tool::RunReportingFailures("halvern-host", [&] { return Run(argc, argv); });
}
