#include "host/host_services.h"

#include <bit>
#include <cstring>

namespace halvern {

// The host's words are little-endian, and so is every machine that runs the module's x87
// arithmetic, so host bytes are copied into native words unchanged.
static_assert(std::endian::native == std::endian::little);

namespace {

// The host routine at `index` of `table` in its real type; none when either is none. Entries
// are stored as one generic function type and called only through the type they were made as.
template <typename Entry>
Entry EntryOf(const HostEntry* table, std::size_t index) {
    if (table == nullptr || table[index] == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Entry>(table[index]);
}

}  // namespace

WorldPosition ReadAircraftPosition(const HostServices& host) {
    WorldPosition position{};
    if (host.simVariables == nullptr) {
        return position;
    }
    // The block is plain bytes and the position need not be aligned in it; WorldPosition has
    // the host's layout to the byte, so one copy fills all six words.
    std::memcpy(&position, host.simVariables + kAircraftPositionOffset, sizeof position);
    return position;
}

std::uint16_t ReadMagneticVariation(const HostServices& host) {
    if (host.simVariables == nullptr) {
        return 0;
    }
    std::uint16_t word = 0;
    std::memcpy(&word, host.simVariables + kMagneticVariationOffset, sizeof word);
    return word;
}

void ShowText(const HostServices& host, const unsigned char* record, const TextCell* cell) {
    if (const auto show = EntryOf<TextShowEntry>(host.textService, kTextShowEntry)) {
        show(record, cell);
    }
}

void RegisterChainCallback(const HostServices& host, ChainCallback callback) {
    if (const auto add = EntryOf<ChainRegistrationEntry>(host.chainService, kChainRegisterEntry)) {
        add(kRefreshChainEvent, callback);
    }
}

void UnregisterChainCallback(const HostServices& host, ChainCallback callback) {
    if (const auto remove =
            EntryOf<ChainRegistrationEntry>(host.chainService, kChainUnregisterEntry)) {
        remove(kRefreshChainEvent, callback);
    }
}

}  // namespace halvern
