// `halvern nearby`: the overlay lines a refresh composes for an aircraft at a given place.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "halvern/commands.h"
#include "halvern/overlay_at.h"
#include "halvern/tool_database.h"

namespace halvern::tool {

namespace {

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

struct NearbyGiven {
    double latitude = 0;
    double longitude = 0;
    OverlayState state;
    std::uint16_t magvar = 0;
    bool packed = false;
    double edgeSpan = 0;
};

int Nearby(const SimulatorDir& simulatorDir, const NearbyGiven& given) {
    ToolDatabase database(nullptr);
    database.Load(simulatorDir);
    if (given.edgeSpan > 0) {
        PrintEdges(database, given.latitude, given.longitude, given.edgeSpan, given.state,
                   given.magvar);
        return kExitOk;
    }
    for (const OverlayLineAt& line :
         OverlayAt(database, given.latitude, given.longitude, given.state, given.magvar)) {
        if (given.packed) {
            for (unsigned char byte : line.packed) {
                std::printf("%02x", byte);
            }
            std::putchar(' ');
        }
        std::printf("%s\n", line.text.c_str());
    }
    return kExitOk;
}

std::optional<double> EdgeSpan(std::string_view text) {
    const std::optional<double> span = ReadFinite(text);
    return span && *span > 0 && *span <= 10 ? span : std::nullopt;
}

const std::string kNearby =
    "puts the aircraft at that latitude and longitude, selects the\n"
    "airports within the reach and prints the overlay lines a refresh\n"
    "there composes, one a line, in order. --distance, --options and\n"
    "--magvar may be decimal or 0x hexadecimal.";

// The help of --options, its bits the module's own.
std::string OptionsHelp() {
    char help[256];
    std::snprintf(
        help, sizeof help,
        "the display options (default %d: name, distance,\nmagnetic bearing); bits 0x%02X "
        "name, 0x%02X code, 0x%02X distance,\n0x%02X magnetic bearing, 0x%02X "
        "elevation, 0x%02X true bearing",
        kDefaultDisplayOptions, kShowName, kShowCode, kShowDistance, kShowMagneticBearing,
        kShowElevation, kShowTrueBearing);
    return help;
}

const std::string kEdges =
    "prints instead the positions (latitude and longitude, one a\n"
    "line) on either side of every change of the lines within DEG\n"
    "degrees (above 0, up to 10) east of --lon: where builds that\n"
    "round differently would first disagree";

}  // namespace

void AddNearbyCommand(CLI::App& tool, int& status) {
    const auto given = std::make_shared<NearbyGiven>();
    CLI::App* nearby = tool.add_subcommand("nearby", kNearby);
    AddSimulatorDir(*nearby, status,
                    [given](const SimulatorDir& dir) { return Nearby(dir, *given); });
    AddNumber(*nearby, "--lat", given->latitude, ReadFinite, "the latitude in degrees")
        ->required()
        ->type_name("DEG");
    AddNumber(*nearby, "--lon", given->longitude, ReadFinite, "the longitude in degrees")
        ->required()
        ->type_name("DEG");
    AddNumber(*nearby, "--distance", given->state.maxDistance,
              Whole<std::int64_t>(INT32_MIN, INT32_MAX, 0xFFFFFFFF),
              "the reach (default " + std::to_string(kDefaultMaxDistance) +
                  "; 0 or negative as the module\ntreats them)")
        ->type_name("NM");
    AddNumber(*nearby, "--options", given->state.displayOptions,
              Whole<std::int64_t>(INT32_MIN, 0xFFFFFFFF, 0xFFFFFFFF), OptionsHelp());
    AddNumber(*nearby, "--magvar", given->magvar, Whole<std::int64_t>(0, 0xFFFF, 0xFFFF),
              "the magnetic variation, 65536 to the turn (default 0)")
        ->type_name("WORD");
    nearby->add_flag("--packed", given->packed,
                     "starts each line with its 18-byte packed position in\n"
                     "hexadecimal and a blank");
    AddNumber(*nearby, "--edges", given->edgeSpan, EdgeSpan, kEdges)->type_name("DEG");
}

}  // namespace halvern::tool
