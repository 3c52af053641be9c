#include "halvern-host/host_run.h"

#include <cmath>
#include <filesystem>

#include "geo/position_conversion.h"
#include "halvern-host/flight_path.h"
#include "halvern-host/host_window.h"
#include "halvern-host/module_host.h"
#include "halvern-host/overlay_picture.h"
#include "halvern-host/shown_lines.h"
#include "platform/native_path.h"

namespace halvern::host {

namespace {

// `rangeNm` is the radius of the pictures: the module's reach as last entered in the options.
bool RunAction(const ScriptAction& action, HostWindow& window, const SimulatorServices& services,
               const Waypoint& aircraft, double time, const RunOptions& options, double& rangeNm,
               std::FILE* out) {
    const auto& w = action.words;
    std::fprintf(out, "[%8.2f s] %s", time, action.verb.c_str());
    for (const std::string& word : w) {
        std::fprintf(out, " %s", word.c_str());
    }
    std::fputc('\n', out);
    if (action.verb == "key") {
        const std::string keys = w.empty() ? "" : w[0];
        if (keys.size() < 3 || keys.substr(keys.size() - 3) != "F12") {
            std::fprintf(out, "  line %d: only F12 keys can be pressed\n", action.line);
            return false;
        }
        window.PressF12(keys.find("shift+") != std::string::npos,
                        keys.find("ctrl+") != std::string::npos,
                        keys.find("alt+") != std::string::npos);
        std::fprintf(out, "  menu: %s\n", window.DescribeModuleMenu().c_str());
    } else if (action.verb == "menu") {
        if (w.empty() || !window.ChooseMenu(w[0])) {
            std::fprintf(out, "  no such menu item\n");
        }
        std::fprintf(out, "  menu: %s\n", window.DescribeModuleMenu().c_str());
    } else if (action.verb == "remove-menu") {
        if (w.empty() || !window.RemoveMenu(w[0])) {
            std::fprintf(out, "  no such menu item\n");
        }
    } else if (action.verb == "command") {
        window.Command(action.number);
    } else if (action.verb == "options") {
        if (w.size() != 2) {
            std::fprintf(out, "  line %d: options takes DISTANCE OPTIONS\n", action.line);
            return false;
        }
        window.AnswerNextOptionsDialog({w[0], action.number});
        window.ChooseMenu("Modules>Halvern>Options");
        const double distance = std::atof(w[0].c_str());
        if (distance >= 1 && distance <= 250) {
            rangeNm = distance;
        }
    } else if (action.verb == "svg") {
        const std::string file = platform::ArgumentFromPath(
            platform::PathFromArgument(options.outputDir) /
            platform::PathFromArgument(w.empty() ? "overlay.svg" : w[0]));
        char caption[128];
        std::snprintf(caption, sizeof caption, "t = %.1f s   %.4f %.4f   %zu airports", time,
                      aircraft.latitude, aircraft.longitude, services.LinesOfLastEvent().size());
        const bool written =
            WriteOverlaySvg(file, aircraft, rangeNm, services.LinesOfLastEvent(), caption);
        std::fprintf(out, "  %s %s\n", written ? "wrote" : "could not write", file.c_str());
    } else if (action.verb == "print") {
        PrintShownLines(out, services.LinesOfLastEvent());
    } else if (action.verb == "repaint") {
        window.RepaintFrame();
    } else {
        // The window-chain actions need a real window procedure chain: the Windows host's.
        std::fprintf(out, "  (only the Windows host acts on %s)\n", action.verb.c_str());
    }
    return true;
}

}  // namespace

int RunHost(const RunOptions& options, std::FILE* out) {
    FlightScript script;
    if (!LoadFlightScript(options.scriptPath, script, stderr)) {
        return 2;
    }
    const FlightPath path(script.route, script.speedKnots);
    const double endTime = script.endTime >= 0 ? script.endTime : path.Duration();

    SimulatorServices services;
    const Waypoint start = path.PositionAt(0);
    services.SetAircraftPosition(PositionFromDegrees(start.latitude, start.longitude));
    services.SetMagneticVariation(VariationWord(script.magneticVariation));

    ModuleHost module(services);
    std::string error;
    if (!module.Install(options.modulePath, options.simulatorDir, error)) {
        std::fprintf(stderr, "halvern-host: %s\n", error.c_str());
        return 2;
    }
    std::unique_ptr<HostWindow> window = CreateHostWindow();
    window->onMessageBox = [out](const std::string& caption, const std::string& body) {
        std::fprintf(out, "  message box [%s]: ", caption.c_str());
        for (char c : body) {
            std::fputs(c == '\n' ? " / " : std::string(1, c).c_str(), out);
        }
        std::fputc('\n', out);
    };
    window->onHostCommand = [out](std::uint32_t id) {
        std::fprintf(out, "  the host's window procedure received command %u\n", id);
    };

    std::fprintf(out, "module %s installed in %s/Modules\n", options.modulePath.c_str(),
                 options.simulatorDir.c_str());
    module.Start();
    std::fprintf(out, "ModuleInit done; %zu chain callback(s) registered\n",
                 services.RegisteredCallbacks());
    if (!window->Create("Halvern substitute host")) {
        std::fprintf(stderr, "halvern-host: cannot create the main window\n");
        return 2;
    }

    const double step = 1.0 / script.eventsPerSecond;
    const auto events = static_cast<long>(std::floor(endTime * script.eventsPerSecond)) + 1;
    const long repaintEvery = std::max(1L, std::lround(script.eventsPerSecond));
    std::size_t nextAction = 0;
    std::string previous;
    double rangeNm = 30;
    bool ok = true;
    for (long event = 0; event < events; ++event) {
        const double time = static_cast<double>(event) * step;
        const Waypoint aircraft = path.PositionAt(time);
        services.SetAircraftPosition(PositionFromDegrees(aircraft.latitude, aircraft.longitude));
        if (event % repaintEvery == 0) {
            window->RepaintFrame();  // the host repaints its frame now and then
        }
        services.RaiseChainEvent(kRefreshChainEvent);
        const std::vector<ShownLine>& lines = services.LinesOfLastEvent();
        const std::string joined = JoinedLines(lines);
        const bool due = options.every <= 1 || event % options.every == 0;
        if (due && (!options.changesOnly || joined != previous)) {
            std::fprintf(out, "[%8.2f s] event %ld at %.5f %.5f: %zu line(s)\n", time, event + 1,
                         aircraft.latitude, aircraft.longitude, lines.size());
            PrintShownLines(out, lines);
        }
        previous = joined;
        while (nextAction < script.actions.size() && script.actions[nextAction].time <= time) {
            ok = RunAction(script.actions[nextAction++], *window, services, aircraft, time, options,
                           rangeNm, out) &&
                 ok;
        }
    }
    module.Stop();
    std::fprintf(out, "ModuleDeinit done; %zu chain callback(s) registered\n",
                 services.RegisteredCallbacks());
    module.Unload();
    return ok ? 0 : 2;
}

}  // namespace halvern::host
