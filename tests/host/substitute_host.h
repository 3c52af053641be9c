#pragma once

// A substitute for the host simulator's side of the host interface: a text service and a chain
// service as real tables of entry points, and a simulation variables block. It records every
// line handed to it, with the text record that came along, and every chain registration.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geo/world_position.h"
#include "host/host_services.h"
#include "host/text_record.h"

namespace halvern::testing {

class SubstituteHost {
  public:
    struct ShownLine {
        std::string text;
        TextRecord record;
    };

    struct ChainCall {
        std::size_t entry;
        std::uint32_t event;
        ChainCallback callback;
    };

    // The newest substitute host receives the calls of all entries.
    SubstituteHost();
    ~SubstituteHost();
    SubstituteHost(const SubstituteHost&) = delete;
    SubstituteHost& operator=(const SubstituteHost&) = delete;

    // All three services present.
    HostServices Services() const;

    void SetAircraftPosition(const WorldPosition& position);
    void SetMagneticVariation(std::uint16_t word);
    // The block as the module sees it. It starts one byte past an aligned address, so that
    // every multi-byte variable in it is misaligned.
    unsigned char* Variables() { return variables_; }

    const std::vector<ShownLine>& Shown() const { return shown_; }
    void ClearShown() { shown_.clear(); }
    const std::vector<ChainCall>& ChainCalls() const { return chainCalls_; }

    std::array<HostEntry, 8> textTable{};
    std::array<HostEntry, 8> chainTable{};

  private:
    static void HALVERN_HOSTCALL ShowEntry(const unsigned char* record, const TextCell* cell);
    static void HALVERN_HOSTCALL RegisterEntry(std::uint32_t event, ChainCallback callback);
    static void HALVERN_HOSTCALL UnregisterEntry(std::uint32_t event, ChainCallback callback);

    static SubstituteHost* active_;
    SubstituteHost* previous_;

    alignas(16) std::array<unsigned char, 0x800> storage_{};
    unsigned char* variables_ = storage_.data() + 1;
    std::vector<ShownLine> shown_;
    std::vector<ChainCall> chainCalls_;
};

// The host address of an entry routine of any type.
template <typename Entry>
HostEntry AsHostEntry(Entry entry) {
    return reinterpret_cast<HostEntry>(entry);
}

}  // namespace halvern::testing
