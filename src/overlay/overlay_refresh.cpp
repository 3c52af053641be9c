#include "overlay/overlay_refresh.h"

#include "geo/geodesy.h"
#include "geo/position_conversion.h"
#include "host/text_record.h"
#include "overlay/overlay_line.h"

namespace halvern {

namespace {

// Only the figures that the options show: the distance, and the bearing once for both bearings
// (it is a pure function of the two positions). The variation is read afresh for each line that
// shows it.
LineFigures MeasureLine(const HostServices& host, const WorldPosition& aircraft,
                        const WorldPosition& airport, std::int32_t options) {
    LineFigures figures;
    if ((options & kShowDistance) != 0) {
        figures.distanceMetres = PositionDistance(aircraft, airport);
    }
    if ((options & (kShowMagneticBearing | kShowTrueBearing)) != 0) {
        figures.trueBearing = PositionBearing(aircraft, airport);
    }
    if ((options & kShowMagneticBearing) != 0) {
        figures.variationWord = ReadMagneticVariation(host);
    }
    return figures;
}

}  // namespace

double QueryRadiusMetres(std::int32_t maxDistance) {
    // At most 2^31 * 1862 in magnitude: exact in a double.
    return static_cast<double>(static_cast<std::int64_t>(maxDistance) *
                               kQueryMetresPerNauticalMile);
}

void UpdateNearbyList(AirportFinder& finder, const HostServices& host, OverlayState& state) {
    CopyPosition(state.lastQueryPosition, ReadAircraftPosition(host));
    finder.FindNearbyAirports(state.lastQueryPosition, QueryRadiusMetres(state.maxDistance));
}

void RefreshOverlay(AirportFinder& finder, const HostServices& host, OverlayState& state) {
    if (!state.Shown()) {
        return;
    }
    // The record, the line and the cell are reused for every line: the host uses them only
    // during each call.
    TextRecord record = kTextRecordTemplate;
    WorldPosition current{};
    CopyPosition(current, ReadAircraftPosition(host));
    if (MovedBeyondRequeryDistance(PositionDistance(current, state.lastQueryPosition))) {
        UpdateNearbyList(finder, host, state);
    }

    char line[kOverlayLineSize];
    TextCell cell = nullptr;
    const std::int32_t options = state.displayOptions;
    const std::int32_t* indices = finder.NearbyIndices();
    for (std::int32_t i = 0; i < finder.NearbyCount(); ++i) {
        const std::int32_t index = indices[i];
        if (index < 0 || index >= finder.RecordCount()) {
            continue;
        }
        const AirportRecord& airport = finder.Record(index);
        // Converted exactly as the query converts it.
        const WorldPosition at = PositionFromDegrees(static_cast<double>(airport.latitude),
                                                     static_cast<double>(airport.longitude));
        PackedPosition packed{};
        PackPosition(at, packed);
        WriteTextRecordPosition(record, packed);
        ComposeOverlayLine(airport, MeasureLine(host, current, at, options), options, line);
        cell = line;
        ShowText(host, record.data(), &cell);
    }
}

}  // namespace halvern
