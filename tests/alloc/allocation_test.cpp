// The overlay refresh runs at every host event and must allocate nothing. This program counts
// every operator new and delete, and every malloc, calloc, realloc and free made by the code
// linked into it statically (the core library's growable arrays and names among them), across
// many refreshes, re-queries included (heap_counter.h).

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "airports/airport_finder.h"
#include "airports/cache_file.h"
#include "alloc/heap_counter.h"
#include "fixtures/temp_dir.h"
#include "fixtures/test_finder.h"
#include "geo/position_conversion.h"
#include "host/host_services.h"
#include "overlay/overlay_refresh.h"

namespace halvern {
namespace {

using testing::CodeFor;
using Counts = testing::HeapCounts;
using testing::CountsSince;
using testing::CurrentHeap;
using testing::refuseGrowth;

// A text service that keeps nothing but a count and a checksum, so that it allocates nothing.
struct Received {
    std::size_t lines = 0;
    std::size_t characters = 0;
};
Received received;

void HALVERN_HOSTCALL CountLine(const unsigned char* record, const TextCell* cell) {
    ++received.lines;
    received.characters += std::strlen(*cell) + record[16];
}

class Host {
  public:
    Host() { textTable[kTextShowEntry] = reinterpret_cast<HostEntry>(&CountLine); }

    HostServices Services() const {
        HostServices services;
        services.textService = textTable;
        services.simVariables = variables;
        return services;
    }

    void SetAircraftPosition(const WorldPosition& position) {
        std::memcpy(variables + kAircraftPositionOffset, &position, sizeof position);
    }

  private:
    HostEntry textTable[8] = {};
    unsigned char variables[0x800] = {};
};

// `count` airports along the meridian from 0N 0E, `spacing` degrees apart, distinct codes.
void AddAirportsNorth(AirportFinder& finder, int count, double spacing) {
    for (int i = 0; i < count; ++i) {
        const std::string name = "Field " + std::to_string(i);
        finder.AddAirport(name.c_str(), i * spacing, (i % 7) * 0.01, i, CodeFor(i).c_str());
    }
}

TEST(Allocation, RefreshesAndRequeriesAllocateNothing) {
    AirportFinder finder;
    AddAirportsNorth(finder, 600, 0.005);  // 3 degrees; about 200 within 30 NM
    Host host;
    OverlayState state;
    state.displayOptions = 0x3F;
    state.overlayOn = kOverlayOn;
    UpdateNearbyList(finder, host.Services(), state);
    received = {};

    const Counts start = CurrentHeap();
    std::size_t queries = 0;
    for (int event = 0; event < 2000; ++event) {
        // About 100 m north per event: a new query every 19 or so events.
        host.SetAircraftPosition(PositionFromDegrees(event * 0.0009, 0.01));
        const WorldPosition before = state.lastQueryPosition;
        RefreshOverlay(finder, host.Services(), state);
        queries += std::memcmp(&before, &state.lastQueryPosition, sizeof before) != 0 ? 1 : 0;
    }
    const Counts made = CountsSince(start);

    EXPECT_EQ(made.news, 0u);
    EXPECT_EQ(made.deletes, 0u);
    EXPECT_EQ(made.mallocs, 0u);
    EXPECT_EQ(made.reallocs, 0u);
    EXPECT_EQ(made.frees, 0u);
    // The loop did the work it is meant to measure.
    EXPECT_GT(queries, 50u);
    EXPECT_GT(received.lines, 2000u * 100u);
}

TEST(Allocation, GrowingTheNearbyListIsSeen) {
    AirportFinder finder;
    AddAirportsNorth(finder, 1001, 0.00001);
    const Counts start = CurrentHeap();
    finder.FindNearbyAirports(WorldPosition{}, 10000.0);
    EXPECT_EQ(finder.NearbyCount(), 1001);
    EXPECT_EQ(CountsSince(start).reallocs, 1u);
}

TEST(Allocation, AListThatCannotGrowKeepsTheAirportsFoundSoFar) {
    AirportFinder finder;
    AddAirportsNorth(finder, 1500, 0.00001);
    Host host;
    OverlayState state;
    state.overlayOn = kOverlayOn;
    refuseGrowth = true;
    UpdateNearbyList(finder, host.Services(), state);
    refuseGrowth = false;
    ASSERT_EQ(finder.NearbyCount(), 1000);
    EXPECT_EQ(finder.NearbyCapacity(), 1000);
    for (std::int32_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(finder.NearbyIndices()[i], i);
    }
    received = {};
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_EQ(received.lines, 1000u);
}

// The database's names share a few large blocks instead of taking one heap block each.
TEST(Allocation, NamesShareAFewBlocksReleasedTogether) {
    AirportFinder finder;
    const Counts start = CurrentHeap();
    AddAirportsNorth(finder, 20000, 0.0001);
    const Counts made = CountsSince(start);
    ASSERT_EQ(finder.RecordCount(), 20000);
    // The record list grows 19 times; the names take a few dozen blocks, not 20,000.
    EXPECT_EQ(made.reallocs, 19u);
    EXPECT_LT(made.mallocs, 100u);
    // Emptying the list gives every one of those blocks back at once.
    const Counts beforeClearing = CurrentHeap();
    finder.ClearRecords();
    EXPECT_EQ(CountsSince(beforeClearing).frees, made.mallocs);
}

class CacheAllocation : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.File(kCacheFileName);
        AirportFinder source;
        source.SetSceneryFingerprint(0xABCD);
        AddAirportsNorth(source, 20000, 0.0001);
        ASSERT_TRUE(source.WriteCache(path.c_str()));
        reader.SetSceneryFingerprint(0xABCD);
    }

    testing::TempDir dir;
    std::string path;
    AirportFinder reader;
};

TEST_F(CacheAllocation, ReadingTakesOneBlockForTheRecordsAndOneForTheNames) {
    const Counts start = CurrentHeap();
    ASSERT_TRUE(reader.ReadCache(path.c_str()));
    const Counts made = CountsSince(start);
    ASSERT_EQ(reader.RecordCount(), 20000);
    EXPECT_STREQ(reader.Record(19999).name, "Field 19999");
    // The read buffer, the names and the records (a fresh block, after the old one is freed),
    // whatever the count of records. The records' block comes from realloc of no block, which
    // an optimising compiler may turn into malloc: the two are counted together.
    EXPECT_EQ(made.mallocs + made.reallocs, 3u);
    EXPECT_EQ(made.frees, 2u);  // the old records and the read buffer
}

TEST_F(CacheAllocation, ARecordRefusedMidwayReleasesTheNamesCopiedSoFar) {
    // The file ends in the middle of its last record.
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 3);
    const Counts start = CurrentHeap();
    ASSERT_FALSE(reader.ReadCache(path.c_str()));
    const Counts made = CountsSince(start);
    EXPECT_EQ(reader.RecordCount(), 0);
    // Every block obtained here but the records' storage is given back at once: the names of
    // the 19,999 records read before the refusal do not wait for the finder's end.
    EXPECT_EQ(made.mallocs + made.reallocs, 3u);  // the read buffer, the names, the records
    EXPECT_EQ(made.frees, 3u);                    // the old records, the names and the read buffer
}

}  // namespace
}  // namespace halvern
