// The cache file reader on the bytes of "HalvernCache.dat", read against a fixed scenery
// fingerprint by a finder that already holds one record. A file the reader accepts must hold
// the records its header counts, must survive being written and read back unchanged (unless a
// name fills all of its 1023 bytes), and the written file cut short anywhere must be rejected.

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "airports/airport_finder.h"
#include "airports/cache_file.h"
#include "fuzz_common.h"
#include "support/byte_order.h"

namespace {

using halvern::AirportFinder;
using halvern::AirportRecord;
using halvern::fuzz::Check;

constexpr const char* kHeldName = "Held Field";

bool SameRecord(const AirportRecord& a, const AirportRecord& b) {
    // Compared by their bits: NaN coordinates must come back as the same NaN.
    std::uint32_t aLat = 0;
    std::uint32_t bLat = 0;
    std::uint32_t aLon = 0;
    std::uint32_t bLon = 0;
    std::memcpy(&aLat, &a.latitude, 4);
    std::memcpy(&bLat, &b.latitude, 4);
    std::memcpy(&aLon, &a.longitude, 4);
    std::memcpy(&bLon, &b.longitude, 4);
    return aLat == bLat && aLon == bLon && a.elevation == b.elevation &&
           std::strcmp(a.name, b.name) == 0 && std::memcmp(a.code, b.code, 5) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const halvern::fuzz::ScratchSimulator& sim = halvern::fuzz::ScratchSimulator::Get();
    sim.Write(halvern::kCacheFileName, data, size);
    const std::string path = sim.Host(halvern::kCacheFileName);

    AirportFinder finder;
    finder.AddAirport(kHeldName, 1, 2, 3, "HELD");
    finder.SetSceneryFingerprint(halvern::fuzz::kCacheFingerprint);
    const halvern::CacheInspection inspection =
        halvern::InspectCache(path.c_str(), halvern::fuzz::kCacheFingerprint);
    Check(inspection.size == size && inspection.damagedAt <= size,
          "the inspection places the file's damage outside it");
    const bool read = finder.ReadCache(path.c_str());
    Check(read == (inspection.state == halvern::CacheState::kValid),
          "the inspection and the read disagree");
    if (!read) {
        // A header check leaves the list as it was; a record check empties it.
        Check(finder.RecordCount() == 0 ||
                  (finder.RecordCount() == 1 && std::strcmp(finder.Record(0).name, kHeldName) == 0),
              "a rejected file changed the record list");
        return 0;
    }

    const std::uint32_t count = size >= 12 ? halvern::LoadU32(data + 8) : 0;
    Check(count != 0 && finder.RecordCount() == static_cast<std::int32_t>(count),
          "the record count differs from the header's");
    Check(finder.RecordCapacity() == finder.RecordCount(), "the capacity is not exactly N");
    for (std::int32_t i = 0; i < finder.RecordCount(); ++i) {
        const AirportRecord& record = finder.Record(i);
        Check(record.name != nullptr && std::strlen(record.name) < halvern::kCacheNameCapacity,
              "a loaded name is missing or too long");
        Check(record.code[4] == '\0', "a loaded code is not terminated");
    }

    // Written and read back: the same records. A name whose 1023 bytes hold no zero is read
    // with 1023 characters; the writer stores it with a length of 1024, which the reader
    // refuses, as it refuses the cache of a scenery name that long.
    bool readable = true;
    for (std::int32_t i = 0; i < finder.RecordCount(); ++i) {
        readable = readable && std::strlen(finder.Record(i).name) < halvern::kCacheNameCapacity - 1;
    }
    const std::string copyPath = sim.Host("Copy.dat");
    Check(finder.WriteCache(copyPath.c_str()), "the cache could not be written");
    AirportFinder reread;
    reread.SetSceneryFingerprint(halvern::fuzz::kCacheFingerprint);
    Check(reread.ReadCache(copyPath.c_str()) == readable,
          readable ? "a written cache is rejected" : "a name of 1023 characters is accepted");
    if (readable) {
        Check(reread.RecordCount() == finder.RecordCount(), "the reread count differs");
        for (std::int32_t i = 0; i < finder.RecordCount(); ++i) {
            Check(SameRecord(finder.Record(i), reread.Record(i)), "a record changed on the way");
        }
    }

    // A write that stopped part-way: one cut, chosen by the input, must be rejected.
    const std::filesystem::path copy = sim.Native("Copy.dat");
    const auto written = static_cast<std::size_t>(std::filesystem::file_size(copy));
    std::filesystem::resize_file(copy, (size * 7919u) % written);
    AirportFinder cut;
    cut.SetSceneryFingerprint(halvern::fuzz::kCacheFingerprint);
    Check(!cut.ReadCache(copyPath.c_str()), "a cache cut short is accepted");
    Check(cut.RecordCount() == 0, "a cache cut short left records");
    return 0;
}
