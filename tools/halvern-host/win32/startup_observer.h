#pragma once

// What the module shows while the host waits in ModuleInit: the module pumps no messages then,
// so the host watches the windows its thread creates (a CBT hook) and the messages sent to them
// (a call-window-procedure hook), and reports the progress window and its bar afterwards.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace halvern::host {

struct StartupReport {
    std::vector<std::string> windowsCreated;  // "class 'caption'" of each top-level window
    int progressPositions = 0;                // PBM_SETPOS messages to a progress bar
    int lastProgressPosition = -1;
    bool progressVisible = false;  // the bar's dialog was visible at a position message
};

// Installs the two hooks on the calling thread for the lifetime of the object. atHalfway, if
// given, is called once with the progress window when its bar first reaches 50 while visible.
class StartupObserver {
  public:
    explicit StartupObserver(std::function<void(HWND progressWindow)> atHalfway = nullptr);
    ~StartupObserver();
    StartupObserver(const StartupObserver&) = delete;
    StartupObserver& operator=(const StartupObserver&) = delete;

    const StartupReport& Report() const { return report_; }

  private:
    StartupReport report_;
    std::function<void(HWND)> atHalfway_;
    HHOOK cbtHook_ = nullptr;
    HHOOK callHook_ = nullptr;
};

}  // namespace halvern::host
