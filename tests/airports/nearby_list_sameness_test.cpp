// The nearby query passes over airports outside a latitude band and searches the list for a code
// only when a filter says it may be there. Neither shortcut may change a result: on random
// databases, positions and limits (the awkward values included) the query must list exactly the
// indices, in exactly the order, that the plain walk over every record lists.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "fixtures/test_finder.h"
#include "geo/geodesy.h"
#include "geo/position_conversion.h"
#include "overlay/overlay_refresh.h"

namespace halvern {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The query as first written: every record converted and measured, and the list searched for
// its code, in database order.
std::vector<std::int32_t> PlainQuery(const AirportFinder& finder, const WorldPosition& position,
                                     double limitMetres) {
    std::vector<std::int32_t> listed;
    for (std::int32_t i = 0; i < finder.RecordCount(); ++i) {
        const AirportRecord& record = finder.Record(i);
        const WorldPosition at = PositionFromDegrees(static_cast<double>(record.latitude),
                                                     static_cast<double>(record.longitude));
        if (static_cast<double>(PositionDistance(position, at)) > limitMetres) {
            continue;
        }
        bool seen = false;
        for (const std::int32_t j : listed) {
            seen = seen || std::strncmp(finder.Record(j).code, record.code, 4) == 0;
        }
        if (!seen) {
            listed.push_back(i);
        }
    }
    return listed;
}

// A database whose coordinates are set bit for bit, as a cache file may hold them.
class RawFinder : public testing::TestFinder {
  public:
    void Add(float latitude, float longitude, const char (&code)[5]) {
        AddAirport("Field", 0, 0, 0, "");
        const std::int32_t last = RecordCount() - 1;
        records[last].latitude = latitude;
        records[last].longitude = longitude;
        SetCodeBytes(last, code);
    }
};

double Degrees(const WorldPosition& position) {
    return (position.latitudeInteger + position.latitudeFraction * 0x1p-32) * (90.0 / 10001750.0);
}

double LongitudeDegrees(const WorldPosition& position) {
    return (position.longitudeInteger + position.longitudeFraction * 0x1p-32) *
           (360.0 / 4294967296.0);
}

// Random databases around a random query position, with latitudes gathered where the band
// decides: at its edges, just inside and outside the margin, at the limit itself, and at values
// the band must leave to the full test.
class World {
  public:
    explicit World(std::uint32_t seed) : random_(seed) {}

    WorldPosition QueryPosition() {
        switch (Pick(4)) {
            case 0:  // any words at all, far beyond the poles included
                return {Word(), static_cast<std::int32_t>(Word()),
                        Word(), static_cast<std::int32_t>(Word()),
                        0,      0};
            case 1:
                return PositionFromDegrees(Uniform(-89.9, 89.9), Uniform(-180, 180));
            case 2:  // near a pole
                return PositionFromDegrees(Uniform(-1, 1) + (Pick(2) == 0 ? 89.5 : -89.5),
                                           Uniform(-180, 180));
            default:  // at the edge of the latitudes the band judges
                return PositionFromDegrees(Uniform(-1, 1) + (Pick(2) == 0 ? 1000 : -1000),
                                           Uniform(-180, 180));
        }
    }

    double Limit() {
        switch (Pick(8)) {
            case 0:
                return QueryRadiusMetres(static_cast<std::int32_t>(Pick(251)));
            case 1:
                return QueryRadiusMetres(-static_cast<std::int32_t>(Pick(5)));
            case 2:
                return std::numeric_limits<double>::quiet_NaN();
            case 3:
                return Pick(2) == 0 ? std::numeric_limits<double>::infinity()
                                    : -std::numeric_limits<double>::infinity();
            case 4:
                return 0.0;
            case 5:  // a hand-edited distance far beyond the dialog's
                return QueryRadiusMetres(1153320 + static_cast<std::int32_t>(Pick(1000)));
            default:
                return Uniform(0, 600000);
        }
    }

    // `count` airports around `position` for a query with `limit`.
    void Fill(RawFinder& finder, const WorldPosition& position, double limit, int count,
              int codeCount) {
        const double centre = Degrees(position);
        const double east = LongitudeDegrees(position);
        const double reach = std::isfinite(limit) ? std::fabs(limit) / 111120.0 : 3.0;
        for (int i = 0; i < count; ++i) {
            float latitude = 0;
            switch (Pick(9)) {
                case 0:  // at the band's edges, within a few metres and a few margins
                    latitude = static_cast<float>(centre + (Pick(2) == 0 ? 1 : -1) *
                                                               (reach + Uniform(-3e-3, 3e-3)));
                    break;
                case 1:  // float steps across the edge
                    latitude =
                        std::nextafter(static_cast<float>(centre + (Pick(2) == 0 ? reach : -reach)),
                                       Pick(2) == 0 ? kInf : -kInf);
                    break;
                case 2:
                    latitude = static_cast<float>(Uniform(-90, 90));
                    break;
                case 3: {  // the values the band leaves alone, and its own limit
                    const float odd[] = {kNaN,     kInf,       -kInf,       1000.0f,
                                         -1000.0f, 1000.0001f, -1000.0001f, 1e4f,
                                         19325.0f, -19326.0f,  3e4f,        1e30f,
                                         -3.4e38f, 0.0f,       -0.0f,       1e-40f};
                    latitude = odd[Pick(sizeof odd / sizeof odd[0])];
                    break;
                }
                default:  // within reach
                    latitude = static_cast<float>(centre + Uniform(-1.2, 1.2) * reach);
                    break;
            }
            float longitude = static_cast<float>(east + Uniform(-1.5, 1.5) * reach);
            if (Pick(20) == 0) {
                longitude = Pick(2) == 0 ? kNaN : static_cast<float>(Uniform(-540, 540));
            }
            finder.Add(latitude, longitude, Code(codeCount));
        }
    }

  private:
    std::uint32_t Word() { return static_cast<std::uint32_t>(random_()); }
    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random_);
    }

    // Few codes, so that many repeat; some of them with bytes after their terminator.
    const char (&Code(int codeCount))[5] {
        const std::string text =
            testing::CodeFor(static_cast<int>(Pick(static_cast<std::size_t>(codeCount))))
                .substr(Pick(5));
        std::memset(code_, 0, sizeof code_);
        std::memcpy(code_, text.data(), text.size());
        if (text.size() < 3 && Pick(3) == 0) {
            code_[3] = 'Z';  // never compared: it lies after the terminator
        }
        return code_;
    }

    std::mt19937 random_;
    char code_[5] = {};
};

TEST(NearbyQuerySameness, RandomDatabasesListWhatThePlainWalkLists) {
    std::size_t listedInAll = 0;
    std::size_t emptyLists = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        World world(seed);
        const WorldPosition position = world.QueryPosition();
        const double limit = world.Limit();
        RawFinder finder;
        world.Fill(finder, position, limit, 400, 60);
        // Each database answers several queries, as the module's does.
        for (int query = 0; query < 4; ++query) {
            const WorldPosition at = query == 0 ? position : world.QueryPosition();
            const double radius = query == 0 ? limit : world.Limit();
            finder.FindNearbyAirports(at, radius);
            const std::vector<std::int32_t> expected = PlainQuery(finder, at, radius);
            ASSERT_EQ(finder.Nearby(), expected) << "seed " << seed << " query " << query;
            listedInAll += expected.size();
            emptyLists += expected.empty() ? 1u : 0u;
        }
    }
    // The cases reached both outcomes, many times over.
    EXPECT_GT(listedInAll, 20000u);
    EXPECT_GT(emptyLists, 50u);
}

TEST(NearbyQuerySameness, AirportsDueNorthAcrossTheLimitAreJudgedByTheirDistance) {
    struct Case {
        const char* label;
        WorldPosition position;
        double limit;
    };
    const Case cases[] = {
        {"equator, 10 NM", PositionFromDegrees(0, 0), QueryRadiusMetres(10)},
        {"47 N, 30 NM", PositionFromDegrees(47.25, 8.5), QueryRadiusMetres(30)},
        {"60 S, 250 NM", PositionFromDegrees(-60, -70), QueryRadiusMetres(250)},
        {"by the pole, 250 NM", PositionFromDegrees(89.9, 10), QueryRadiusMetres(250)},
        {"raw words", {0x9ABCDEF0u, 3000000, 0x12345678u, -100000, 0, 0}, 12345.678},
    };
    for (const Case& c : cases) {
        RawFinder finder;
        const double centre = Degrees(c.position);
        const float east = static_cast<float>(LongitudeDegrees(c.position));
        // 400 float steps on each side of where the limit lies, north and south.
        for (const float side : {1.0f, -1.0f}) {
            float latitude = static_cast<float>(centre + side * c.limit / 111120.0);
            for (int step = 0; step < 400; ++step) {
                latitude = std::nextafter(latitude, -side * kInf);
            }
            for (int step = 0; step < 800; ++step) {
                finder.Add(latitude, east, {0, 0, 0, 0, 0});
                finder.SetCodeBytes(
                    finder.RecordCount() - 1,
                    {static_cast<char>('A' + step % 26), static_cast<char>('A' + step / 26 % 26),
                     static_cast<char>(side > 0 ? 'N' : 'S'), 0, 0});
                latitude = std::nextafter(latitude, side * kInf);
            }
        }
        finder.FindNearbyAirports(c.position, c.limit);
        const std::vector<std::int32_t> expected = PlainQuery(finder, c.position, c.limit);
        EXPECT_EQ(finder.Nearby(), expected) << c.label;
        // Both sides of the limit were reached: some steps in, some out.
        EXPECT_GT(expected.size(), 100u) << c.label;
        EXPECT_LT(expected.size(), 1500u) << c.label;
    }
}

TEST(NearbyQuerySameness, AnAirportExactlyAtTheLimitIsListedWhereverItLies) {
    // The limit set to the airport's own distance: it must be listed, whichever way the band's
    // arithmetic rounds. Due north or south the distance is the latitude difference alone.
    std::mt19937 random(5);
    std::uniform_real_distribution<double> latitude(-89.0, 89.0);
    std::uniform_real_distribution<double> offset(-4.0, 4.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    int listed = 0;
    for (int i = 0; i < 3000; ++i) {
        const double east = longitude(random);
        const WorldPosition query = PositionFromDegrees(latitude(random), east);
        const auto north = static_cast<float>(Degrees(query) + offset(random));
        const auto west = static_cast<float>(i % 3 == 0 ? east + offset(random) * 1e-4 : east);
        RawFinder finder;
        finder.Add(north, west, {'E', 'D', 'G', 'E', 0});
        const double limit = static_cast<double>(PositionDistance(
            query, PositionFromDegrees(static_cast<double>(north), static_cast<double>(west))));
        finder.FindNearbyAirports(query, limit);
        ASSERT_EQ(finder.Nearby(), PlainQuery(finder, query, limit)) << i;
        listed += finder.NearbyCount();
    }
    EXPECT_EQ(listed, 3000);
}

TEST(NearbyQuerySameness, LatitudesWhoseWordsWrapAreLeftToTheFullTest) {
    // 38650 degrees is 2^32 latitude units and 2.06 degrees more: its integer word wraps to
    // 2.06 N (and its fraction word, out of range, reads 0), so the airport lies right at a
    // query there although its stored latitude is nowhere near.
    const WorldPosition wrapped = PositionFromDegrees(38650.0, 5.0);
    const double centre = Degrees(wrapped);
    ASSERT_NEAR(centre, 2.06, 0.01);
    RawFinder finder;
    finder.Add(38650.0f, 5.0f, {'W', 'R', 'A', 'P', 0});
    finder.Add(static_cast<float>(centre), 5.0f, {'N', 'E', 'A', 'R', 0});
    finder.Add(-38650.0f, 5.0f, {'S', 'O', 'U', 'T', 0});
    const WorldPosition query = PositionFromDegrees(centre, 5.0);
    finder.FindNearbyAirports(query, QueryRadiusMetres(30));
    EXPECT_EQ(finder.Nearby(), PlainQuery(finder, query, QueryRadiusMetres(30)));
    EXPECT_EQ(finder.Nearby(), (std::vector<std::int32_t>{0, 1}));
}

TEST(NearbyQuerySameness, ThousandsOfCodesInRangeKeepTheFirstOfEach) {
    // More codes than the filter has bits to tell apart: it must never hide a listed code.
    World world(77);
    const WorldPosition position = PositionFromDegrees(51.5, -0.1);
    const double limit = QueryRadiusMetres(250);
    RawFinder finder;
    world.Fill(finder, position, limit, 4000, 1);
    std::mt19937 random(78);
    for (std::int32_t i = 0; i < finder.RecordCount(); ++i) {
        const std::string code = testing::CodeFor(static_cast<int>(random() % 20000));
        finder.SetCodeBytes(i, {code[0], code[1], code[2], code[3], 0});
    }
    finder.FindNearbyAirports(position, limit);
    const std::vector<std::int32_t> expected = PlainQuery(finder, position, limit);
    EXPECT_EQ(finder.Nearby(), expected);
    EXPECT_GT(expected.size(), 1000u);
}

TEST(NearbyQuerySameness, CodesThatDifferInSingleBitsAndPrefixesKeepTheFirstOfEach) {
    // Codes close together as keys (one bit apart, bytes above 0x7F, one a prefix of another,
    // empty, bytes after the terminator) and more of them than the list's first capacity, so
    // that the list and its tree of codes grow during the query.
    const WorldPosition position = PositionFromDegrees(10, 10);
    RawFinder finder;
    std::mt19937 random(91);
    for (int i = 0; i < 6000; ++i) {
        char code[5] = {};
        const std::uint32_t bits = static_cast<std::uint32_t>(random());
        const int length = static_cast<int>(random() % 5);
        for (int c = 0; c < length; ++c) {
            // Mostly 'A' and its neighbours by one bit; now and then any byte but zero.
            const auto pick = static_cast<unsigned>(bits >> (8 * c) & 0xFF);
            code[c] = static_cast<char>(pick < 200 ? 'A' ^ (1 << (pick % 7)) : 1 + pick % 255);
        }
        if (length < 4 && random() % 3 == 0) {
            code[length + 1 < 4 ? length + 1 : 3] = 'Q';  // after the terminator: never compared
        }
        finder.Add(static_cast<float>(10 + (i % 100) * 1e-4), 10.0f, code);
    }
    finder.FindNearbyAirports(position, QueryRadiusMetres(30));
    const std::vector<std::int32_t> expected = PlainQuery(finder, position, QueryRadiusMetres(30));
    EXPECT_EQ(finder.Nearby(), expected);
    EXPECT_GT(expected.size(), 1000u);
    EXPECT_GT(finder.NearbyCapacity(), 2000);
    // Later queries find the grown block and use the tree from their first airport on.
    for (const double nauticalMiles : {0.3, 30.0}) {
        const double limit = QueryRadiusMetres(static_cast<std::int32_t>(nauticalMiles)) +
                             (nauticalMiles < 1 ? 500.0 : 0.0);
        finder.FindNearbyAirports(position, limit);
        EXPECT_EQ(finder.Nearby(), PlainQuery(finder, position, limit)) << nauticalMiles;
    }
}

}  // namespace
}  // namespace halvern
