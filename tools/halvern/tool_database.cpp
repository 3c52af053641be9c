#include "halvern/tool_database.h"

namespace halvern::tool {

DatabaseSource ToolDatabase::Load(const std::string& simulatorDir) {
    return RunDatabaseStep(*this, simulatorDir.c_str(), progress_, this);
}

void ToolDatabase::OnFileScanned(const char* /*path*/, const platform::FileEntry& /*entry*/) {
    ++progress_.filesScanned;
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
