#pragma once

// The airport database as the command-line tool builds it: the module's own database step on a
// simulator directory, with a progress bar on a terminal in place of the progress window.

#include <cstdio>
#include <string>

#include "airports/airport_finder.h"
#include "airports/database_step.h"

namespace halvern::tool {

class ToolDatabase : public AirportFinder, private ExtractionObserver {
  public:
    // `progressStream` receives the progress bar during an extraction pass; null for none.
    explicit ToolDatabase(std::FILE* progressStream) : progressStream_(progressStream) {}

    // Runs the database step on a simulator directory in the host's form, with its trailing
    // separator.
    DatabaseSource Load(const std::string& simulatorDir);

    std::int32_t FilesAccepted() const { return progress_.filesTotal; }

    void OnFileScanned(const char* path, const platform::FileEntry& entry) override;

  private:
    void BeginExtraction() override;
    void EndExtraction() override;

    std::FILE* progressStream_;
    ScanProgress progress_;
    bool extracting_ = false;
};

}  // namespace halvern::tool
