// halvern-host for Windows: the substitute host with a real window, timer, menus and dialogs.
// It loads the module as the simulator does and flies a scripted flight, printing the overlay
// lines the module hands over, drawing them in its window.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "halvern-host/host_arguments.h"
#include "halvern-host/win32/win32_host.h"
#include "tool_main.h"

namespace {

constexpr const char* kUsage =
    "usage: halvern-host --module FILE --simdir DIR --script FILE [--out DIR] [--every N]\n"
    "                    [--changes-only] [--x87-precision 53] [--tick-ms N]\n"
    "                    [--snapshot-marker FILE [--snapshot-of options|menu|progress]]\n"
    "\n"
    "Installs the module FILE in DIR\\Modules, loads it, fills its import table with a chain\n"
    "service, a text service and a simulation variables block, calls ModuleInit, opens a main\n"
    "window with a menu bar, and flies the script (see docs/flight-script.md), one chain event\n"
    "per tick of the window's timer (every --tick-ms milliseconds, default 10). It prints what\n"
    "the portable host prints and draws the overlay in its window. Message boxes the module\n"
    "shows are printed and answered with OK.\n"
    "\n"
    "--x87-precision 53  sets the x87 precision control to 53 bits before loading the module\n"
    "--snapshot-marker F when the options dialog opens, creates F and waits until it is gone\n"
    "--snapshot-of menu  ... instead when the first menu action has opened its menu path\n"
    "--snapshot-of progress ... instead when the progress window of a cache miss is halfway\n";

}  // namespace

// The longest timer period taken, in milliseconds.
constexpr long kLongestTick = 60000;

int Run(int argc, char** argv) {
    halvern::host::Win32RunOptions options;
    const auto extra = [&options](const std::vector<std::string>& args, std::size_t& i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--x87-precision" && hasValue && args[i + 1] == "53") {
            options.x87Precision53 = true;
            ++i;
        } else if (args[i] == "--tick-ms" && hasValue) {
            long milliseconds = 0;
            if (!halvern::host::ParseCount(args[i + 1], kLongestTick, milliseconds)) {
                return false;  // reported as a bad argument
            }
            options.tickMilliseconds = static_cast<unsigned>(milliseconds);
            ++i;
        } else if (args[i] == "--snapshot-marker" && hasValue) {
            options.snapshotMarker = args[++i];
        } else if (args[i] == "--snapshot-of" && hasValue) {
            const std::string& moment = args[++i];
            if (moment == "options") {
                options.snapshotOf = halvern::host::SnapshotMoment::kOptionsDialog;
            } else if (moment == "menu") {
                options.snapshotOf = halvern::host::SnapshotMoment::kModuleMenu;
            } else if (moment == "progress") {
                options.snapshotOf = halvern::host::SnapshotMoment::kProgressWindow;
            } else {
                return false;
            }
        } else {
            return false;
        }
        return true;
    };
    const int status = halvern::host::ParseHostArguments(
        std::vector<std::string>(argv + 1, argv + argc), kUsage, options.run, extra);
    if (status >= 0) {
        return status;
    }
    return halvern::host::RunWin32Host(options, stdout);
}

int main(int argc, char** argv) {
    return halvern::tool::RunReportingFailures("halvern-host", [&] { return Run(argc, argv); });
}
