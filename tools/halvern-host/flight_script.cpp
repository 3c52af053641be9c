#include "halvern-host/flight_script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "halvern-host/flight_path.h"

namespace halvern::host {

namespace {

bool Number(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

// Decimal or 0x-prefixed hexadecimal, at most `largest`.
bool Unsigned(const std::string& text, std::uint32_t largest, std::uint32_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    std::uint32_t number = 0;
    const auto result = std::from_chars(begin, end, number, hex ? 16 : 10);
    if (begin == end || result.ec != std::errc() || result.ptr != end || number > largest) {
        return false;
    }
    value = number;
    return true;
}

// F12 with any of the modifiers shift+, ctrl+ and alt+ in front, each at most once.
bool KeyText(const std::string& text) {
    std::string rest = text;
    for (const char* modifier : {"shift+", "ctrl+", "alt+"}) {
        const std::size_t at = rest.find(modifier);
        if (at != std::string::npos) {
            rest.erase(at, std::string(modifier).size());
        }
    }
    return rest == "F12";
}

// Checks the words of an action and takes its number; the reason when they do not fit the verb.
std::string CheckAction(ScriptAction& action) {
    const std::vector<std::string>& w = action.words;
    if (action.verb == "key") {
        return w.size() == 1 && KeyText(w[0]) ? "" : "key takes [shift+][ctrl+][alt+]F12";
    }
    if (action.verb == "menu" || action.verb == "remove-menu") {
        return w.empty() ? action.verb + " takes a menu path" : "";
    }
    if (action.verb == "command") {
        return w.size() == 1 && Unsigned(w[0], 0xFFFF, action.number)
                   ? ""
                   : "command takes an id from 0 to 65535";
    }
    if (action.verb == "options") {
        return w.size() == 2 && Unsigned(w[1], 0xFFFFFFFF, action.number)
                   ? ""
                   : "options takes DISTANCE and OPTIONS (a 32-bit number)";
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
        double a = 0;
        double b = 0;
        if (w[0] == "events-per-second" || w[0] == "speed" || w[0] == "magvar" || w[0] == "end") {
            if (w.size() != 2 || !Number(w[1], a)) {
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
            if (w.size() != 3 || !Number(w[1], a) || !Number(w[2], b) || std::fabs(a) > 90 ||
                std::fabs(b) > 180) {
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
            if (w.size() < 3 || !Number(w[1], a) || a < 0 || a > kLongestFlightSeconds) {
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
