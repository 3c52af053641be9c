#include "host/substitute_host.h"

#include <cstring>

namespace halvern::testing {

static_assert(kSimVariablesMinimumSize < 0x800 - 1);

SubstituteHost* SubstituteHost::active_ = nullptr;

SubstituteHost::SubstituteHost() : previous_(active_) {
    active_ = this;
    textTable[kTextShowEntry] = AsHostEntry(&ShowEntry);
    chainTable[kChainRegisterEntry] = AsHostEntry(&RegisterEntry);
    chainTable[kChainUnregisterEntry] = AsHostEntry(&UnregisterEntry);
}

SubstituteHost::~SubstituteHost() {
    active_ = previous_;
}

HostServices SubstituteHost::Services() const {
    HostServices services;
    services.textService = textTable.data();
    services.chainService = chainTable.data();
    services.simVariables = variables_;
    return services;
}

void SubstituteHost::SetAircraftPosition(const WorldPosition& position) {
    std::memcpy(variables_ + kAircraftPositionOffset, &position, sizeof position);
}

void SubstituteHost::SetMagneticVariation(std::uint16_t word) {
    std::memcpy(variables_ + kMagneticVariationOffset, &word, sizeof word);
}

void HALVERN_HOSTCALL SubstituteHost::ShowEntry(const unsigned char* record, const TextCell* cell) {
    ShownLine shown;
    shown.text = *cell;
    std::memcpy(shown.record.data(), record, shown.record.size());
    active_->shown_.push_back(shown);
}

void HALVERN_HOSTCALL SubstituteHost::RegisterEntry(std::uint32_t event, ChainCallback callback) {
    active_->chainCalls_.push_back({kChainRegisterEntry, event, callback});
}

void HALVERN_HOSTCALL SubstituteHost::UnregisterEntry(std::uint32_t event, ChainCallback callback) {
    active_->chainCalls_.push_back({kChainUnregisterEntry, event, callback});
}

}  // namespace halvern::testing
