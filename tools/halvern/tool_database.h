#pragma once

// The airport database as the command-line tool builds it: the module's own database step on a
// simulator directory, with a progress bar on a terminal in place of the progress window, and
// the fingerprint folded under the module's spelling of the directory (module_spelling.h): a
// cache file written under another spelling is neither trusted nor overwritten.

#include <cstdio>
#include <string>

#include "airports/airport_finder.h"
#include "airports/database_step.h"
#include "halvern/commands.h"
#include "halvern/module_spelling.h"

namespace halvern::tool {

class ToolDatabase : public AirportFinder, private ExtractionObserver, private SceneryObserver {
  public:
    // `progressStream` receives the progress bar during an extraction pass; null for none.
    explicit ToolDatabase(std::FILE* progressStream) : progressStream_(progressStream) {}

    // Runs the database step on a simulator directory; where a cache file is left alone because
    // it was written under another spelling, says so on stderr.
    DatabaseSource Load(const SimulatorDir& simulatorDir);

    std::int32_t FilesAccepted() const { return progress_.filesTotal; }
    const ModuleSpelling& Spelling() const { return spelling_; }

    void OnFileScanned(const char* path, const platform::FileEntry& entry) override;

  private:
    void BeginExtraction() override;
    void EndExtraction() override;

    // The fingerprint pass's areas and default-area files, for the walk record.
    void OnArea(const SceneryArea& area) override;
    void OnWalkEnd(WalkEnd, std::int64_t, std::int32_t) override {}
    void OnFile(const char* path, const platform::FileEntry& entry, FileFate fate,
                std::int32_t airports) override;

    std::FILE* progressStream_;
    ScanProgress progress_;
    WalkRecord walk_;
    ModuleSpelling spelling_;
    bool fingerprinting_ = false;
    bool extracting_ = false;
};

}  // namespace halvern::tool
