#pragma once

// Another component in the main window's procedure chain, and the module's lifetime while its
// own procedure is in that chain: the script actions only the Windows host acts on, as they need
// a real chain of window procedures.
//
//   subclass    another component's procedure goes in front of the chain, handing every message
//               on to the procedure it replaced, as add-ons do
//   unsubclass  that component leaves, where it is still at the head of the chain
//   restart     ModuleDeinit, then ModuleInit again, without unloading the module
//   unload      from the message loop: ModuleDeinit and the module file freed, whatever is left
//               in the chain; then a message and an unknown command, and the flight ends
//   ping        a message that only the host's own procedure answers

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "halvern-host/flight_runner.h"
#include "halvern-host/win32/win32_host_window.h"

namespace halvern::host {

class WindowChain {
  public:
    WindowChain(FlightRunner& runner, const Win32HostWindow& window)
        : runner_(runner), window_(window) {}

    // Acts on one of the actions above; false for any other.
    bool Act(const ScriptAction& action);
    // Called from the message loop after each message, where no code of the module is on the
    // stack: frees the module when an unload is due.
    void UnloadIfDue();
    bool Unloaded() const { return unloaded_; }
    // At the end of the flight: reports whose procedure heads the chain, and frees the module
    // file where the host's own is back at the head (ModuleDeinit put it back, so no code of the
    // module can run any more); otherwise the module stays loaded.
    void ReleaseModule();

  private:
    FlightRunner& runner_;
    const Win32HostWindow& window_;
    bool unloadDue_ = false;
    bool unloaded_ = false;
};

}  // namespace halvern::host
