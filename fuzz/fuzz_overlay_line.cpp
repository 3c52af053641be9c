// The overlay on records as a damaged cache file can leave them (any name, code bytes,
// elevation, NaN and infinite coordinates), any display option bits, any magnetic variation
// word, any aircraft position and overlay reach: the nearby query and the refresh hand every
// line to a text service of the harness's own, and one line is composed from figures taken
// directly from the input (NaN, infinities, huge distances and bearings).

#include <array>
#include <cstring>
#include <memory>

#include "airports/airport_finder.h"
#include "host/host_services.h"
#include "overlay/overlay_line.h"
#include "overlay/overlay_refresh.h"
#include "overlay_input.h"

namespace {

using halvern::fuzz::Check;

class FuzzFinder : public halvern::AirportFinder {
  public:
    void Add(const halvern::fuzz::OverlayRecordInput& input) {
        float latitude = 0;
        float longitude = 0;
        std::memcpy(&latitude, &input.latitudeBits, sizeof latitude);
        std::memcpy(&longitude, &input.longitudeBits, sizeof longitude);
        AddAirport(input.name.c_str(), static_cast<double>(latitude),
                   static_cast<double>(longitude), 0, "");
        if (recordCount == 0) {
            return;
        }
        // The figures as a cache file gives them, bit for bit; the code's fifth byte stays zero
        // as the cache reader leaves it.
        halvern::AirportRecord& record = records[recordCount - 1];
        std::memcpy(&record.latitude, &input.latitudeBits, sizeof record.latitude);
        std::memcpy(&record.longitude, &input.longitudeBits, sizeof record.longitude);
        record.elevation = input.elevation;
        std::memcpy(record.code, input.code, 4);
        record.code[4] = '\0';
    }
};

int linesShown = 0;

void ShowEntry(const unsigned char* record, const halvern::TextCell* cell) {
    Check(record != nullptr && cell != nullptr && *cell != nullptr, "a line without its record");
    Check(std::strlen(*cell) <= halvern::kOverlayLineMaxLength, "a line longer than 255");
    ++linesShown;
}

void CheckLine(const char (&line)[halvern::kOverlayLineSize], std::size_t length) {
    Check(length <= halvern::kOverlayLineMaxLength, "a composed length beyond 255");
    Check(std::strlen(line) == length, "the composed length is not the line's");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const halvern::fuzz::OverlayInput input = halvern::fuzz::DecodeOverlayInput(data, size);

    FuzzFinder finder;
    for (const auto& record : input.records) {
        finder.Add(record);
    }

    // One line from figures as extreme as the input makes them.
    halvern::LineFigures figures;
    double distance = 0;
    std::memcpy(&distance, &input.distanceBits, sizeof distance);
    figures.distanceMetres = static_cast<long double>(distance);
    std::memcpy(&figures.trueBearing, &input.bearingBits, sizeof figures.trueBearing);
    figures.variationWord = input.variationWord;
    char line[halvern::kOverlayLineSize];
    CheckLine(line, halvern::ComposeOverlayLine(finder.Record(0), figures, input.options, line));

    // The query and the refresh through the host interface, with a variables block of exactly
    // the size the module reads.
    std::array<halvern::HostEntry, 8> textTable{};
    textTable[halvern::kTextShowEntry] = reinterpret_cast<halvern::HostEntry>(&ShowEntry);
    std::unique_ptr<unsigned char[]> variables(
        new unsigned char[halvern::kSimVariablesMinimumSize]());
    std::memcpy(variables.get() + halvern::kAircraftPositionOffset, &input.aircraft,
                sizeof input.aircraft);
    std::memcpy(variables.get() + halvern::kMagneticVariationOffset, &input.variationWord,
                sizeof input.variationWord);
    halvern::HostServices host;
    host.textService = textTable.data();
    host.simVariables = variables.get();

    halvern::OverlayState state;
    state.maxDistance = input.maxDistance;
    state.displayOptions = input.options;
    state.overlayOn = 1;
    halvern::UpdateNearbyList(finder, host, state);
    Check(finder.NearbyCount() <= finder.RecordCount(), "more nearby airports than records");
    linesShown = 0;
    halvern::RefreshOverlay(finder, host, state);
    Check(linesShown == finder.NearbyCount(), "not one line per nearby airport");
    return 0;
}
