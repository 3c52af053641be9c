// The scenery.cfg reader of the portable build on any bytes: the initialisation-file reader
// itself, with values copied into exact-size buffers of every small capacity, and the area
// enumeration that reads the file's Area sections.

#include <memory>
#include <string>

#include "airports/area_sections.h"
#include "area_walk.h"
#include "platform/profile_file.h"
#include "support/profile_text.h"

namespace {

using halvern::fuzz::Check;

// Reads one value into a heap buffer of exactly `capacity` bytes: a write past it is reported.
void ReadInto(const halvern::platform::ProfileFile& file, const char* section, const char* key,
              std::size_t capacity) {
    std::unique_ptr<char[]> buffer(new char[capacity]);
    file.ReadString(section, key, buffer.get(), capacity);
    Check(capacity == 0 || std::strlen(buffer.get()) < capacity, "a value is not terminated");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const halvern::fuzz::ScratchSimulator& sim = halvern::fuzz::AreaSimulator();
    sim.Write("scenery.cfg", data, size);
    const std::string path = sim.Host("scenery.cfg");

    halvern::platform::ProfileFile file;
    Check(file.Load(path.c_str()), "an existing file could not be loaded");
    for (const char* section : {"Area.001", "AREA.002", "General", ""}) {
        for (const char* key : {"Local", "Active", "Title", ""}) {
            for (std::size_t capacity : {std::size_t{0}, std::size_t{1}, std::size_t{2},
                                         std::size_t{255}, std::size_t{260}}) {
                ReadInto(file, section, key, capacity);
            }
        }
    }

    // The walk as the diagnostics watch it, and every area section as they read the text.
    halvern::fuzz::AreaWalkCollector collector;
    halvern::fuzz::AreaCounter areas;
    collector.Observe(&areas);
    collector.EnumerateSceneryAreas(sim.HostDir().c_str());
    Check(areas.lists == 1, "the list of areas is not told once");
    const halvern::ProfileText text(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const halvern::AreaSection& section : halvern::AreaSections(text, areas.stoppedAt)) {
        Check(section.section < text.Sections().size(), "a section lies outside the text");
        // The walk reads the numbers below its stop: a section the text names for one of them
        // (the first of its name) is one the walk reached.
        const bool below = section.number < areas.stoppedAt;
        Check(section.role != halvern::SectionRole::kWalked || below,
              "a section beyond the stop is told as walked");
        Check(section.local.size() < 260 && section.active.size() < 255,
              "a value is longer than the walk reads it");
    }
    return 0;
}
