// halvern-host for Windows: the substitute host with a real window, timer, menus and dialogs.
// It loads the module as the simulator does and flies a scripted flight, printing the overlay
// lines the module hands over, drawing them in its window.

#include <cstdio>
#include <string>
#include <vector>

#include "halvern-host/host_arguments.h"
#include "halvern-host/win32/win32_host.h"
#include "tool_main.h"

namespace {

constexpr const char* kDescription =
    "Installs the module FILE in DIR\\Modules, loads it, fills its import table with a chain\n"
    "service, a text service and a simulation variables block, calls ModuleInit, opens a main\n"
    "window with a menu bar, and flies the script, one chain event per tick of the window's\n"
    "timer. It prints what the portable host prints and draws the overlay in its window.\n"
    "Message boxes the module shows are printed and answered with OK.";

// The longest timer period taken, in milliseconds.
constexpr long kLongestTick = 60000;

int Run(int argc, char** argv) {
    using halvern::host::SnapshotMoment;
    halvern::tool::CommandLine line("halvern-host", kDescription);
    halvern::host::Win32RunOptions options;
    halvern::host::AddHostOptions(line, options.run);
    line.add_option_function<std::string>(
            "--x87-precision", [&options](const std::string&) { options.x87Precision53 = true; },
            "sets the x87 precision control to 53 bits before loading the module")
        ->check(CLI::IsMember(std::vector<std::string>{"53"}).description(""))
        ->type_name("53");
    halvern::tool::AddNumber(line, "--tick-ms", options.tickMilliseconds,
                             halvern::tool::Whole(1L, kLongestTick),
                             "the timer's period in milliseconds (default 10)");
    line.add_option("--snapshot-marker", options.snapshotMarker,
                    "at the snapshot's moment, creates FILE and waits until it is gone")
        ->type_name("FILE");
    line.add_option_function<std::string>(
            "--snapshot-of",
            [&options](const std::string& moment) {
                options.snapshotOf = moment == "menu"       ? SnapshotMoment::kModuleMenu
                                     : moment == "progress" ? SnapshotMoment::kProgressWindow
                                                            : SnapshotMoment::kOptionsDialog;
            },
            "the snapshot's moment: options when the options dialog opens (the\n"
            "default), menu when the first menu action has opened its menu path,\n"
            "progress when the progress window of a cache miss is halfway")
        ->check(
            CLI::IsMember(std::vector<std::string>{"options", "menu", "progress"}).description(""))
        ->type_name("MOMENT");
    const int status = line.Parse(argc, argv);
    return status >= 0 ? status : halvern::host::RunWin32Host(options, stdout);
}

}  // namespace

int main(int argc, char** argv) {
    return halvern::tool::RunReportingFailures("halvern-host", [&] { return Run(argc, argv); });
}
