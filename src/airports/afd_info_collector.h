#pragma once

// A collector of airport facility data: it is handed scenery files one at a time (by the area
// enumeration), maps each one and reports every airport that carries a position through the
// virtual OnAirport.

#include <cstddef>
#include <cstdint>

#include "airports/scenery_areas.h"
#include "airports/scenery_observer.h"
#include "platform/file_entry.h"

namespace halvern {

class AFDInfoCollector : public SceneryWalkTarget {
  public:
    AFDInfoCollector() = default;
    ~AFDInfoCollector() override = default;
    AFDInfoCollector(const AFDInfoCollector&) = delete;
    AFDInfoCollector& operator=(const AFDInfoCollector&) = delete;

    // Maps the file read-only and extracts its airports; a file that cannot be opened, is empty
    // or cannot be mapped contributes nothing. The entry is only handed to the observer.
    void ScanFile(const char* path, const platform::FileEntry& entry) override;

    // One airport found: name and code are valid only during the call (the name points into the
    // mapped image). Does nothing here.
    virtual void OnAirport(const char* name, double latitude, double longitude,
                           double elevationMetres, const char* code);

    // Walks the host's scenery list below the simulator directory and hands every "*.bgl" file
    // of every active area to ScanFile, in the fixed visiting order (scenery_areas.h).
    void EnumerateSceneryAreas(const char* simulatorDir);

    // Hands every "*.bgl" entry of one area directory (ending in a separator) to ScanFile, in
    // the order of the directory listing (scenery_areas.h).
    void ScanAreaDirectory(const char* areaDir);

    // Checks the header of a file image and, if it passes, extracts its airports; false when
    // the header does not pass.
    bool ParseMappedFile(const unsigned char* image, std::size_t size);

    // Walks the facility section of a file image. Every read stays inside the image: a record or
    // text that reaches past its end ends the walk (airports reported before stay reported).
    // A file that points nowhere outside itself has all its airports reported. If storage for
    // the walk cannot be obtained, the file contributes no airports.
    void ExtractAirports(const unsigned char* image, std::size_t size);

    // Sub-records of detail blocks read so far by this collector: at most a few times the
    // number of bytes of the files it walked, however their airports share their blocks.
    std::uint64_t SubRecordVisits() const { return subRecordVisits_; }

  protected:
    // Maps the file and extracts its airports, as ScanFile does, and tells what became of it;
    // `entry` is the file's entry in its directory's listing.
    FileFate ReadFile(const char* path, const platform::FileEntry& entry);

    // Tells the observer, if there is one, what became of a file.
    void ReportFile(const char* path, const platform::FileEntry& entry, FileFate fate) const;

  private:
    std::uint64_t subRecordVisits_ = 0;
    std::int32_t fileAirports_ = 0;  // the airports reported from the file being read
    bool fileOutOfMemory_ = false;   // the file being read left airports out for want of storage
};

}  // namespace halvern
