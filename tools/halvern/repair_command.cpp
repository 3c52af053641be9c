// `halvern repair SIMDIR FILE`: a repaired copy of scenery.cfg, for the pilot to review and put
// in place (scenery_repair.h).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "airports/scenery_areas.h"
#include "halvern/commands.h"
#include "halvern/report_words.h"
#include "halvern/scenery_repair.h"
#include "halvern/scenery_report.h"
#include "platform/file_access.h"
#include "platform/native_path.h"

namespace halvern::tool {

namespace {

namespace fs = std::filesystem;

// Whether `file` would lie in `directory` or below it, by the folders' identity on the disk
// (links followed).
bool LiesIn(const fs::path& file, const fs::path& directory) {
    std::error_code error;
    for (fs::path folder = fs::weakly_canonical(fs::absolute(file, error), error).parent_path();
         !error && !folder.empty(); folder = folder.parent_path()) {
        std::error_code different;
        if (fs::equivalent(folder, directory, different)) {
            return true;
        }
        if (folder == folder.root_path()) {
            break;
        }
    }
    return false;
}

void PrintLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::printf("%s\n", line.c_str());
    }
}

}  // namespace

int RunRepair(const SimulatorDir& simulatorDir, const std::string& file) {
    const fs::path target = platform::PathFromArgument(file);
    if (LiesIn(target, platform::PathFromHostText(simulatorDir.directory))) {
        std::fprintf(stderr,
                     "halvern: repair: '%s' lies in the simulator directory: write the copy "
                     "elsewhere, review it, and put it in place yourself\n",
                     file.c_str());
        return kExitUsage;
    }
    SceneryReport report;
    BuildSceneryReport(simulatorDir, report);
    std::string config;
    if (report.list.source != AreaSource::kSceneryConfig || report.list.state != ListState::kRead ||
        !platform::ReadHostFile((report.simulatorDir + kSceneryConfigName).c_str(), config)) {
        // world.vis is the simulator's to write: only what to change is told.
        std::printf("No scenery.cfg to repair (%s); what to change:\n",
                    ListSentence(report).c_str());
        for (const Shortfall& shortfall : ShortfallsOf(report)) {
            if (const std::string remedy = ShortfallRemedy(report, shortfall); !remedy.empty()) {
                std::printf("%s\n", remedy.c_str());
            }
        }
        for (const UnreadFolder& folder : report.unreadFolders) {
            std::printf("%s\n", UnreadFolderRemedy(report, folder).c_str());
        }
        return kExitOk;
    }
    const SceneryRepair repair = RepairSceneryConfig(report, config);
    PrintLines(repair.changes);
    PrintLines(repair.untouched);
    if (repair.changes.empty()) {
        std::printf(
            "Nothing to repair: the walk reads every area section of scenery.cfg, and an area "
            "names every folder of scenery files named scenery; %s is not written.\n",
            file.c_str());
        return kExitOk;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(repair.bytes.data(), static_cast<std::streamsize>(repair.bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "halvern: repair: could not write '%s'\n", file.c_str());
        return 1;
    }
    std::printf(
        "Wrote %s. Review it; then close the simulator, keep a copy of scenery.cfg, and put the "
        "repaired file in its place.\n",
        file.c_str());
    return kExitOk;
}

}  // namespace halvern::tool
