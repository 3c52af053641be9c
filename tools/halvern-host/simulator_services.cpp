#include "halvern-host/simulator_services.h"

#include <algorithm>
#include <cstring>

namespace halvern::host {

SimulatorServices* SimulatorServices::current_ = nullptr;

namespace {

template <typename Entry>
HostEntry AsEntry(Entry entry) {
    return reinterpret_cast<HostEntry>(entry);
}

}  // namespace

SimulatorServices::SimulatorServices() : previous_(current_) {
    current_ = this;
    textTable_[kTextShowEntry] = AsEntry(&ShowEntry);
    chainTable_[kChainRegisterEntry] = AsEntry(&RegisterEntry);
    chainTable_[kChainUnregisterEntry] = AsEntry(&UnregisterEntry);
}

SimulatorServices::~SimulatorServices() {
    if (current_ == this) {
        current_ = previous_;
    }
}

void SimulatorServices::SetAircraftPosition(const WorldPosition& position) {
    std::memcpy(variables_ + kAircraftPositionOffset, &position, sizeof position);
}

void SimulatorServices::SetMagneticVariation(std::uint16_t word) {
    std::memcpy(variables_ + kMagneticVariationOffset, &word, sizeof word);
}

void SimulatorServices::RaiseChainEvent(std::uint32_t event) {
    lines_.clear();
    ++eventCounter_;
    // A callback may unregister itself while it runs: walk a copy.
    const std::vector<Registration> registered = callbacks_;
    for (const Registration& registration : registered) {
        if (registration.event == event) {
            registration.callback(eventCounter_, 0);
        }
    }
}

void HALVERN_HOSTCALL SimulatorServices::ShowEntry(const unsigned char* record,
                                                   const TextCell* cell) {
    if (current_ == nullptr || record == nullptr || cell == nullptr || *cell == nullptr) {
        return;
    }
    ShownLine line;
    line.text = *cell;
    std::memcpy(line.record.data(), record, line.record.size());
    std::memcpy(&line.position, record + kTextRecordPositionOffset, sizeof line.position);
    current_->lines_.push_back(std::move(line));
}

void HALVERN_HOSTCALL SimulatorServices::RegisterEntry(std::uint32_t event,
                                                       ChainCallback callback) {
    if (current_ != nullptr) {
        current_->chainCalls_.push_back({kChainRegisterEntry, event, callback});
        current_->callbacks_.push_back({event, callback});
    }
}

void HALVERN_HOSTCALL SimulatorServices::UnregisterEntry(std::uint32_t event,
                                                         ChainCallback callback) {
    if (current_ == nullptr) {
        return;
    }
    current_->chainCalls_.push_back({kChainUnregisterEntry, event, callback});
    auto& callbacks = current_->callbacks_;
    callbacks.erase(std::remove_if(callbacks.begin(), callbacks.end(),
                                   [&](const Registration& r) {
                                       return r.event == event && r.callback == callback;
                                   }),
                    callbacks.end());
}

}  // namespace halvern::host
