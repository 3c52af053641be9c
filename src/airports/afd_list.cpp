#include "airports/afd_list.h"

#include <string>
#include <string_view>

#include "airports/default_areas.h"
#include "airports/scenery_fingerprint.h"

namespace halvern {

void AirportFinder::My_AFDList::ScanFile(const char* path, const platform::FileEntry& entry) {
    // The path is measured once, for the area test, the fingerprint and the list.
    const std::string_view measured(path);
    if (IsInDefaultArea(measured)) {
        ReportFile(path, entry, FileFate::kDefaultArea);
        return;  // neither fingerprinted nor extracted nor counted
    }
    if (fingerprintMode != SceneryPass::kExtraction) {
        // The fingerprint pass only looks at the directory entry; the file is not opened.
        finder.sceneryFingerprint = FoldFingerprint(finder.sceneryFingerprint, measured, entry);
        if (acceptedFiles != nullptr) {
            acceptedFiles->Add(measured, entry);
        }
    } else {
        // As AFDInfoCollector::ScanFile, but a file that could not be read for want of memory
        // leaves the database incomplete instead of merely without that file's airports.
        const FileFate fate = ReadFile(path, entry);
        if (fate == FileFate::kNoMemory) {
            finder.MarkIncomplete();
        }
        ReportFile(path, entry, fate);
    }
    // Every accepted file is reported, whether or not it could be read or held airports.
    finder.OnFileScanned(path, entry);
}

void AirportFinder::My_AFDList::OnAirport(const char* name, double latitude, double longitude,
                                          double elevationMetres, const char* code) {
    finder.AddAirport(name, latitude, longitude, elevationMetres, code);
}

// The extraction passes live with the collector that does them.
void AirportFinder::BuildFromScenery(const char* simulatorDir, SceneryObserver* observer) {
    ClearRecords();
    nearby.Clear();
    complete = true;
    My_AFDList collector(*this, SceneryPass::kExtraction);
    collector.Observe(observer);
    collector.EnumerateSceneryAreas(simulatorDir);
}

void AirportFinder::BuildFromFiles(const SceneryFileList& files) {
    ClearRecords();
    nearby.Clear();
    complete = true;
    My_AFDList collector(*this, SceneryPass::kExtraction);
    std::string path;
    for (std::size_t i = 0; i < files.Count(); ++i) {
        files.Path(i, path);
        collector.ScanFile(path.c_str(), files.Entry(i));
    }
}

}  // namespace halvern
