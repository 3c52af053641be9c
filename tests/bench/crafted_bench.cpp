// Crafted input, each shape at 1, 4 and 16 MB: the time must grow no faster than the size. The
// summary compares the 16 MB time with 16 times the 1 MB time.
//   - scenery files of every crafted shape (crafted_scenery.h), extracted from memory;
//   - the nearby query over a database whose airports all lie in range with distinct codes, as
//     many as a sound scenery file of that size holds (one per 100 bytes);
//   - a scenery.cfg of that size listing areas, a scenery\world.vis of that size, and one area
//     holding scenery files of that size in all (4 KB each), walked from the simulator
//     directory by the extraction pass.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "airports/afd_info_collector.h"
#include "airports/airport_finder.h"
#include "geo/position_conversion.h"
#include "platform/native_path.h"
#include "scenery/crafted_scenery.h"

namespace halvern::bench {
namespace {

namespace fs = std::filesystem;
using crafted::Shape;

constexpr std::size_t kMegabyte = 1 << 20;

class CountingCollector : public AFDInfoCollector {
  public:
    void OnAirport(const char*, double, double, double, const char*) override { ++airports; }
    std::size_t airports = 0;
};

const std::vector<unsigned char>& CraftedImage(Shape shape, std::size_t megabytes) {
    static std::map<std::pair<int, std::size_t>, std::vector<unsigned char>> images;
    auto& image = images[{static_cast<int>(shape), megabytes}];
    if (image.empty()) {
        image = crafted::Scenery(shape, megabytes * kMegabyte);
    }
    return image;
}

void BM_CraftedScenery(benchmark::State& state) {
    const auto shape = static_cast<Shape>(state.range(0));
    const auto megabytes = static_cast<std::size_t>(state.range(1));
    const std::vector<unsigned char>& image = CraftedImage(shape, megabytes);
    std::size_t airports = 0;
    for (auto _ : state) {
        CountingCollector collector;
        collector.ParseMappedFile(image.data(), image.size());
        airports = collector.airports;
    }
    state.SetLabel(crafted::ShapeName(shape));
    state.counters["airports"] = static_cast<double>(airports);
}

std::string CodeFor(int index) {
    std::string code(4, 'A');
    for (int i = 3; i >= 0; --i) {
        code[static_cast<std::size_t>(i)] = static_cast<char>('A' + index % 26);
        index /= 26;
    }
    return code;
}

void BM_CraftedNearby(benchmark::State& state) {
    const auto megabytes = static_cast<int>(state.range(0));
    AirportFinder finder;
    const int count = megabytes * static_cast<int>(kMegabyte / 100);
    for (int i = 0; i < count; ++i) {
        finder.AddAirport("Field", 10.0 + (i % 1000) * 1e-5, 20.0, 0, CodeFor(i).c_str());
    }
    const WorldPosition position = PositionFromDegrees(10.0, 20.0);
    for (auto _ : state) {
        finder.FindNearbyAirports(position, 100000.0);
    }
    state.counters["listed"] = finder.NearbyCount();
}

// A scratch simulator directory for the list and area shapes, removed at the end of the run.
class Scratch {
  public:
    static const Scratch& Get() {
        static const Scratch scratch;
        return scratch;
    }
    fs::path Root() const { return root_; }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

  private:
    Scratch()
        : root_(fs::temp_directory_path() /
                ("halvern-crafted-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
        fs::create_directories(root_);
    }
    fs::path root_;
};

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<long>(text.size()));
}

// The simulator directory for a list or area shape of that size, made on first use.
std::string Simulator(int kind, std::size_t megabytes) {
    const fs::path dir =
        Scratch::Get().Root() / (std::to_string(kind) + "-" + std::to_string(megabytes));
    const std::string host = platform::HostPathFromNative(dir.string()) + "\\";
    if (fs::exists(dir)) {
        return host;
    }
    fs::create_directories(dir / "scenery");
    const std::size_t size = megabytes * kMegabyte;
    std::string text;
    if (kind == 0) {  // scenery.cfg: areas in missing directories, all active
        for (std::size_t n = 1; text.size() < size; ++n) {
            char area[96];
            std::snprintf(area, sizeof area,
                          "[Area.%03zu]\r\nLocal=Missing\\%zu\r\nActive=TRUE\r\n", n, n);
            text += area;
        }
        WriteText(dir / "scenery.cfg", text);
    } else if (kind == 1) {  // world.vis: entries naming missing folders
        text.assign(16, 'h');
        text[10] = 16;
        text[11] = 0;
        for (std::size_t n = 0; text.size() < size; ++n) {
            text +=
                "\x01\x02\x03=:\\=\\Missing" + std::to_string(n) + "\\x.dat" + '\0' + "n" + '\0';
        }
        WriteText(dir / "scenery" / "world.vis", text);
    } else {  // one area of 4 KB scenery files
        WriteText(dir / "scenery.cfg", "[Area.001]\r\nLocal=Addon\r\nActive=TRUE\r\n");
        fs::create_directories(dir / "Addon" / "scenery");
        const std::vector<unsigned char> file = crafted::Scenery(Shape::kManyRecords, 4096);
        const std::string bytes(file.begin(), file.end());
        for (std::size_t n = 0; n < size / 4096; ++n) {
            WriteText(dir / "Addon" / "scenery" / ("f" + std::to_string(n) + ".bgl"), bytes);
        }
    }
    return host;
}

void BM_CraftedLists(benchmark::State& state) {
    const auto kind = static_cast<int>(state.range(0));
    const std::string simulator = Simulator(kind, static_cast<std::size_t>(state.range(1)));
    for (auto _ : state) {
        AirportFinder finder;
        finder.BuildFromScenery(simulator.c_str());
        benchmark::DoNotOptimize(finder.RecordCount());
    }
    state.SetLabel(kind == 0 ? "scenery.cfg areas" : kind == 1 ? "world.vis" : "area files");
}

// scenery.cfg naming one area of 20 scenery files in 3,000 spellings (repeated separators, "."
// steps, letter case of the scenery folder), and its floor: 3,000 areas in empty directories of
// their own. The walk-once guard knows a directory by its identity, so the spellings cost a look
// at each name and one walk of the area, not 3,000 walks of its files.
constexpr int kSpellings = 3000;

std::string SpelledSimulator(bool spellings) {
    const fs::path dir = Scratch::Get().Root() / (spellings ? "spellings" : "empty-areas");
    const std::string host = platform::HostPathFromNative(dir.string()) + "\\";
    if (fs::exists(dir)) {
        return host;
    }
    std::string config;
    if (spellings) {
        fs::create_directories(dir / "Addon Scenery" / "US" / "scenery");
        const std::vector<unsigned char> file = crafted::Scenery(Shape::kManyRecords, 4096);
        for (int n = 0; n < 20; ++n) {
            WriteText(dir / "Addon Scenery" / "US" / "scenery" / ("f" + std::to_string(n) + ".bgl"),
                      std::string(file.begin(), file.end()));
        }
    }
    for (int n = 1; n <= kSpellings; ++n) {
        std::string local;
        if (spellings) {
            // n % 60 trailing separators after n / 60 "." steps: 3,000 different spellings.
            local = "Addon Scenery\\US";
            for (int step = 0; step < n / 60; ++step) {
                local += "\\.";
            }
            local += std::string(static_cast<std::size_t>(n % 60) + 1, '\\');
        } else {
            local = "Empty\\" + std::to_string(n);
            fs::create_directories(dir / "Empty" / std::to_string(n) / "scenery");
        }
        char area[32];
        std::snprintf(area, sizeof area, "[Area.%03d]\r\n", n);
        config += area + ("Local=" + local + "\r\nActive=TRUE\r\n");
    }
    fs::create_directories(dir);
    WriteText(dir / "scenery.cfg", config);
    return host;
}

void BM_AreaSpellings(benchmark::State& state) {
    const std::string simulator = SpelledSimulator(state.range(0) != 0);
    for (auto _ : state) {
        AirportFinder finder;
        finder.BuildFromScenery(simulator.c_str());
        benchmark::DoNotOptimize(finder.RecordCount());
    }
    state.SetLabel(state.range(0) != 0 ? "one area in 3,000 spellings" : "3,000 empty areas");
}

void ShapesAndSizes(benchmark::internal::Benchmark* bench) {
    for (const Shape shape : crafted::kShapes) {
        for (const int megabytes : {1, 4, 16}) {
            bench->Args({static_cast<int>(shape), megabytes});
        }
    }
}

BENCHMARK(BM_CraftedScenery)
    ->ArgNames({"shape", "MB"})
    ->Apply(ShapesAndSizes)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CraftedNearby)->ArgName("MB")->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CraftedLists)
    ->ArgNames({"list", "MB"})
    ->ArgsProduct({{0, 1, 2}, {1, 4, 16}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AreaSpellings)->ArgName("spellings")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace halvern::bench
