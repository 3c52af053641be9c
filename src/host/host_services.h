#pragma once

// The host's binary interface, and the one narrow door through which the module reaches it.
//
// The host hands the module three services: two tables of entry points (the chain service,
// which raises periodic events, and the text service, which shows lines on the simulator view)
// and one block of live simulation variables. A substitute host drives the module by building
// tables and a block of its own and handing their addresses over in a HostServices.

#include <cstddef>
#include <cstdint>

#include "geo/world_position.h"
#include "platform/calling_convention.h"

namespace halvern {

// Service ids in the module's import table.
inline constexpr std::uint32_t kChainServiceId = 4;  // event chain, from the host's chain.dll
inline constexpr std::uint32_t kTextServiceId = 14;  // text lines on the simulator view
inline constexpr std::uint32_t kSimVariablesId = 2;  // block of live simulation variables

// Entry positions (0-based) in the service tables.
inline constexpr std::size_t kChainRegisterEntry = 6;    // seventh: register a callback
inline constexpr std::size_t kChainUnregisterEntry = 7;  // eighth: unregister it
inline constexpr std::size_t kTextShowEntry = 6;         // seventh: show one line

// The chain event raised regularly while the simulation runs; the overlay refreshes on it.
inline constexpr std::uint32_t kRefreshChainEvent = 16;

// Byte offsets in the simulation variables block.
inline constexpr std::size_t kAircraftPositionOffset = 0x560;   // WorldPosition, 24 bytes
inline constexpr std::size_t kMagneticVariationOffset = 0x2A0;  // u16, 65536 to the turn
// The block must reach at least this far for the module's reads.
inline constexpr std::size_t kSimVariablesMinimumSize =
    kAircraftPositionOffset + sizeof(WorldPosition);

// One entry of a service table: the address of a host routine, one pointer wide. The real type
// of each entry is the one given below; the table stores them all alike.
using HostEntry = void(HALVERN_HOSTCALL*)();

// The module's chain callback; the host passes two 32-bit values that the module does not use.
using ChainCallback = void(HALVERN_HOSTCALL*)(std::uint32_t a, std::uint32_t b);

// Chain service, seventh and eighth entries: (event, callback). The host's result is never
// read, so it is declared as none; a register-returned result is simply left unused.
using ChainRegistrationEntry = void(HALVERN_HOSTCALL*)(std::uint32_t event, ChainCallback callback);

// The text cell: holds the address of the zero-terminated line.
using TextCell = const char*;

// Text service, seventh entry: (text record of kTextRecordSize bytes, text cell). The host uses
// all three (record, cell, line) only during the call.
using TextShowEntry = void(HALVERN_HOSTCALL*)(const unsigned char* record, const TextCell* cell);

static_assert(sizeof(HostEntry) == sizeof(void*));
static_assert(sizeof(TextCell) == sizeof(void*));
// The host is a 32-bit program: there every entry and the text cell are 4 bytes and the
// seventh entry lies at byte offset 24. A 64-bit build widens the addresses to 8 bytes.
static_assert(sizeof(void*) != 4 || (sizeof(HostEntry) == 4 && sizeof(TextCell) == 4 &&
                                     kTextShowEntry * sizeof(HostEntry) == 24 &&
                                     kChainRegisterEntry * sizeof(HostEntry) == 24 &&
                                     kChainUnregisterEntry * sizeof(HostEntry) == 28));

// The addresses the host wrote for the three services; any of them may be none.
struct HostServices {
    const HostEntry* textService = nullptr;
    const HostEntry* chainService = nullptr;
    const unsigned char* simVariables = nullptr;
};

// The aircraft's current position, copied whole from the variables block; all zero when the
// block is none.
WorldPosition ReadAircraftPosition(const HostServices& host);

// The magnetic variation word (65536 units to the turn); 0 when the block is none.
std::uint16_t ReadMagneticVariation(const HostServices& host);

// Hands one line to the text service; does nothing when the service or its entry is none.
void ShowText(const HostServices& host, const unsigned char* record, const TextCell* cell);

// Registers or unregisters `callback` for the refresh event; nothing when the chain service or
// its entry is none.
void RegisterChainCallback(const HostServices& host, ChainCallback callback);
void UnregisterChainCallback(const HostServices& host, ChainCallback callback);

}  // namespace halvern
