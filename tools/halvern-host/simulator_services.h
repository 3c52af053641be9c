#pragma once

// The simulator's side of the host interface, for the substitute hosts and the tests alike: a
// chain service that keeps the callbacks modules register and raises events on them, a text
// service that collects the lines handed to it with their text records, and the simulation
// variables block with the aircraft's position and the magnetic variation. The services are real
// tables of entry points and a real block, handed over as the simulator hands them over; every
// call of the chain service is logged.

#include <array>
#include <cstddef>
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

// One call of the chain service: which entry, with what.
struct ChainCall {
    std::size_t entry;  // kChainRegisterEntry or kChainUnregisterEntry
    std::uint32_t event;
    ChainCallback callback;
};

class SimulatorServices {
  public:
    // The newest simulator receives the calls of the service entries; the one before it again
    // once it is gone (simulators are made and destroyed in nested order).
    SimulatorServices();
    ~SimulatorServices();
    SimulatorServices(const SimulatorServices&) = delete;
    SimulatorServices& operator=(const SimulatorServices&) = delete;

    // All three services present, as the module's import table receives them.
    HostServices Services() const { return {textTable_.data(), chainTable_.data(), variables_}; }
    // The tables, whose entries may be cleared: a simulator without that entry.
    HostEntry* TextTable() { return textTable_.data(); }
    HostEntry* ChainTable() { return chainTable_.data(); }
    // The block as the module sees it. It starts one byte past an aligned address, so that every
    // multi-byte variable in it is misaligned, as nothing promises otherwise.
    unsigned char* Variables() { return variables_; }

    void SetAircraftPosition(const WorldPosition& position);
    void SetMagneticVariation(std::uint16_t word);

    // Calls every callback registered for `event`, in registration order. The lines handed to
    // the text service meanwhile replace those of the previous event.
    void RaiseChainEvent(std::uint32_t event);

    // The lines handed to the text service since the last chain event was raised (since the
    // start or the last ClearLines, when none was raised since).
    const std::vector<ShownLine>& LinesOfLastEvent() const { return lines_; }
    void ClearLines() { lines_.clear(); }
    std::size_t RegisteredCallbacks() const { return callbacks_.size(); }
    const std::vector<ChainCall>& ChainCalls() const { return chainCalls_; }

  private:
    static void HALVERN_HOSTCALL ShowEntry(const unsigned char* record, const TextCell* cell);
    static void HALVERN_HOSTCALL RegisterEntry(std::uint32_t event, ChainCallback callback);
    static void HALVERN_HOSTCALL UnregisterEntry(std::uint32_t event, ChainCallback callback);

    struct Registration {
        std::uint32_t event;
        ChainCallback callback;
    };

    static constexpr std::size_t kBlockSize = 0x1000;
    static_assert(kSimVariablesMinimumSize < kBlockSize - 1);

    static SimulatorServices* current_;
    SimulatorServices* previous_;
    std::array<HostEntry, 16> textTable_{};
    std::array<HostEntry, 16> chainTable_{};
    alignas(16) std::array<unsigned char, kBlockSize> block_{};
    unsigned char* variables_ = block_.data() + 1;
    std::vector<Registration> callbacks_;
    std::vector<ChainCall> chainCalls_;
    std::vector<ShownLine> lines_;
    std::uint32_t eventCounter_ = 0;
};

}  // namespace halvern::host
