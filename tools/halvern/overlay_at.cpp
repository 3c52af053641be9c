#include "halvern/overlay_at.h"

#include <cstring>

#include "geo/position_conversion.h"
#include "host/host_services.h"
#include "host/text_record.h"

namespace halvern::tool {

namespace {

// The text service of this one-shot host: it keeps what it is handed.
std::vector<OverlayLineAt>* capturedLines = nullptr;

void HALVERN_HOSTCALL CaptureLine(const unsigned char* record, const TextCell* cell) {
    OverlayLineAt line;
    line.text = *cell;
    std::memcpy(line.packed, record + kTextRecordPositionOffset, sizeof line.packed);
    capturedLines->push_back(line);
}

}  // namespace

std::vector<OverlayLineAt> OverlayAt(AirportFinder& database, double latitude, double longitude,
                                     OverlayState state, std::uint16_t variationWord) {
    // A host of our own: the aircraft at the position, the variation, a text service.
    std::vector<unsigned char> variables(kSimVariablesMinimumSize + 64, 0);
    const WorldPosition aircraft = PositionFromDegrees(latitude, longitude);
    std::memcpy(variables.data() + kAircraftPositionOffset, &aircraft, sizeof aircraft);
    std::memcpy(variables.data() + kMagneticVariationOffset, &variationWord, sizeof variationWord);
    HostEntry textTable[8] = {};
    textTable[kTextShowEntry] = reinterpret_cast<HostEntry>(&CaptureLine);
    const HostServices host{textTable, nullptr, variables.data()};

    std::vector<OverlayLineAt> lines;
    capturedLines = &lines;
    state.overlayOn = kOverlayOn;
    UpdateNearbyList(database, host, state);
    RefreshOverlay(database, host, state);
    capturedLines = nullptr;
    return lines;
}

}  // namespace halvern::tool
