#pragma once

// The area enumeration as the two scenery-list harnesses drive it: a scratch simulator with a
// few real area folders holding scenery files, and a collector that only counts and checks what
// it is handed instead of opening it.

#include <cstring>
#include <string>

#include "airports/afd_info_collector.h"
#include "fuzz_common.h"

namespace halvern::fuzz {

class AreaWalkCollector : public AFDInfoCollector {
  public:
    void ScanFile(const char* path, const platform::FileEntry& entry) override {
        const std::size_t length = std::strlen(path);
        const std::size_t nameLength = std::strlen(entry.name);
        Check(nameLength < sizeof entry.name, "an entry name fills its whole buffer");
        Check(length >= nameLength && std::strcmp(path + length - nameLength, entry.name) == 0,
              "a scanned path does not end in its entry's name");
        ++scanned;
    }
    int scanned = 0;
};

// Counts what the walk tells an observer, and checks that every area comes before the list's
// end, below the number where the walk stopped.
class AreaCounter : public SceneryObserver {
  public:
    void OnArea(const SceneryArea& area) override {
        Check(lists == 0, "an area is told after the list's end");
        Check(area.local != nullptr && area.directory != nullptr, "an area comes without names");
    }
    void OnAreaList(const AreaList& list) override {
        ++lists;
        stoppedAt = list.stoppedAt;
    }
    void OnWalkEnd(WalkEnd, std::int64_t, std::int32_t) override {}
    void OnFile(const char*, const platform::FileEntry&, FileFate, std::int32_t) override {}

    int lists = 0;
    std::uint64_t stoppedAt = 0;
};

// Makes the folders once: areas the seeds name relative to the simulator directory ("Addon",
// "Other", and the "scenery" folder itself), each holding one scenery file.
inline const ScratchSimulator& AreaSimulator() {
    static const bool made = [] {
        const std::uint8_t bytes[] = {'b', 'g', 'l'};
        for (const char* file : {"Addon/scenery/a.bgl", "scenery/b.bgl", "Other/scenery/c.BGL",
                                 "scenery/scenery/d.bgl"}) {
            ScratchSimulator::Get().Write(file, bytes, sizeof bytes);
        }
        return true;
    }();
    static_cast<void>(made);
    return ScratchSimulator::Get();
}

}  // namespace halvern::fuzz
