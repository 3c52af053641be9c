// `halvern nearby`: the overlay lines a refresh composes for an aircraft at a given place.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "halvern/commands.h"
#include "halvern/overlay_at.h"
#include "halvern/tool_database.h"

namespace halvern::tool {

namespace {

bool ParseDouble(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

// Decimal or 0x-prefixed hexadecimal, any value that fits 32 bits unsigned (or, in decimal,
// signed).
bool ParseWord(const std::string& text, std::int64_t minimum, std::uint32_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    std::int64_t number = 0;
    const auto result = std::from_chars(begin, end, number, hex ? 16 : 10);
    if (result.ec != std::errc() || result.ptr != end || begin == end || number < minimum ||
        number > 0xFFFFFFFFLL || (hex && number < 0)) {
        return false;
    }
    value = static_cast<std::uint32_t>(number);
    return true;
}

// The lines as one text: what a change of position is compared by.
std::string Joined(const std::vector<OverlayLineAt>& lines) {
    std::string text;
    for (const OverlayLineAt& line : lines) {
        text += line.text;
        text += '\n';
    }
    return text;
}

// Walks east from `longitude` over `span` degrees in fine steps and, wherever the lines differ
// between two steps, narrows the change down by bisection to two neighbouring doubles and prints
// both: positions on either side of a whole nautical mile, a
// whole degree or the edge of the reach, for comparing builds exactly where they may differ.
void PrintEdges(AirportFinder& database, double latitude, double longitude, double span,
                const OverlayState& state, std::uint16_t variation) {
    constexpr int kSteps = 4000;
    const auto at = [&](double lon) {
        return Joined(OverlayAt(database, latitude, lon, state, variation));
    };
    double previous = longitude;
    std::string previousLines = at(previous);
    for (int step = 1; step <= kSteps; ++step) {
        const double next = longitude + span * step / kSteps;
        const std::string nextLines = at(next);
        if (nextLines != previousLines) {
            double low = previous;
            double high = next;
            const std::string lowLines = previousLines;
            for (;;) {
                const double middle = low + (high - low) / 2;
                if (middle <= low || middle >= high) {
                    break;  // neighbouring doubles
                }
                (at(middle) == lowLines ? low : high) = middle;
            }
            std::printf("%.17g %.17g\n%.17g %.17g\n", latitude, low, latitude, high);
        }
        previous = next;
        previousLines = nextLines;
    }
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "halvern: nearby: %s (try 'halvern --help')\n", message.c_str());
    return kExitUsage;
}

}  // namespace

int RunNearby(const std::vector<std::string>& args) {
    // args: SIMDIR and options.
    if (args.empty()) {
        return Usage("the simulator directory is missing");
    }
    bool haveLatitude = false;
    bool haveLongitude = false;
    bool packed = false;
    double edgeSpan = 0;
    double latitude = 0;
    double longitude = 0;
    OverlayState state;
    std::uint32_t magvar = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--packed") {
            packed = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            return Usage("'" + option + "' needs a value");
        }
        const std::string& value = args[++i];
        std::uint32_t word = 0;
        if (option == "--lat") {
            haveLatitude = ParseDouble(value, latitude);
            if (!haveLatitude) {
                return Usage("bad latitude '" + value + "'");
            }
        } else if (option == "--lon") {
            haveLongitude = ParseDouble(value, longitude);
            if (!haveLongitude) {
                return Usage("bad longitude '" + value + "'");
            }
        } else if (option == "--distance") {
            if (!ParseWord(value, INT32_MIN, word) ||
                (value.rfind("0x", 0) != 0 && std::stoll(value) > INT32_MAX)) {
                return Usage("bad distance '" + value + "'");
            }
            state.maxDistance = static_cast<std::int32_t>(word);
        } else if (option == "--options") {
            if (!ParseWord(value, INT32_MIN, word)) {
                return Usage("bad options '" + value + "'");
            }
            state.displayOptions = static_cast<std::int32_t>(word);
        } else if (option == "--edges") {
            if (!ParseDouble(value, edgeSpan) || !(edgeSpan > 0 && edgeSpan <= 10)) {
                return Usage("bad edge span '" + value + "' (degrees, above 0 and up to 10)");
            }
        } else if (option == "--magvar") {
            if (!ParseWord(value, 0, word) || word > 0xFFFF) {
                return Usage("bad magnetic variation word '" + value + "'");
            }
            magvar = word;
        } else {
            return Usage("unknown option '" + option + "'");
        }
    }
    if (!haveLatitude || !haveLongitude) {
        return Usage("--lat and --lon are needed");
    }
    std::string simulatorDir;
    if (!ResolveSimulatorDir(args[0], simulatorDir)) {
        return kExitUsage;
    }
    ToolDatabase database(nullptr);
    database.Load(simulatorDir);
    if (edgeSpan > 0) {
        PrintEdges(database, latitude, longitude, edgeSpan, state,
                   static_cast<std::uint16_t>(magvar));
        return kExitOk;
    }
    const std::vector<OverlayLineAt> lines =
        OverlayAt(database, latitude, longitude, state, static_cast<std::uint16_t>(magvar));
    for (const OverlayLineAt& line : lines) {
        if (packed) {
            for (unsigned char byte : line.packed) {
                std::printf("%02x", byte);
            }
            std::putchar(' ');
        }
        std::printf("%s\n", line.text.c_str());
    }
    return kExitOk;
}

}  // namespace halvern::tool
