#pragma once

// The airport database: the record list, the nearby list of record indices (nearby_list.h), and
// the scenery fingerprint that keys the cache file. The module object derives from it, so the
// module is the database; it overrides OnFileScanned to follow the scenery passes.

#include <cstddef>
#include <cstdint>

#include "airports/airport_record.h"
#include "airports/name_arena.h"
#include "airports/nearby_list.h"
#include "geo/world_position.h"
#include "platform/file_entry.h"

namespace halvern {

class SceneryFileList;
class SceneryObserver;

class AirportFinder {
  public:
    // The collector that feeds this finder during one pass over the scenery (afd_list.h).
    class My_AFDList;

    static constexpr std::int32_t kInitialCapacity = kListInitialCapacity;
    // Growth rule of both arrays: an append past the capacity raises it to the new count + 1000.
    static constexpr std::int32_t kCapacityStep = kListCapacityStep;
    // The fingerprint of a finder that has not yet walked the scenery.
    static constexpr std::uint32_t kUnsetFingerprint = 0x5555AAAA;

    AirportFinder();
    virtual ~AirportFinder();
    AirportFinder(const AirportFinder&) = delete;
    AirportFinder& operator=(const AirportFinder&) = delete;

    // Called once for every scenery file that the collector accepts, in both passes, with the
    // file's full path and its directory entry. Does nothing here.
    virtual void OnFileScanned(const char* path, const platform::FileEntry& entry);

    // The most characters of a name the database keeps: with its terminator, the longest name
    // the cache file holds.
    static constexpr std::size_t kLongestName = 1022;

    // Appends one airport. The name keeps at most kLongestName characters. Latitude and
    // longitude are narrowed to float; the code keeps at most four characters; the elevation is
    // converted from metres to feet (one foot taken as 0.305 m) in extended precision, truncated,
    // and saturated to the signed 16-bit range (NaN gives 0). If storage cannot be obtained the
    // airport is dropped and the database is marked incomplete.
    void AddAirport(const char* name, double latitude, double longitude, double elevationMetres,
                    const char* code);

    // Empties the record list, releasing the names of the records it drops (all of them: the
    // names of the list live in one arena).
    void ClearRecords();

    // A whole record list loaded at once, as the cache file's reader does. StartLoading empties
    // the list, marks the database complete and releases the list's storage before it takes
    // storage for exactly `count` records and one block of `nameBytes` name bytes, so that the
    // two are never held at once; false when that cannot be obtained (the list is then empty).
    bool StartLoading(std::int32_t count, std::size_t nameBytes);
    // Appends the record of a cache image whose name is the text of `name` up to its first zero
    // byte, at most `length` bytes, of which `readable` may be read (NameArena::CopyField); false
    // when there is no room for it. Inline: the cache reader loads every record this way.
    bool LoadRecord(const unsigned char (&image)[kRecordImageSize], const char* name,
                    std::size_t length, std::size_t readable) {
        if (recordCount == recordCapacity) {
            return false;
        }
        AirportRecord& record = records[recordCount];
        record.name = names.CopyField(name, length, readable);
        if (record.name == nullptr) {
            return false;
        }
        DecodeRecordImage(image, record);
        ++recordCount;
        return true;
    }

    // The extraction passes (defined with the collector, afd_list.cpp). This one empties the
    // record list and the nearby list, then extracts the
    // airports of every accepted scenery file below the simulator directory, telling `observer`
    // (null for none) every area, file and early end of a file's walk. Neither reads nor writes
    // the cache file.
    void BuildFromScenery(const char* simulatorDir, SceneryObserver* observer = nullptr);

    // The extraction pass over the files that a fingerprint pass accepted, in their order, each
    // reported with its entry from that pass: the same as BuildFromScenery on a scenery that did
    // not change in between, without walking the scenery again.
    void BuildFromFiles(const SceneryFileList& files);

    // False once the current extraction pass lost an airport or a scenery file for want of
    // storage; such a database is used but never written to the cache. Each extraction pass and
    // each cache read starts complete.
    bool Complete() const { return complete; }
    void MarkIncomplete() { complete = false; }

    // Writes the whole record list to the cache file (cache_file.h, where this and ReadCache are
    // defined with the format); false when it cannot be written.
    bool WriteCache(const char* path) const;

    // Replaces the record list with the cache file's records if the file is valid and was
    // written for the current scenery fingerprint; false (and the list as the checks leave it)
    // otherwise.
    bool ReadCache(const char* path);

    // Rebuilds the nearby list (nearby_list.h): in database order, every airport whose position
    // lies within `limitMetres` of `position` and whose code is not yet in the list.
    void FindNearbyAirports(const WorldPosition& position, double limitMetres);

    std::int32_t RecordCount() const { return recordCount; }
    std::int32_t RecordCapacity() const { return recordCapacity; }
    const AirportRecord& Record(std::int32_t index) const { return records[index]; }
    std::int32_t NearbyCount() const { return nearby.Count(); }
    std::int32_t NearbyCapacity() const { return nearby.Capacity(); }
    const std::int32_t* NearbyIndices() const { return nearby.Indices(); }
    std::uint32_t SceneryFingerprint() const { return sceneryFingerprint; }
    void SetSceneryFingerprint(std::uint32_t value) { sceneryFingerprint = value; }

  protected:
    // Raises the record capacity to at least `count`, following the growth rule; new slots are
    // empty. False when storage cannot be obtained or the count cannot be represented.
    bool ReserveRecords(std::int32_t count);

    NearbyList nearby;
    AirportRecord* records = nullptr;
    std::int32_t recordCount = 0;
    std::int32_t recordCapacity = 0;
    std::uint32_t sceneryFingerprint = kUnsetFingerprint;
    bool complete = true;
    // Holds the names of records 0 to recordCount - 1; released when the list is emptied.
    NameArena names;
};

// Converts an elevation in metres to stored feet (see AddAirport).
std::int16_t ElevationFeetFromMetres(double metres);

}  // namespace halvern
