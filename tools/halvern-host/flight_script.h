#pragma once

// The flight script of the substitute host: a route flown at a ground speed, the magnetic
// variation, and actions (keystrokes, menu choices, the options dialog, pictures) at given
// times. One statement a line; '#' starts a comment.
//
//   events-per-second N     chain events raised per simulated second (default 4)
//   speed KNOTS             ground speed along the route (default 240)
//   magvar DEGREES          magnetic variation, east positive (default 0)
//   from LAT LON            the start of the route, in degrees
//   to LAT LON              the next waypoint (any number of them)
//   at SECONDS ACTION       an action at that simulated time:
//     key [shift+][ctrl+][alt+]F12   a key-down of F12 with those modifiers held
//     menu TEXT>TEXT>...             choose a menu item by its path (ampersands left out)
//     command ID                     a WM_COMMAND with that id
//     options DISTANCE OPTIONS       open the options dialog, enter these values, press OK
//     svg FILE                       write a picture of the overlay
//     print                          print the lines of the current event
//     remove-menu TEXT>TEXT          the host deletes that menu item
//     repaint                        a non-client paint of the main window
//   end SECONDS             the flight ends (default: when the route is flown)
//
// Every line is checked when the script is read: times are at least 0, the flight (its end, or
// the time the route takes at the speed) lasts at most kLongestFlightSeconds, the speed is
// positive, a command id fits 16 bits and the options of an options action 32 bits.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace halvern::host {

struct Waypoint {
    double latitude;
    double longitude;
};

inline constexpr double kLongestFlightSeconds = 1e6;

struct ScriptAction {
    double time = 0;
    std::string verb;                // key, menu, command, options, svg, print, ...
    std::vector<std::string> words;  // the rest of the line
    std::uint32_t number = 0;        // command: the id; options: the display options
    int line = 0;
};

struct FlightScript {
    double eventsPerSecond = 4;
    double speedKnots = 240;
    double magneticVariation = 0;
    std::vector<Waypoint> route;
    std::vector<ScriptAction> actions;  // in time order
    double endTime = -1;                // < 0: when the route is flown
};

// Parses a script; false with "line N: reason" in `error`.
bool ParseFlightScript(const std::string& text, FlightScript& script, std::string& error);

// Reads and parses the script file at `path`; false after one line on `errors` saying why.
bool LoadFlightScript(const std::string& path, FlightScript& script, std::FILE* errors);

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// The modifiers of a key action's F12: any of shift+, ctrl+ and alt+ in front, each at most once;
// nothing for any other text.
std::optional<KeyModifiers> ReadKey(const std::string& text);

// The variation word of the host (65536 units to the turn) for degrees east.
std::uint16_t VariationWord(double degrees);

}  // namespace halvern::host
