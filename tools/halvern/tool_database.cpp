#include "halvern/tool_database.h"

#include "airports/scenery_file_list.h"
#include "halvern/report_words.h"
#include "platform/name_lookup_scope.h"

namespace halvern::tool {

DatabaseSource ToolDatabase::Load(const SimulatorDir& simulatorDir) {
    // The module's own step, with the spelling found between its fingerprint pass and the cache.
    platform::NameLookupScope lookups;
    const char* directory = simulatorDir.directory.c_str();
    progress_.filesScanned = 0;
    SceneryFileList accepted;
    fingerprinting_ = true;
    FingerprintScenery(*this, directory, &accepted, this);
    fingerprinting_ = false;
    accepted.Trim();
    progress_.filesTotal = progress_.filesScanned;
    const std::string cachePath = CachePath(directory);
    spelling_ =
        FindModuleSpelling(simulatorDir.typed, simulatorDir.moduleSpelling, walk_, cachePath);
    SetSceneryFingerprint(spelling_.fingerprint);
    const DatabaseSource source =
        LoadDatabase(*this, directory, accepted, progress_, this, spelling_.MayWriteCache());
    if (!spelling_.MayWriteCache()) {
        std::fprintf(stderr, "halvern: %s\n", SpellingSentence(spelling_).c_str());
    }
    return source;
}

void ToolDatabase::OnFileScanned(const char* path, const platform::FileEntry& entry) {
    ++progress_.filesScanned;
    if (fingerprinting_) {
        walk_.OnFile(path, entry);
    }
    int percent = 0;
    if (extracting_ && progressStream_ != nullptr &&
        ProgressPercentMoved(progress_.filesScanned, progress_.filesTotal, percent)) {
        const int shown = percent > 100 ? 100 : percent;
        const int filled = shown / 5;
        std::fprintf(progressStream_, "\rExtracting airports [%.*s%*s] %3d%%", filled,
                     "####################", 20 - filled, "", shown);
        std::fflush(progressStream_);
    }
}

void ToolDatabase::OnArea(const SceneryArea& area) {
    walk_.OnArea(area);
}

void ToolDatabase::OnFile(const char* path, const platform::FileEntry& entry, FileFate fate,
                          std::int32_t /*airports*/) {
    // Accepted files come through OnFileScanned; the others a start never folds, but another
    // spelling might not leave out.
    if (fingerprinting_ && fate == FileFate::kDefaultArea) {
        walk_.OnFile(path, entry);
    }
}

void ToolDatabase::BeginExtraction() {
    extracting_ = true;
}

void ToolDatabase::EndExtraction() {
    extracting_ = false;
    if (progressStream_ != nullptr && progress_.filesScanned > 0) {
        std::fputc('\n', progressStream_);
    }
}

}  // namespace halvern::tool
