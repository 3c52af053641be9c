#include "halvern-host/flight_runner.h"

#include <cmath>

#include "geo/position_conversion.h"
#include "halvern-host/menu_path.h"
#include "halvern-host/shown_lines.h"
#include "overlay/distance_text.h"
#include "platform/native_path.h"

namespace halvern::host {

FlightRunner::FlightRunner(const RunOptions& options, HostWindow& window, std::FILE* out)
    : options_(options), window_(window), out_(out) {
    window_.onMessageBox = [this](const std::string& caption, const std::string& body) {
        std::fprintf(out_, "  message box [%s]: ", caption.c_str());
        for (char c : body) {
            std::fputs(c == '\n' ? " / " : std::string(1, c).c_str(), out_);
        }
        std::fputc('\n', out_);
    };
    window_.onHostMessage = [this](const std::string& message) {
        std::fprintf(out_, "  the host's window procedure received %s\n", message.c_str());
    };
}

bool FlightRunner::ReadScript() {
    if (!LoadFlightScript(options_.scriptPath, script_, stderr)) {
        return false;
    }
    path_.emplace(script_.route, script_.speedKnots);
    const double endTime = script_.endTime >= 0 ? script_.endTime : path_->Duration();
    step_ = 1.0 / script_.eventsPerSecond;
    events_ = static_cast<long>(std::floor(endTime * script_.eventsPerSecond)) + 1;
    // The host repaints its frame about once a simulated second.
    repaintEvery_ = std::max(1L, std::lround(script_.eventsPerSecond));
    const Waypoint start = path_->PositionAt(0);
    services_.SetAircraftPosition(PositionFromDegrees(start.latitude, start.longitude));
    services_.SetMagneticVariation(VariationWord(script_.magneticVariation));
    return true;
}

bool FlightRunner::InstallModule() {
    std::string error;
    if (!module_.Install(options_.modulePath, options_.simulatorDir, error)) {
        std::fprintf(stderr, "halvern-host: %s\n", error.c_str());
        return false;
    }
    std::fprintf(out_, "module %s installed in %s/Modules\n", options_.modulePath.c_str(),
                 options_.simulatorDir.c_str());
    return true;
}

void FlightRunner::StartModule() {
    module_.Start();
    std::fprintf(out_, "ModuleInit done; %zu chain callback(s) registered\n",
                 services_.RegisteredCallbacks());
    std::fflush(out_);
}

void FlightRunner::StopModule() {
    module_.Stop();
    std::fprintf(out_, "ModuleDeinit done; %zu chain callback(s) registered\n",
                 services_.RegisteredCallbacks());
}

bool FlightRunner::OpenWindow() {
    if (!window_.Create("Halvern substitute host")) {
        std::fprintf(stderr, "halvern-host: cannot create the main window\n");
        return false;
    }
    return true;
}

bool FlightRunner::Step() {
    if (over_) {
        return false;
    }
    if (window_.Busy()) {
        return true;
    }
    FinishAction();
    if (RunDueActions()) {
        return true;
    }
    if (event_ >= events_) {
        StopModule();
        over_ = true;
        return false;
    }
    RaiseEvent();
    RunDueActions();
    return true;
}

void FlightRunner::RaiseEvent() {
    const double time = static_cast<double>(event_) * step_;
    const Waypoint aircraft = path_->PositionAt(time);
    services_.SetAircraftPosition(PositionFromDegrees(aircraft.latitude, aircraft.longitude));
    if (event_ % repaintEvery_ == 0) {
        window_.RepaintFrame();
    }
    services_.RaiseChainEvent(kRefreshChainEvent);
    const std::vector<ShownLine>& lines = services_.LinesOfLastEvent();
    const std::string joined = JoinedLines(lines);
    const bool due = options_.every <= 1 || event_ % options_.every == 0;
    if (due && (!options_.changesOnly || joined != previous_)) {
        std::fprintf(out_, "[%8.2f s] event %ld at %.5f %.5f: %zu line(s)\n", time, event_ + 1,
                     aircraft.latitude, aircraft.longitude, lines.size());
        PrintShownLines(out_, lines);
    }
    previous_ = joined;
    time_ = time;
    aircraft_ = aircraft;
    ++event_;
    window_.EventRaised();
}

bool FlightRunner::RunDueActions() {
    while (event_ > 0 && nextAction_ < script_.actions.size() &&
           script_.actions[nextAction_].time <= time_) {
        RunAction(script_.actions[nextAction_++]);
        if (window_.Busy()) {
            return true;
        }
        FinishAction();
    }
    return false;
}

void FlightRunner::FinishAction() {
    if (rangeAfter_) {
        rangeNm_ = *rangeAfter_;
        rangeAfter_.reset();
    }
    if (menuAfter_) {
        menuAfter_ = false;
        PrintModuleMenu();
    }
}

void FlightRunner::PrintModuleMenu() {
    std::fprintf(out_, "  menu: %s\n", DescribeModuleMenu(window_.Menus()).c_str());
}

void FlightRunner::RunAction(const ScriptAction& action) {
    const auto& w = action.words;
    std::fprintf(out_, "[%8.2f s] %s", time_, action.verb.c_str());
    for (const std::string& word : w) {
        std::fprintf(out_, " %s", word.c_str());
    }
    std::fputc('\n', out_);
    if (action.verb == "key") {
        const std::optional<KeyModifiers> key = w.empty() ? std::nullopt : ReadKey(w[0]);
        if (!key) {
            std::fprintf(out_, "  line %d: only F12 keys can be pressed\n", action.line);
            ok_ = false;
            return;
        }
        window_.PressF12(key->shift, key->ctrl, key->alt);
        PrintModuleMenu();
    } else if (action.verb == "menu") {
        const std::vector<MenuStep> path =
            w.empty() ? std::vector<MenuStep>{} : FindMenuPath(window_.Menus(), w[0]);
        if (path.empty()) {
            std::fprintf(out_, "  no such menu item\n");
        } else {
            window_.ChooseMenuItem(path);
        }
        menuAfter_ = true;
    } else if (action.verb == "remove-menu") {
        const std::vector<MenuStep> path =
            w.empty() ? std::vector<MenuStep>{} : FindMenuPath(window_.Menus(), w[0]);
        // The bar is drawn again at the next non-client paint, when the module has had its say.
        if (path.empty() || !window_.DeleteMenuItem(path.back().menu, path.back().position)) {
            std::fprintf(out_, "  no such menu item\n");
        }
    } else if (action.verb == "command") {
        window_.Command(action.number);
    } else if (action.verb == "options") {
        if (w.size() != 2) {
            std::fprintf(out_, "  line %d: options takes DISTANCE OPTIONS\n", action.line);
            ok_ = false;
            return;
        }
        window_.AnswerNextOptionsDialog({w[0], action.number});
        // The pictures' reach follows the entry, read as the dialog reads it, once the dialog is
        // done with.
        const std::int32_t distance = ParseDistanceText(w[0].c_str());
        if (distance >= kMinimumMaxDistance && distance <= kMaximumMaxDistance) {
            rangeAfter_ = distance;
        }
        const std::vector<MenuStep> path = FindMenuPath(window_.Menus(), "Modules>Halvern>Options");
        if (!path.empty()) {
            window_.Command(path.back().item.id);
        }
    } else if (action.verb == "svg") {
        const std::string file = platform::ArgumentFromPath(
            platform::PathFromArgument(options_.outputDir) /
            platform::PathFromArgument(w.empty() ? "overlay.svg" : w[0]));
        const bool written = WriteOverlaySvg(file, Scene());
        std::fprintf(out_, "  %s %s\n", written ? "wrote" : "could not write", file.c_str());
    } else if (action.verb == "print") {
        PrintShownLines(out_, services_.LinesOfLastEvent());
    } else if (action.verb == "repaint") {
        window_.RepaintFrame();
    } else if (!hostAction || !hostAction(action)) {
        // The window-chain actions need a real window procedure chain: the Windows host's.
        std::fprintf(out_, "  (only the Windows host acts on %s)\n", action.verb.c_str());
    }
}

}  // namespace halvern::host
