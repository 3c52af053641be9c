#pragma once

// The substitute host on Windows: the flight runner driven by the ticks of a real window's timer
// on the window's thread, the script acted out through real messages, the window-chain actions,
// and what only this host can observe: the windows made during ModuleInit, the x87 control word,
// the procedure at the head of the main window's chain at the end. It prints what the portable
// host prints, in the same format, so that the two can be compared line by line.

#include <cstdio>
#include <string>

#include "halvern-host/run_options.h"
#include "halvern-host/win32/screen_snapshot.h"

namespace halvern::host {

struct Win32RunOptions {
    RunOptions run;
    // Sets the x87 precision control to 53 bits before the module is loaded, as host programs
    // built with Microsoft's runtime run.
    bool x87Precision53 = false;
    // At the snapshot moment: create this file and wait until it is deleted (or 30 s), so that a
    // picture of the screen can be taken with everything painted.
    std::string snapshotMarker;
    SnapshotMoment snapshotOf = SnapshotMoment::kOptionsDialog;
    // Milliseconds between two timer ticks; one chain event per tick at most.
    unsigned tickMilliseconds = 10;
};

// Returns the process's exit status: 0, or 2 for bad input or a module that does not load.
// Observations only this host can make go to stderr, prefixed "halvern-host: ".
int RunWin32Host(const Win32RunOptions& options, std::FILE* out);

}  // namespace halvern::host
