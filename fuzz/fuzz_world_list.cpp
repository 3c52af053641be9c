// The world.vis list ("scenery\world.vis" below the simulator directory, read where there is no
// scenery.cfg) on any bytes: the enumeration walks its entries and lists the areas they name.

#include "airports/afd_info_collector.h"
#include "area_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const halvern::fuzz::ScratchSimulator& sim = halvern::fuzz::AreaSimulator();
    sim.Write("scenery/world.vis", data, size);
    halvern::fuzz::AreaWalkCollector collector;
    collector.EnumerateSceneryAreas(sim.HostDir().c_str());
    return 0;
}
