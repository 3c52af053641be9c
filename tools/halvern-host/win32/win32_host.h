#pragma once

// The substitute host on Windows: a real top-level window with a menu bar of its own, the chain
// event raised from a timer on the window's thread, the flight script acted out through real
// messages, and the overlay drawn in the window at each airport's place. It prints what the
// portable host prints, in the same format, so that the two can be compared line by line.

#include <cstdio>
#include <string>

#include "halvern-host/host_run.h"

namespace halvern::host {

// The moment of the picture that --snapshot-marker waits for.
enum class SnapshotMoment {
    kOptionsDialog,   // the options dialog first opens (moved to the lower right)
    kModuleMenu,      // the first "menu" action: the menu path is opened from the menu bar first
    kProgressWindow,  // the progress window of a cache miss, halfway through ModuleInit
};

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
// Observations only this host can make (windows during ModuleInit, keys reaching the host's own
// window procedure, the x87 control word) go to stderr, prefixed "halvern-host: ".
int RunWin32Host(const Win32RunOptions& options, std::FILE* out);

}  // namespace halvern::host
