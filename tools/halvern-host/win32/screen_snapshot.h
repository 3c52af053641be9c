#pragma once

// A picture of the screen, taken from outside the host while it waits: at the chosen moment the
// host paints its windows, creates a marker file and waits until the marker is deleted (30 s at
// the most), so that the picture shows everything painted.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <utility>

namespace halvern::host {

// The moment of the picture.
enum class SnapshotMoment {
    kOptionsDialog,   // the options dialog first opens (moved to the lower right)
    kModuleMenu,      // the first "menu" action: the menu path is opened from the menu bar first
    kProgressWindow,  // the progress window of a cache miss, halfway through ModuleInit
};

class ScreenSnapshot {
  public:
    // Without a marker no picture is ever due.
    ScreenSnapshot(std::string marker, SnapshotMoment moment)
        : marker_(std::move(marker)), moment_(moment) {}

    // True when the picture is wanted at `moment` and has not been taken.
    bool Due(SnapshotMoment moment) const {
        return !marker_.empty() && !taken_ && moment == moment_;
    }
    // Paints the main window and `other` (either may be none), then waits for the picture.
    void Take(HWND main, HWND other);
    // The same with a dialog that opens over the host's menu bar: it goes to the lower right of
    // the main window first, as a user would drag it, so that the picture shows the bar, the
    // overlay and the dialog.
    void TakeWithDialog(HWND main, HWND dialog);

  private:
    std::string marker_;
    SnapshotMoment moment_;
    bool taken_ = false;
};

}  // namespace halvern::host
