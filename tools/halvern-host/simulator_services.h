#pragma once

// The simulator's side of the host interface: a chain service that keeps the callbacks modules
// register and raises events on them, a text service that collects the lines of one event, and
// the simulation variables block with the aircraft's position and the magnetic variation.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "geo/world_position.h"
#include "host/host_services.h"
#include "host/text_record.h"

namespace halvern::host {

struct ShownLine {
    std::string text;
    PackedPosition position;  // from bytes 16..33 of the text record
    TextRecord record;
};

class SimulatorServices {
  public:
    // One simulator at a time receives the calls of the service entries.
    SimulatorServices();
    ~SimulatorServices();
    SimulatorServices(const SimulatorServices&) = delete;
    SimulatorServices& operator=(const SimulatorServices&) = delete;

    const HostEntry* TextTable() const { return textTable_.data(); }
    const HostEntry* ChainTable() const { return chainTable_.data(); }
    const unsigned char* Variables() const { return variables_.data(); }

    void SetAircraftPosition(const WorldPosition& position);
    void SetMagneticVariation(std::uint16_t word);

    // Calls every callback registered for `event`, in registration order. The lines handed to
    // the text service meanwhile replace those of the previous event.
    void RaiseChainEvent(std::uint32_t event);

    const std::vector<ShownLine>& LinesOfLastEvent() const { return lines_; }
    std::size_t RegisteredCallbacks() const { return callbacks_.size(); }

  private:
    static void HALVERN_HOSTCALL ShowEntry(const unsigned char* record, const TextCell* cell);
    static void HALVERN_HOSTCALL RegisterEntry(std::uint32_t event, ChainCallback callback);
    static void HALVERN_HOSTCALL UnregisterEntry(std::uint32_t event, ChainCallback callback);

    struct Registration {
        std::uint32_t event;
        ChainCallback callback;
    };

    static SimulatorServices* current_;
    std::array<HostEntry, 16> textTable_{};
    std::array<HostEntry, 16> chainTable_{};
    std::array<unsigned char, 0x1000> variables_{};
    std::vector<Registration> callbacks_;
    std::vector<ShownLine> lines_;
    std::uint32_t eventCounter_ = 0;
};

}  // namespace halvern::host
