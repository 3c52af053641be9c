#include "bench_world.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>

#include "airports/afd_info_collector.h"
#include "airports/cache_file.h"
#include "airports/database_step.h"
#include "airports/default_areas.h"
#include "geo/position_conversion.h"
#include "platform/native_path.h"

namespace halvern::bench {
namespace {

std::string worldDirectories[kWorldKinds];

// Notes every scenery file that the walk hands over, without opening any.
class InventoryCollector : public AFDInfoCollector {
  public:
    explicit InventoryCollector(BenchWorld& world) : world_(world) {}

    void ScanFile(const char* path, const platform::FileEntry& /*entry*/) override {
        const std::string_view view(path);
        const std::string area(view.substr(0, view.rfind('\\') + 1));
        if (world_.areaDirectories.empty() || world_.areaDirectories.back() != area) {
            world_.areaDirectories.push_back(area);
        }
        if (!IsInDefaultArea(path)) {
            world_.sceneryFiles.emplace_back(path);
        }
    }

  private:
    BenchWorld& world_;
};

std::unique_ptr<BenchWorld> LoadWorld(const std::string& nativeDirectory) {
    if (nativeDirectory.empty()) {
        return nullptr;
    }
    auto world = std::make_unique<BenchWorld>();
    world->nativeDirectory = std::filesystem::absolute(nativeDirectory).string();
    world->simulatorDir = platform::HostPathFromNative(world->nativeDirectory);
    if (world->simulatorDir.back() != '\\') {
        world->simulatorDir += '\\';
    }
    world->cachePath = CachePath(world->simulatorDir.c_str());
    world->nativeCachePath = (std::filesystem::absolute(nativeDirectory) / kCacheFileName).string();
    InventoryCollector inventory(*world);
    inventory.EnumerateSceneryAreas(world->simulatorDir.c_str());
    if (world->sceneryFiles.empty()) {
        return nullptr;
    }
    // Leaves a valid cache file behind for the warm start.
    AirportFinder finder;
    ScanProgress progress;
    RunDatabaseStep(finder, world->simulatorDir.c_str(), progress, nullptr);
    return world;
}

// The fields of one CSV line; quoted fields may hold commas and doubled quotes.
std::vector<std::string> SplitCsv(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

void SetWorldDirectory(WorldKind kind, const std::string& nativeDirectory) {
    worldDirectories[static_cast<int>(kind)] = nativeDirectory;
}

const BenchWorld* World(WorldKind kind) {
    static std::optional<std::unique_ptr<BenchWorld>> worlds[kWorldKinds];
    auto& world = worlds[static_cast<int>(kind)];
    if (!world) {
        world = LoadWorld(worldDirectories[static_cast<int>(kind)]);
    }
    return world->get();
}

void RemoveCacheFile(const BenchWorld& world) {
    std::remove(world.nativeCachePath.c_str());
}

const std::vector<Place>& CsvPlaces() {
    static const std::vector<Place> places = [] {
        std::vector<Place> all;
        std::ifstream file(HALVERN_AIRPORTS_CSV);
        std::string line;
        std::getline(file, line);  // header
        while (std::getline(file, line)) {
            const std::vector<std::string> fields = SplitCsv(line);
            if (fields.size() >= 5) {
                all.push_back({std::stod(fields[3]), std::stod(fields[4])});
            }
        }
        return all;
    }();
    return places;
}

const std::vector<WorldPosition>& QueryPositions() {
    static const std::vector<WorldPosition> positions = [] {
        std::vector<WorldPosition> all;
        const std::vector<Place>& places = CsvPlaces();
        for (std::size_t i = 0; i < places.size(); i += 81) {
            all.push_back(PositionFromDegrees(places[i].latitude, places[i].longitude));
        }
        return all;
    }();
    return positions;
}

}  // namespace halvern::bench
