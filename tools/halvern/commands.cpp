#include "halvern/commands.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "halvern/tool_database.h"
#include "platform/directory_spellings.h"
#include "platform/native_path.h"

namespace halvern::tool {

bool ResolveSimulatorDir(const std::string& argument, std::string& simulatorDir) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (argument.empty()) {
        std::fprintf(stderr, "halvern: the simulator directory is empty\n");
        return false;
    }
    const fs::path directory = platform::PathFromArgument(argument);
    // The module finds a folder whatever its letter case: a directory spelled in another case
    // than on the disk is the directory.
    if (!fs::is_directory(directory, error)) {
        if (platform::DirectorySpellings(argument).empty()) {
            std::fprintf(stderr, "halvern: cannot read simulator directory '%s': %s\n",
                         argument.c_str(), error ? error.message().c_str() : "not a directory");
            return false;
        }
    } else {
        // A directory that cannot be listed cannot hold readable scenery lists either.
        fs::directory_iterator listing(directory, error);
        if (error) {
            std::fprintf(stderr, "halvern: cannot read simulator directory '%s': %s\n",
                         argument.c_str(), error.message().c_str());
            return false;
        }
    }
    // The tool reads the scenery through the directory made absolute, in the disk's letter case,
    // as the module composes its paths from an absolute directory: a relative spelling would
    // compose other paths (a short one gets no "scenery\" appended; the path limit falls
    // elsewhere).
    const std::vector<std::string> spellings = platform::DirectorySpellings(argument);
    simulatorDir = spellings.empty() ? platform::HostPathFromNative(argument) : spellings.front();
    if (simulatorDir.back() != '\\' && simulatorDir.back() != '/') {
        simulatorDir += '\\';
    }
    return true;
}

int RunScan(const SimulatorDir& simulatorDir) {
    ToolDatabase database(platform::IsTerminal(stderr) ? stderr : nullptr);
    const DatabaseSource source = database.Load(simulatorDir);
    std::printf("files %d\n", database.FilesAccepted());
    std::printf("fingerprint 0x%08X\n", database.SceneryFingerprint());
    std::printf("source %s\n", source == DatabaseSource::kCache ? "cache" : "scenery");
    std::printf("airports %d\n", database.RecordCount());
    return kExitOk;
}

int RunAirports(const SimulatorDir& simulatorDir) {
    ToolDatabase database(nullptr);
    database.Load(simulatorDir);
    for (std::int32_t i = 0; i < database.RecordCount(); ++i) {
        const AirportRecord& record = database.Record(i);
        std::printf("%d\t%s\t%.9g\t%.9g\t%d\t%s\n", i, record.code,
                    static_cast<double>(record.latitude), static_cast<double>(record.longitude),
                    record.elevation, record.name);
    }
    return kExitOk;
}

}  // namespace halvern::tool
