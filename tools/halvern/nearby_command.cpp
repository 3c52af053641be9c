// `halvern nearby`: the overlay lines a refresh composes for an aircraft at a given place.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "geo/position_conversion.h"
#include "halvern/commands.h"
#include "halvern/tool_database.h"
#include "host/host_services.h"
#include "host/text_record.h"
#include "overlay/overlay_refresh.h"

namespace halvern::tool {

namespace {

// The lines the text service receives, with the packed position of each.
struct CapturedLine {
    std::string text;
    unsigned char packed[sizeof(PackedPosition)];
};
std::vector<CapturedLine>* capturedLines = nullptr;

void HALVERN_HOSTCALL CaptureLine(const unsigned char* record, const TextCell* cell) {
    CapturedLine line;
    line.text = *cell;
    std::memcpy(line.packed, record + kTextRecordPositionOffset, sizeof line.packed);
    capturedLines->push_back(line);
}

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

    // A host of our own: the aircraft at the position, the variation, a text service.
    std::vector<unsigned char> variables(kSimVariablesMinimumSize + 64, 0);
    const WorldPosition aircraft = PositionFromDegrees(latitude, longitude);
    std::memcpy(variables.data() + kAircraftPositionOffset, &aircraft, sizeof aircraft);
    const auto variation = static_cast<std::uint16_t>(magvar);
    std::memcpy(variables.data() + kMagneticVariationOffset, &variation, sizeof variation);
    HostEntry textTable[8] = {};
    textTable[kTextShowEntry] = reinterpret_cast<HostEntry>(&CaptureLine);
    const HostServices host{textTable, nullptr, variables.data()};

    std::vector<CapturedLine> lines;
    capturedLines = &lines;
    state.overlayOn = -1;
    UpdateNearbyList(database, host, state);
    RefreshOverlay(database, host, state);
    capturedLines = nullptr;

    for (const CapturedLine& line : lines) {
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
