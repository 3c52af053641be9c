#include "airports/airport_finder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "airports/growable_array.h"
#include "geo/checked_conversion.h"
#include "platform/extended_precision.h"

namespace halvern {

namespace {

// One foot taken as 0.305 m: the double nearest to 1 / 0.305.
constexpr double kFeetPerMetre = 3.278688524590164;

}  // namespace

std::int16_t ElevationFeetFromMetres(double metres) {
    platform::ExtendedPrecisionScope extended;
    const long double feet =
        extended.Fenced(static_cast<long double>(extended.Fenced(metres)) * kFeetPerMetre);
    return TruncateToInt16Saturated(feet);
}

AirportFinder::AirportFinder() {
    // A failed allocation leaves the capacity at 0; the first append then tries again.
    if (ResizeStorage(records, 0, kInitialCapacity)) {
        recordCapacity = kInitialCapacity;
    }
    ResizeNearby(kInitialCapacity);
}

AirportFinder::~AirportFinder() {
    ClearRecords();
    std::free(records);
    std::free(nearbyIndices);
}

void AirportFinder::OnFileScanned(const char* /*path*/, const platform::FileEntry& /*entry*/) {}

void AirportFinder::ClearRecords() {
    for (std::int32_t i = 0; i < recordCount; ++i) {
        records[i].name = nullptr;
    }
    recordCount = 0;
    names.Release();
}

bool AirportFinder::ReserveRecords(std::int32_t count) {
    if (count <= recordCapacity) {
        return true;
    }
    const std::int32_t capacity = GrownCapacity(count, kCapacityStep);
    if (capacity == 0 || !ResizeStorage(records, recordCapacity, capacity)) {
        return false;
    }
    recordCapacity = capacity;
    return true;
}

bool AirportFinder::ResizeNearby(std::int32_t capacity) {
    const auto oldCount = static_cast<std::size_t>(nearbyCapacity);
    const auto newCount = static_cast<std::size_t>(capacity);
    // The first block holds the indices alone; a grown one the keys and tree nodes too.
    const bool withTree = capacity > kInitialCapacity;
    const std::size_t entryBytes = withTree ? kNearbyEntryBytes : sizeof(std::int32_t);
    if (newCount <= oldCount || newCount > SIZE_MAX / entryBytes) {
        return false;
    }
    void* grown = std::realloc(nearbyIndices, newCount * entryBytes);
    if (grown == nullptr) {
        return false;
    }
    auto* bytes = static_cast<unsigned char*>(grown);
    if (withTree) {
        // Keys and nodes of the old block move up to their places for the new capacity (the
        // nodes first, as the keys move into where they were); the rest is zero.
        const std::size_t keysAt = newCount * sizeof(std::int32_t);
        const std::size_t nodesAt = keysAt + newCount * sizeof(std::uint32_t);
        const std::size_t kept = nearbyKeys != nullptr ? oldCount : 0;
        std::memmove(bytes + nodesAt, bytes + kept * (kNearbyEntryBytes - sizeof(CodeNode)),
                     kept * sizeof(CodeNode));
        std::memmove(bytes + keysAt, bytes + kept * sizeof(std::int32_t),
                     kept * sizeof(std::uint32_t));
        std::memset(bytes + keysAt + kept * sizeof(std::uint32_t), 0,
                    (newCount - kept) * sizeof(std::uint32_t));
        std::memset(bytes + nodesAt + kept * sizeof(CodeNode), 0,
                    (newCount - kept) * sizeof(CodeNode));
        nearbyKeys = reinterpret_cast<std::uint32_t*>(bytes + keysAt);
        nearbyNodes = reinterpret_cast<CodeNode*>(bytes + nodesAt);
    }
    // Only now, as the old keys lay there.
    std::memset(bytes + oldCount * sizeof(std::int32_t), 0,
                (newCount - oldCount) * sizeof(std::int32_t));
    nearbyIndices = reinterpret_cast<std::int32_t*>(bytes);
    nearbyCapacity = capacity;
    return true;
}

bool AirportFinder::AppendNearby(std::int32_t index) {
    if (nearbyCount == INT32_MAX) {
        return false;
    }
    const std::int32_t count = nearbyCount + 1;
    if (count > nearbyCapacity) {
        const std::int32_t capacity = GrownCapacity(count, kCapacityStep);
        if (capacity == 0 || !ResizeNearby(capacity)) {
            return false;
        }
    }
    nearbyIndices[nearbyCount] = index;
    nearbyCount = count;
    return true;
}

void AirportFinder::AddAirport(const char* name, double latitude, double longitude,
                               double elevationMetres, const char* code) {
    if (recordCount == INT32_MAX || !ReserveRecords(recordCount + 1)) {
        complete = false;
        return;
    }
    char* ownedName = names.Copy(name, std::strlen(name));
    if (ownedName == nullptr) {
        complete = false;
        return;
    }
    AirportRecord& record = records[recordCount];
    ++recordCount;
    record.latitude = static_cast<float>(latitude);
    record.longitude = static_cast<float>(longitude);
    // A slot past the end never holds a name of its own: emptying the list clears them.
    record.name = ownedName;
    // At most four characters; the rest of the field is zero.
    std::memset(record.code, 0, sizeof record.code);
    for (int i = 0; i < 4 && code[i] != '\0'; ++i) {
        record.code[i] = code[i];
    }
    record.elevation = ElevationFeetFromMetres(elevationMetres);
}

}  // namespace halvern
