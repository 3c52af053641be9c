#include "overlay/overlay_refresh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "fixtures/test_finder.h"
#include "geo/geodesy.h"
#include "geo/position_conversion.h"
#include "halvern-host/simulator_services.h"

namespace halvern {
namespace {

using host::ShownLine;
using host::SimulatorServices;
using testing::DegreesForMetres;
using testing::TestFinder;

constexpr std::int32_t kOn = -1;  // all bits set, as the toggle leaves it (a literal on purpose)

bool SamePosition(const WorldPosition& a, const WorldPosition& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<std::string> ShownTexts(const SimulatorServices& host) {
    std::vector<std::string> texts;
    for (const ShownLine& shown : host.LinesOfLastEvent()) {
        texts.push_back(shown.text);
    }
    return texts;
}

// A position north of 0N 0E given by its exact fixed-point latitude, counted in 2^-32 of a
// latitude unit at a time.
WorldPosition NorthOfOrigin(std::int64_t fractionUnits) {
    WorldPosition position{};
    position.latitudeFraction = static_cast<std::uint32_t>(fractionUnits & 0xFFFFFFFF);
    position.latitudeInteger = static_cast<std::int32_t>(fractionUnits >> 32);
    return position;
}

class OverlayRefresh : public ::testing::Test {
  protected:
    SimulatorServices host;
    TestFinder finder;
    OverlayState state;
};

TEST_F(OverlayRefresh, WhileOffNothingIsComposedOrQueriedHoweverFarTheAircraftMoved) {
    finder.AddAirport("Far Field", 45, 45, 0, "FAR");
    host.SetAircraftPosition(PositionFromDegrees(45, 45));
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_TRUE(host.LinesOfLastEvent().empty());
    EXPECT_EQ(finder.NearbyCount(), 0);
    EXPECT_TRUE(SamePosition(state.lastQueryPosition, WorldPosition{}));
}

struct RadiusCase {
    std::int32_t maxDistance;
    double metres;
};

TEST(QueryRadius, IsTheDistanceTimes1862MetresWithoutOverflow) {
    const RadiusCase cases[] = {
        {10, 18620.0},
        {30, 55860.0},
        {250, 465500.0},
        {0, 0.0},
        {-1, -1862.0},
        // Beyond 1153320 a 32-bit product would overflow.
        {1153321, 2147483702.0},
        {INT32_MAX, 2147483647.0 * 1862.0},
        {INT32_MIN, -2147483648.0 * 1862.0},
    };
    for (const RadiusCase& c : cases) {
        EXPECT_EQ(QueryRadiusMetres(c.maxDistance), c.metres) << c.maxDistance;
    }
}

struct ReachCase {
    const char* label;
    std::int32_t maxDistance;
    std::vector<std::int32_t> listed;
};

// Airports at 0, 18600, 18640 and 1e6 metres north of the aircraft.
TEST_F(OverlayRefresh, UpdateNearbyListQueriesAroundTheAircraft) {
    const ReachCase cases[] = {
        {"10 NM reaches 18620 m", 10, {0, 1}},
        {"0 NM keeps the airport at the aircraft", 0, {0}},
        {"negative lists nothing", -5, {}},
        {"a hand-edited distance far above 250 NM", 2000000, {0, 1, 2, 3}},
    };
    const double base = 10.0;
    finder.AddAirport("Here", base, 0, 0, "HERE");
    finder.AddAirport("Near", base + DegreesForMetres(18600), 0, 0, "NEAR");
    finder.AddAirport("Edge", base + DegreesForMetres(18640), 0, 0, "EDGE");
    finder.AddAirport("Far", base + DegreesForMetres(1e6), 0, 0, "FAR");
    const WorldPosition aircraft = PositionFromDegrees(base, 0);
    host.SetAircraftPosition(aircraft);
    for (const ReachCase& c : cases) {
        state.maxDistance = c.maxDistance;
        state.lastQueryPosition = WorldPosition{};
        UpdateNearbyList(finder, host.Services(), state);
        EXPECT_EQ(finder.Nearby(), c.listed) << c.label;
        EXPECT_TRUE(SamePosition(state.lastQueryPosition, aircraft)) << c.label;
    }
}

TEST_F(OverlayRefresh, AnAirportAt18600MetresIsListedAndShownAs10Miles) {
    finder.AddAirport("Ten Mile Field", DegreesForMetres(18600), 0, 0, "TENM");
    state.maxDistance = 10;
    state.overlayOn = kOn;
    state.displayOptions = kShowCode | kShowDistance;
    UpdateNearbyList(finder, host.Services(), state);
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_EQ(ShownTexts(host), (std::vector<std::string>{"TENM 10 NM"}));
}

TEST(RequeryDistance, ExactlyTheDistanceIsNotFarEnough) {
    EXPECT_FALSE(MovedBeyondRequeryDistance(0.0L));
    EXPECT_FALSE(MovedBeyondRequeryDistance(1860.0L));
    EXPECT_TRUE(MovedBeyondRequeryDistance(std::nextafter(1860.0L, 2000.0L)));
}

TEST_F(OverlayRefresh, RequeriesOnlyWhenTheAircraftMovedMoreThan1860Metres) {
    // The farthest fixed-point position north of the last query position that still lies
    // within 1860 m, and the next one.
    std::int64_t within = 0;
    std::int64_t beyond = std::int64_t{4000} << 32;
    while (beyond - within > 1) {
        const std::int64_t middle = within + (beyond - within) / 2;
        (PositionDistance(NorthOfOrigin(middle), WorldPosition{}) <= 1860.0L ? within : beyond) =
            middle;
    }
    finder.AddAirport("Field", DegreesForMetres(5000), 0, 0, "FLD");
    state.overlayOn = kOn;

    // The list is empty until a query runs, so a line shows that one ran.
    host.SetAircraftPosition(NorthOfOrigin(within));
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_TRUE(host.LinesOfLastEvent().empty());
    EXPECT_TRUE(SamePosition(state.lastQueryPosition, WorldPosition{}));

    host.SetAircraftPosition(NorthOfOrigin(beyond));
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_EQ(host.LinesOfLastEvent().size(), 1u);
    EXPECT_TRUE(SamePosition(state.lastQueryPosition, NorthOfOrigin(beyond)));
}

TEST_F(OverlayRefresh, LinesAreMeasuredFromTheCurrentPositionNotTheLastQuery) {
    finder.AddAirport("Field", DegreesForMetres(5.5 * 1852), 0, 0, "FLD");
    state.overlayOn = kOn;
    state.displayOptions = kShowDistance;
    UpdateNearbyList(finder, host.Services(), state);
    host.SetAircraftPosition(PositionFromDegrees(DegreesForMetres(1852), 0));
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_EQ(ShownTexts(host), (std::vector<std::string>{"4 NM"}));
    EXPECT_TRUE(SamePosition(state.lastQueryPosition, WorldPosition{})) << "no new query";
}

// The aircraft position from which an airport at (latitude, longitude) lies `miles` away on the
// true bearing `bearing`, by the same flat-earth rule the overlay measures with.
WorldPosition AircraftFacing(double latitude, double longitude, double miles, double bearing) {
    const double radians = bearing * std::numbers::pi / 180.0;
    const double north = miles / 60.0 * std::cos(radians);
    const double east = miles / 60.0 * std::sin(radians);
    const double aircraftLatitude = latitude - north;
    const double meanLatitude = (latitude + aircraftLatitude) / 2.0 * std::numbers::pi / 180.0;
    return PositionFromDegrees(aircraftLatitude, longitude - east / std::cos(meanLatitude));
}

struct OptionCase {
    std::int32_t options;
    const char* line;
};

TEST_F(OverlayRefresh, ComposesTheLakesideFieldExamplesFromTheHostsFigures) {
    finder.AddAirport("Lakeside Field", 10.0, 20.0, 1234 * 0.305, "ABCD");
    const WorldPosition aircraft = AircraftFacing(10.0, 20.0, 12.9, 50.7);
    const WorldPosition airport = PositionFromDegrees(10.0, 20.0);
    // The geometry is what the examples assume.
    ASSERT_NEAR(static_cast<double>(PositionDistance(aircraft, airport)) / 1852.0, 12.9, 1e-3);
    ASSERT_NEAR(PositionBearing(aircraft, airport), 50.7, 1e-3);
    host.SetAircraftPosition(aircraft);
    host.SetMagneticVariation(0x0400);
    state.overlayOn = kOn;
    UpdateNearbyList(finder, host.Services(), state);

    const OptionCase cases[] = {
        {13, "Lakeside Field 12 NM @ 045"},
        {63, "Lakeside Field (ABCD) 12 NM @ 045 (050 true) 1234 MSL"},
    };
    for (const OptionCase& c : cases) {
        host.ClearLines();
        state.displayOptions = c.options;
        RefreshOverlay(finder, host.Services(), state);
        EXPECT_EQ(ShownTexts(host), (std::vector<std::string>{c.line})) << c.options;
    }

    // The variation is read at each refresh: 0x4000 is 90 degrees.
    host.ClearLines();
    host.SetMagneticVariation(0x4000);
    state.displayOptions = kShowMagneticBearing;
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_EQ(ShownTexts(host), (std::vector<std::string>{"@ 320"}));
}

TEST_F(OverlayRefresh, EachLineCarriesTheTemplateWithItsAirportsPackedPosition) {
    finder.AddAirport("Alpha", 0.5, 90.0, 0, "ALFA");
    finder.AddAirport("Bravo", -0.5, -122.25, 0, "BRVO");
    state.overlayOn = kOn;
    state.maxDistance = 2000000;
    state.displayOptions = kShowCode;
    UpdateNearbyList(finder, host.Services(), state);
    RefreshOverlay(finder, host.Services(), state);

    // The template, with each airport's latitude (fraction's upper 16 bits, integer), longitude
    // and zero altitude in bytes 16..33.
    const TextRecord alpha = {
        0x76, 0x00, 0x77, 0x00, 0x32, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x9A,
        0x19, 0x00, 0x00, 0x1C, 0x47, 0x0D, 0xD9, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x51, 0x00, 0x0F, 0xF0, 0x91,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x22, 0x00,
    };
    const TextRecord bravo = {
        0x76, 0x00, 0x77, 0x00, 0x32, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x9A,
        0x19, 0x00, 0x00, 0xE3, 0xB8, 0xF2, 0x26, 0xFF, 0xFF, 0x11, 0x11, 0x11, 0x11,
        0x11, 0xA9, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x51, 0x00, 0x0F, 0xF0, 0x91,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x22, 0x00,
    };
    ASSERT_EQ(ShownTexts(host), (std::vector<std::string>{"ALFA", "BRVO"}));
    EXPECT_EQ(host.LinesOfLastEvent()[0].record, alpha);
    EXPECT_EQ(host.LinesOfLastEvent()[1].record, bravo);
}

TEST_F(OverlayRefresh, EveryRefreshHandsOverEveryLineAgain) {
    finder.AddAirport("Alpha", 0.01, 0, 0, "ALFA");
    finder.AddAirport("Bravo", 0.02, 0, 0, "BRVO");
    state.overlayOn = kOn;
    state.displayOptions = kShowCode;
    UpdateNearbyList(finder, host.Services(), state);
    RefreshOverlay(finder, host.Services(), state);
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_EQ(ShownTexts(host), (std::vector<std::string>{"ALFA", "BRVO", "ALFA", "BRVO"}));
}

TEST_F(OverlayRefresh, ListEntriesThatNameNoRecordAreSkipped) {
    finder.AddAirport("Alpha", 0.01, 0, 0, "ALFA");
    finder.AddAirport("Bravo", 0.02, 0, 0, "BRVO");
    finder.SetNearby({-1, 1, 2, INT32_MIN, 0, INT32_MAX});
    state.overlayOn = kOn;
    state.displayOptions = kShowCode;
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_EQ(ShownTexts(host), (std::vector<std::string>{"BRVO", "ALFA"}));
}

TEST_F(OverlayRefresh, WithoutATextServiceNothingIsHandedOverButTheQueryStillRuns) {
    finder.AddAirport("Alpha", 0.5, 0.5, 0, "ALFA");
    host.SetAircraftPosition(PositionFromDegrees(0.5, 0.5));
    HostServices services = host.Services();
    services.textService = nullptr;
    state.overlayOn = kOn;
    RefreshOverlay(finder, services, state);
    EXPECT_TRUE(host.LinesOfLastEvent().empty());
    EXPECT_EQ(finder.NearbyCount(), 1);
}

TEST_F(OverlayRefresh, RecordsWithNaNOrInfiniteCoordinatesLieAtTheOrigin) {
    // A damaged cache file can hold any float. A coordinate without a position converts to 0,
    // so such a record lies at 0N 0E and its line is composed like any other.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    finder.AddAirport("Not a Number", nan, -nan, 0, "NAN");
    finder.AddAirport("Infinite", inf, -inf, 0, "INF");
    finder.AddAirport("Far", 10, 10, 0, "FAR");
    host.SetAircraftPosition(WorldPosition{});
    state.overlayOn = kOn;
    state.displayOptions = 0x3F;
    UpdateNearbyList(finder, host.Services(), state);
    EXPECT_EQ(finder.Nearby(), (std::vector<std::int32_t>{0, 1}));
    RefreshOverlay(finder, host.Services(), state);
    EXPECT_EQ(ShownTexts(host),
              (std::vector<std::string>{"Not a Number (NAN) 0 NM @ 000 (000 true) 0 MSL",
                                        "Infinite (INF) 0 NM @ 000 (000 true) 0 MSL"}));
}

}  // namespace
}  // namespace halvern
