#include "halvern-host/flight_script.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "halvern-host/flight_path.h"
#include "number_text.h"

namespace halvern::host {

namespace {

// Checks the words of an action and takes its number; the reason when they do not fit the verb.
std::string CheckAction(ScriptAction& action) {
    const std::vector<std::string>& w = action.words;
    if (action.verb == "key") {
        return w.size() == 1 && ReadKey(w[0]) ? "" : "key takes [shift+][ctrl+][alt+]F12";
    }
    if (action.verb == "menu" || action.verb == "remove-menu") {
        return w.empty() ? action.verb + " takes a menu path" : "";
    }
    // Its last word as a whole number from 0 to `largest`.
    const auto number = [&action](std::size_t words, std::uint32_t largest) {
        const std::optional<std::uint32_t> value =
            action.words.size() == words
                ? tool::ReadWhole<std::uint32_t>(action.words.back(), 0, largest, largest)
                : std::nullopt;
        action.number = value.value_or(0);
        return value.has_value();
    };
    if (action.verb == "command") {
        return number(1, 0xFFFF) ? "" : "command takes an id from 0 to 65535";
    }
    if (action.verb == "options") {
        return number(2, 0xFFFFFFFF) ? "" : "options takes DISTANCE and OPTIONS (a 32-bit number)";
    }
    if (action.verb == "svg") {
        return w.size() <= 1 ? "" : "svg takes at most one file name";
    }
    if (action.verb == "print" || action.verb == "repaint" || action.verb == "subclass" ||
        action.verb == "unsubclass" || action.verb == "restart" || action.verb == "unload" ||
        action.verb == "ping") {
        return w.empty() ? "" : action.verb + " takes nothing";
    }
    return "unknown action '" + action.verb + "'";
}

}  // namespace

std::optional<KeyModifiers> ReadKey(const std::string& text) {
    std::string rest = text;
    KeyModifiers held;
    for (auto [modifier, flag] :
         {std::pair{"shift+", &held.shift}, {"ctrl+", &held.ctrl}, {"alt+", &held.alt}}) {
        const std::size_t at = rest.find(modifier);
        if (at != std::string::npos) {
            rest.erase(at, std::string(modifier).size());
            *flag = true;
        }
    }
    return rest == "F12" ? std::optional(held) : std::nullopt;
}

std::uint16_t VariationWord(double degrees) {
    double turn = std::fmod(degrees, 360.0);
    if (turn < 0) {
        turn += 360.0;
    }
    return static_cast<std::uint16_t>(static_cast<long>(std::lround(turn * 65536.0 / 360.0)) &
                                      0xFFFF);
}

bool ParseFlightScript(const std::string& text, FlightScript& script, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) {
            w.push_back(word);
        }
        if (w.empty()) {
            continue;
        }
        const auto fail = [&](const std::string& reason) {
            error = "line " + std::to_string(number) + ": " + reason;
            return false;
        };
        // The statement's first two numbers, where its words are numbers.
        const std::optional<double> first = w.size() > 1 ? tool::ReadFinite(w[1]) : std::nullopt;
        const std::optional<double> second = w.size() > 2 ? tool::ReadFinite(w[2]) : std::nullopt;
        const double a = first.value_or(0);
        const double b = second.value_or(0);
        if (w[0] == "events-per-second" || w[0] == "speed" || w[0] == "magvar" || w[0] == "end") {
            if (w.size() != 2 || !first) {
                return fail(w[0] + " takes one number");
            }
            if (w[0] == "events-per-second") {
                if (a <= 0 || a > 1000) {
                    return fail("events-per-second must lie in (0, 1000]");
                }
                script.eventsPerSecond = a;
            } else if (w[0] == "speed") {
                if (a <= 0) {
                    return fail("speed must be positive");
                }
                script.speedKnots = a;
            } else if (w[0] == "magvar") {
                script.magneticVariation = a;
            } else {
                if (a < 0 || a > kLongestFlightSeconds) {
                    return fail("end must lie in [0, 1000000] seconds");
                }
                script.endTime = a;
            }
        } else if (w[0] == "from" || w[0] == "to") {
            if (w.size() != 3 || !first || !second || std::fabs(a) > 90 || std::fabs(b) > 180) {
                return fail(w[0] + " takes a latitude and a longitude in degrees");
            }
            if (w[0] == "from" && !script.route.empty()) {
                return fail("the route has one start");
            }
            if (w[0] == "to" && script.route.empty()) {
                return fail("'to' needs a 'from' before it");
            }
            script.route.push_back({a, b});
        } else if (w[0] == "at") {
            if (w.size() < 3 || !first || a < 0 || a > kLongestFlightSeconds) {
                return fail("at takes a time from 0 to 1000000 seconds and an action");
            }
            ScriptAction action;
            action.time = a;
            action.verb = w[2];
            action.words.assign(w.begin() + 3, w.end());
            action.line = number;
            if (const std::string reason = CheckAction(action); !reason.empty()) {
                return fail(reason);
            }
            // A menu path may contain blanks: keep it as one word.
            if ((action.verb == "menu" || action.verb == "remove-menu") && !action.words.empty()) {
                std::string path;
                for (const std::string& part : action.words) {
                    path += (path.empty() ? "" : " ") + part;
                }
                action.words = {path};
            }
            script.actions.push_back(std::move(action));
        } else {
            return fail("unknown statement '" + w[0] + "'");
        }
    }
    if (script.route.empty()) {
        error = "the script has no route ('from LAT LON')";
        return false;
    }
    if (script.endTime < 0 &&
        !(FlightPath(script.route, script.speedKnots).Duration() <= kLongestFlightSeconds)) {
        error = "the route takes longer than 1000000 seconds at this speed: give an 'end'";
        return false;
    }
    std::stable_sort(script.actions.begin(), script.actions.end(),
                     [](const ScriptAction& x, const ScriptAction& y) { return x.time < y.time; });
    return true;
}

bool LoadFlightScript(const std::string& path, FlightScript& script, std::FILE* errors) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(errors, "halvern-host: cannot read the script '%s'\n", path.c_str());
        return false;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    std::string error;
    if (!ParseFlightScript(contents.str(), script, error)) {
        std::fprintf(errors, "halvern-host: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

}  // namespace halvern::host
