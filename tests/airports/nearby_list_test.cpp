#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "airports/airport_finder.h"
#include "fixtures/test_finder.h"
#include "geo/geodesy.h"
#include "geo/position_conversion.h"

namespace halvern {
namespace {

using testing::CodeFor;
using testing::DegreesForMetres;
using testing::TestFinder;

const WorldPosition kOrigin{};  // 0N 0E

struct Airport {
    const char* code;
    double metres;  // north of the query position
};

struct DedupCase {
    const char* label;
    std::vector<Airport> airports;  // in database order; the radius is 10000 m
    std::vector<std::int32_t> listed;
};

const DedupCase kDedupCases[] = {
    {"equal codes", {{"ABCD", 100}, {"ABCD", 200}}, {0}},
    {"empty codes", {{"", 100}, {"", 200}}, {0}},
    {"placeholder codes", {{"????", 100}, {"KSEA", 200}, {"????", 300}}, {0, 1}},
    {"AB then ABC", {{"AB", 100}, {"ABC", 200}}, {0, 1}},
    {"ABC then AB", {{"ABC", 100}, {"AB", 200}}, {0, 1}},
    {"first of each code",
     {{"A", 100}, {"B", 200}, {"A", 300}, {"C", 400}, {"B", 500}, {"D", 600}},
     {0, 1, 3, 5}},
    {"the first in the database wins though farther", {{"ABCD", 9000}, {"ABCD", 500}}, {0}},
    {"the same code outside the radius suppresses nothing", {{"ABCD", 20000}, {"ABCD", 500}}, {1}},
};

class Dedup : public ::testing::TestWithParam<DedupCase> {};

TEST_P(Dedup, KeepsTheFirstAirportOfEachCodeWithinTheRadius) {
    const DedupCase& c = GetParam();
    TestFinder finder;
    for (const Airport& airport : c.airports) {
        finder.AddAirport("Field", DegreesForMetres(airport.metres), 0.0, 0.0, airport.code);
    }
    finder.FindNearbyAirports(kOrigin, 10000.0);
    EXPECT_EQ(finder.Nearby(), c.listed);
}

INSTANTIATE_TEST_SUITE_P(NearbyQuery, Dedup, ::testing::ValuesIn(kDedupCases));

TEST(NearbyQuery, BytesAfterACodesTerminatorAreNotCompared) {
    TestFinder finder;
    finder.AddAirport("One", DegreesForMetres(100), 0, 0, "A");
    finder.AddAirport("Two", DegreesForMetres(200), 0, 0, "A");
    finder.SetCodeBytes(0, {'A', 0, 'B', 'C', 0});
    finder.SetCodeBytes(1, {'A', 0, 'X', 'Y', 0});
    finder.FindNearbyAirports(kOrigin, 10000.0);
    EXPECT_EQ(finder.Nearby(), (std::vector<std::int32_t>{0}));
}

TEST(NearbyQuery, AnAirportExactlyAtTheLimitIsListedAndOneBeyondItIsNot) {
    TestFinder finder;
    finder.AddAirport("Edge", 0.123456789, -0.0987654321, 0, "EDGE");
    const WorldPosition query = PositionFromDegrees(0.01, 0.02);
    const AirportRecord& edge = finder.Record(0);
    const auto metres = static_cast<double>(
        PositionDistance(query, PositionFromDegrees(static_cast<double>(edge.latitude),
                                                    static_cast<double>(edge.longitude))));

    finder.FindNearbyAirports(query, metres);
    EXPECT_EQ(finder.NearbyCount(), 1);
    finder.FindNearbyAirports(query, std::nextafter(metres, 0.0));
    EXPECT_EQ(finder.NearbyCount(), 0);
}

TEST(NearbyQuery, EachQueryReplacesTheListAndAnEmptyDatabaseListsNothing) {
    TestFinder empty;
    empty.FindNearbyAirports(kOrigin, 1e9);
    EXPECT_EQ(empty.NearbyCount(), 0);

    TestFinder finder;
    finder.AddAirport("Here", 0, 0, 0, "HERE");
    finder.AddAirport("There", 10, 10, 0, "THRE");
    finder.FindNearbyAirports(kOrigin, 1000.0);
    EXPECT_EQ(finder.Nearby(), (std::vector<std::int32_t>{0}));
    finder.FindNearbyAirports(PositionFromDegrees(10, 10), 1000.0);
    EXPECT_EQ(finder.Nearby(), (std::vector<std::int32_t>{1}));
    finder.FindNearbyAirports(PositionFromDegrees(-40, 60), 1000.0);
    EXPECT_EQ(finder.NearbyCount(), 0);
    EXPECT_EQ(finder.NearbyCapacity(), 1000);
}

TEST(NearbyQuery, The1001stAirportInRangeGrowsTheListTo2001) {
    TestFinder finder;
    for (int i = 0; i < 1001; ++i) {
        finder.AddAirport("Field", DegreesForMetres(i), 0, 0, CodeFor(i).c_str());
    }
    finder.FindNearbyAirports(kOrigin, 1000.0);
    ASSERT_EQ(finder.NearbyCount(), 1001);
    EXPECT_EQ(finder.NearbyCapacity(), 2001);
    for (std::int32_t i = 0; i < 1001; ++i) {
        ASSERT_EQ(finder.NearbyIndices()[i], i) << "database order";
    }
}

}  // namespace
}  // namespace halvern
