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
    nearby.Resize(kInitialCapacity);
}

AirportFinder::~AirportFinder() {
    ClearRecords();
    std::free(records);
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

bool AirportFinder::StartLoading(std::int32_t count, std::size_t nameBytes) {
    ClearRecords();
    complete = true;
    // If the new storage cannot be obtained the list is left empty without storage, which the
    // next append obtains anew.
    ResizeStorage(records, recordCapacity, 0);
    recordCapacity = 0;
    if (!ResizeStorage(records, 0, count)) {
        return false;
    }
    recordCapacity = count;
    // A file that holds more than its length promised (it grew while being read) only makes the
    // arena take another block.
    return names.Reserve(nameBytes);
}

void AirportFinder::FindNearbyAirports(const WorldPosition& position, double limitMetres) {
    nearby.Find(records, recordCount, position, limitMetres);
}

void AirportFinder::AddAirport(const char* name, double latitude, double longitude,
                               double elevationMetres, const char* code) {
    if (recordCount == INT32_MAX || !ReserveRecords(recordCount + 1)) {
        complete = false;
        return;
    }
    // A longer name would make a cache entry that the cache reader rejects, so that every start
    // extracted again; the database keeps the same name however it was loaded.
    // (memchr stops at the terminator, as if it read the bytes in order.)
    const void* end = std::memchr(name, 0, kLongestName);
    const std::size_t length = end != nullptr
                                   ? static_cast<std::size_t>(static_cast<const char*>(end) - name)
                                   : kLongestName;
    char* ownedName = names.Copy(name, length);
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
