#pragma once

// The flight of a substitute host, the same on every host: the script read, the module installed
// and started, the refresh event raised at every time step with the aircraft moved along the
// route, each event's lines printed, the script's actions done on the main window after the
// event of their time (pictures of the overlay among them), and the module stopped at the end.
//
// A host drives it through its HostWindow, calling Step until the flight is over: a host that
// handles the window's commands at once runs it in a plain loop, one with a message loop calls
// it at each tick of a timer, and its window reports itself busy while a command of an action
// is still being handled.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "halvern-host/flight_path.h"
#include "halvern-host/flight_script.h"
#include "halvern-host/host_window.h"
#include "halvern-host/module_host.h"
#include "halvern-host/overlay_picture.h"
#include "halvern-host/run_options.h"
#include "halvern-host/simulator_services.h"

namespace halvern::host {

class FlightRunner {
  public:
    // Reports the window's message boxes and host messages on `out`.
    FlightRunner(const RunOptions& options, HostWindow& window, std::FILE* out);
    FlightRunner(const FlightRunner&) = delete;
    FlightRunner& operator=(const FlightRunner&) = delete;

    // Reads the script and puts the aircraft at its start; false after one line on stderr.
    bool ReadScript();
    // Installs and loads the module file; false after one line on stderr.
    bool InstallModule();
    // ModuleInit and ModuleDeinit, each reported with the chain callbacks registered after it.
    void StartModule();
    void StopModule();
    // Creates the main window; false after one line on stderr.
    bool OpenWindow();

    // Goes on as far as it can without waiting for the window: the actions due, the next event
    // and the actions after it. False once the flight is over and ModuleDeinit has run.
    bool Step();
    // The flight ends before its next event.
    void EndFlight() { event_ = std::max(event_, events_); }
    // Frees the module file; only when no code of the module is running.
    void UnloadModule() { module_.Unload(); }
    // 0, or 2 when an action was bad.
    int ExitStatus() const { return ok_ ? 0 : 2; }

    ModuleHost& Module() { return module_; }
    std::FILE* Out() const { return out_; }
    // The overlay after the last event.
    OverlayScene Scene() const {
        return {time_, aircraft_, rangeNm_, services_.LinesOfLastEvent()};
    }

    // Acts on an action that the runner leaves to the host (the Windows host's window-chain
    // actions); false when the host does not act on it, which is then reported.
    std::function<bool(const ScriptAction& action)> hostAction;

  private:
    void RaiseEvent();
    // Runs the actions due after the last event; true when one left its work under way.
    bool RunDueActions();
    void RunAction(const ScriptAction& action);
    // What an action does once its work is done: the pictures' new reach, the menu printed.
    void FinishAction();
    void PrintModuleMenu();

    RunOptions options_;
    HostWindow& window_;
    std::FILE* out_;
    FlightScript script_;
    std::optional<FlightPath> path_;
    SimulatorServices services_;
    ModuleHost module_{services_};

    long events_ = 0;
    long event_ = 0;  // events raised so far
    long repaintEvery_ = 1;
    double step_ = 1;
    double time_ = 0;  // of the last event
    Waypoint aircraft_{};
    std::size_t nextAction_ = 0;
    std::string previous_;  // the lines of the event before, joined
    double rangeNm_ = 30;
    bool ok_ = true;
    bool over_ = false;

    std::optional<double> rangeAfter_;  // the reach an options action sets once it is done
    bool menuAfter_ = false;            // the action prints the module's menu once it is done
};

}  // namespace halvern::host
