#include "airports/cache_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#if __has_include(<sys/resource.h>)
#include <sys/resource.h>

#include <csignal>
#endif

#include "airports/airport_finder.h"
#include "fixtures/temp_dir.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"

namespace halvern {
namespace {

using scenery::ReadBytes;
using scenery::WriteBytes;

constexpr std::uint32_t kFingerprint = 0xC0FFEE42;

// Cache bytes made by hand: header, then per record image, L and the name bytes.
struct CacheBytes {
    std::vector<unsigned char> bytes;

    CacheBytes(std::int32_t version, std::uint32_t fingerprint, std::uint32_t count) {
        U32(static_cast<std::uint32_t>(version));
        U32(fingerprint);
        U32(count);
    }
    void U32(std::uint32_t value) {
        bytes.resize(bytes.size() + 4);
        StoreU32(bytes.data() + bytes.size() - 4, value);
    }
    CacheBytes& Record(const std::string& name, std::uint32_t length, const char* code = "ABCD") {
        const unsigned char image[19] = {0,
                                         0,
                                         0x80,
                                         0x3F,
                                         0,
                                         0,
                                         0,
                                         0x40,
                                         0x39,
                                         0x30,
                                         9,
                                         9,
                                         9,
                                         9,
                                         static_cast<unsigned char>(code[0]),
                                         static_cast<unsigned char>(code[1]),
                                         static_cast<unsigned char>(code[2]),
                                         static_cast<unsigned char>(code[3]),
                                         0};
        bytes.insert(bytes.end(), std::begin(image), std::end(image));
        U32(length);
        bytes.insert(bytes.end(), name.begin(), name.end());
        // The name bytes the length announces; a length the reader refuses gets none.
        const std::size_t announced = length < kCacheNameCapacity ? length : name.size();
        bytes.resize(bytes.size() + (announced > name.size() ? announced - name.size() : 0), 0);
        return *this;
    }
};

class CacheFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.File(kCacheFileName);
        finder.SetSceneryFingerprint(kFingerprint);
    }

    // A finder holding two earlier records, to see whether a read leaves or empties them.
    void HoldTwoRecords() {
        finder.AddAirport("Old One", 1, 1, 1, "OLD1");
        finder.AddAirport("Old Two", 2, 2, 2, "OLD2");
    }

    testing::TempDir dir;
    std::string path;
    AirportFinder finder;
};

TEST_F(CacheFileTest, WritesTheDocumentedBytes) {
    AirportFinder source;
    source.SetSceneryFingerprint(kFingerprint);
    source.AddAirport("Ab", 1.0, 2.0, 12345 * 0.305, "XYZ");
    ASSERT_TRUE(source.WriteCache(path.c_str()));
    const std::vector<unsigned char> expected = {
        3,    0,    0,    0,                                      // version
        0x42, 0xEE, 0xFF, 0xC0,                                   // fingerprint
        1,    0,    0,    0,                                      // N
        0,    0,    0x80, 0x3F, 0,   0,   0,   0x40, 0x39, 0x30,  // 1.0f, 2.0f, 12345 ft
        0,    0,    0,    0,    'X', 'Y', 'Z', 0,    0,           // reserved, code, zero
        3,    0,    0,    0,    'A', 'b', 0};                     // L, name
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(CacheFileTest, RoundTripKeepsEveryRecordInOrder) {
    AirportFinder source;
    source.SetSceneryFingerprint(kFingerprint);
    for (int i = 0; i < 2500; ++i) {
        source.AddAirport(("Field " + std::to_string(i)).c_str(), -45.5 + i * 0.01,
                          170.25 - i * 0.1, i - 100.0, i % 3 == 0 ? "AB" : "WXYZ");
    }
    ASSERT_TRUE(source.WriteCache(path.c_str()));
    HoldTwoRecords();
    ASSERT_TRUE(finder.ReadCache(path.c_str()));
    ASSERT_EQ(finder.RecordCount(), 2500);
    EXPECT_EQ(finder.RecordCapacity(), 2500);  // exactly N after a read
    for (int i = 0; i < 2500; ++i) {
        const AirportRecord& a = source.Record(i);
        const AirportRecord& b = finder.Record(i);
        ASSERT_STREQ(a.name, b.name);
        ASSERT_EQ(a.latitude, b.latitude);
        ASSERT_EQ(a.longitude, b.longitude);
        ASSERT_EQ(a.elevation, b.elevation);
        ASSERT_EQ(std::memcmp(a.code, b.code, 5), 0);
    }
}

TEST_F(CacheFileTest, HeaderRejectionsLeaveTheRecordListAsItWas) {
    const std::string name = "Lakeside Field";
    const auto length = static_cast<std::uint32_t>(name.size() + 1);
    struct Case {
        const char* label;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {"version 2", CacheBytes(2, kFingerprint, 1).Record(name, length).bytes},
        {"other fingerprint", CacheBytes(3, kFingerprint + 1, 1).Record(name, length).bytes},
        {"no records", CacheBytes(3, kFingerprint, 0).bytes},
        // 12 + 19 + 4 + 15 = 50 bytes hold at most 50 / 19 = 2 records by the count test.
        {"count above length / 19", CacheBytes(3, kFingerprint, 3).Record(name, length).bytes},
        {"header cut short", {3, 0, 0, 0, 0x42, 0xEE}},
        {"empty file", {}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        AirportFinder holder;
        holder.SetSceneryFingerprint(kFingerprint);
        holder.AddAirport("Old One", 1, 1, 1, "OLD1");
        EXPECT_FALSE(holder.ReadCache(path.c_str())) << c.label;
        ASSERT_EQ(holder.RecordCount(), 1) << c.label;
        EXPECT_STREQ(holder.Record(0).name, "Old One") << c.label;
    }
    EXPECT_FALSE(finder.ReadCache(dir.File("missing.dat").c_str()));
}

TEST_F(CacheFileTest, RecordRejectionsEmptyTheRecordList) {
    const std::string name1022(1022, 'n');
    const std::string name1023(1023, 'n');
    struct Case {
        const char* label;
        std::vector<unsigned char> bytes;
        bool accepted;
    };
    const Case cases[] = {
        {"name of 1022 characters",
         CacheBytes(3, kFingerprint, 2).Record("A", 2).Record(name1022, 1023).bytes, true},
        {"name of 1023 characters",
         CacheBytes(3, kFingerprint, 2).Record("A", 2).Record(name1023, 1024).bytes, false},
        {"name length 0", CacheBytes(3, kFingerprint, 2).Record("A", 2).Record("", 0).bytes, false},
        {"huge name length",
         CacheBytes(3, kFingerprint, 2).Record("A", 2).Record("B", 0xFFFFFFFF).bytes, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        AirportFinder holder;
        holder.SetSceneryFingerprint(kFingerprint);
        holder.AddAirport("Old One", 1, 1, 1, "OLD1");
        EXPECT_EQ(holder.ReadCache(path.c_str()), c.accepted) << c.label;
        EXPECT_EQ(holder.RecordCount(), c.accepted ? 2 : 0) << c.label;
    }
}

// The inspection a diagnostic shows agrees with the read on every file, and says where a damaged
// one fails: at the count's field, or at the field of the entry that fails.
TEST_F(CacheFileTest, InspectionAgreesWithTheReadAndSaysWhereAFileFails) {
    const std::string name = "Lakeside Field";
    const auto length = static_cast<std::uint32_t>(name.size() + 1);
    const std::uint64_t second = 12 + 19 + 4 + length;  // where the second entry starts
    struct Case {
        const char* label;
        std::vector<unsigned char> bytes;
        CacheState state;
        std::uint64_t damagedAt;
    };
    const std::vector<unsigned char> valid =
        CacheBytes(3, kFingerprint, 2).Record(name, length).Record("B", 2).bytes;
    const Case cases[] = {
        {"valid", valid, CacheState::kValid, 0},
        {"version 2", CacheBytes(2, kFingerprint, 1).Record(name, length).bytes,
         CacheState::kOtherVersion, 0},
        {"other fingerprint", CacheBytes(3, kFingerprint + 1, 1).Record(name, length).bytes,
         CacheState::kOtherScenery, 0},
        {"no records", CacheBytes(3, kFingerprint, 0).bytes, CacheState::kNoRecords, 0},
        {"count above length / 19", CacheBytes(3, kFingerprint, 3).Record(name, length).bytes,
         CacheState::kDamaged, 8},
        {"header cut short", {3, 0, 0, 0, 0x42, 0xEE}, CacheState::kDamaged, 0},
        {"name length 0", CacheBytes(3, kFingerprint, 2).Record(name, length).Record("", 0).bytes,
         CacheState::kDamaged, second + 19},
        {"second entry cut short", std::vector<unsigned char>(valid.begin(), valid.end() - 5),
         CacheState::kDamaged, second},
        {"second name cut short", std::vector<unsigned char>(valid.begin(), valid.end() - 1),
         CacheState::kDamaged, second + 23},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        const CacheInspection found = InspectCache(path.c_str(), kFingerprint);
        EXPECT_EQ(found.state, c.state) << c.label;
        EXPECT_EQ(found.size, c.bytes.size()) << c.label;
        EXPECT_EQ(found.damagedAt, c.damagedAt) << c.label;
        EXPECT_EQ(found.state == CacheState::kDamaged, *found.damage != '\0') << c.label;
        AirportFinder reader;
        reader.SetSceneryFingerprint(kFingerprint);
        EXPECT_EQ(reader.ReadCache(path.c_str()), c.state == CacheState::kValid) << c.label;
    }
    const CacheInspection other = InspectCache(path.c_str(), kFingerprint);
    EXPECT_EQ(other.version, 3);
    EXPECT_EQ(other.fingerprint, kFingerprint);
    EXPECT_EQ(InspectCache(dir.File("missing.dat").c_str(), kFingerprint).state,
              CacheState::kAbsent);
}

TEST_F(CacheFileTest, AnUnterminatedNameOf1023BytesLoadsButIsNotWrittenReadably) {
    // The name bytes carry no zero: the text is the whole 1023 bytes, which the writer can only
    // store with a length of 1024, which the reader refuses (the next start rebuilds).
    const std::string name(1023, 'L');
    ASSERT_TRUE(WriteBytes(path, CacheBytes(3, kFingerprint, 1).Record(name, 1023).bytes));
    ASSERT_TRUE(finder.ReadCache(path.c_str()));
    EXPECT_EQ(std::string(finder.Record(0).name), name);
    const std::string copy = dir.File("Copy.dat");
    ASSERT_TRUE(finder.WriteCache(copy.c_str()));
    AirportFinder reread;
    reread.SetSceneryFingerprint(kFingerprint);
    EXPECT_FALSE(reread.ReadCache(copy.c_str()));
}

TEST_F(CacheFileTest, EveryTruncationOfAValidFileIsRejected) {
    AirportFinder source;
    source.SetSceneryFingerprint(kFingerprint);
    source.AddAirport("First", 1, 2, 3, "AAAA");
    source.AddAirport("Second", 4, 5, 6, "B");
    source.AddAirport("Third", 7, 8, 9, "");
    source.AddAirport(std::string(1022, 'L').c_str(), 10, 11, 12, "LONG");
    ASSERT_TRUE(source.WriteCache(path.c_str()));
    const std::vector<unsigned char> full = ReadBytes(path);
    for (std::size_t length = 0; length < full.size(); ++length) {
        ASSERT_TRUE(WriteBytes(path, std::vector<unsigned char>(
                                         full.begin(), full.begin() + static_cast<long>(length))));
        AirportFinder reader;
        reader.SetSceneryFingerprint(kFingerprint);
        ASSERT_FALSE(reader.ReadCache(path.c_str())) << "cut at " << length;
        ASSERT_EQ(reader.RecordCount(), 0);
    }
    ASSERT_TRUE(WriteBytes(path, full));
    EXPECT_TRUE(finder.ReadCache(path.c_str()));
}

#if __has_include(<sys/resource.h>)
// A write that fails part-way, as on a disk that fills up: the file may grow only to a limit.
// Whatever part of the cache reached the file, the writer says it failed and the reader
// refuses the file.
TEST_F(CacheFileTest, AWriteThatFailsPartWayLeavesTheOldCacheWhole) {
    AirportFinder source;
    source.SetSceneryFingerprint(kFingerprint);
    for (int i = 0; i < 300; ++i) {
        source.AddAirport(("Field " + std::to_string(i)).c_str(), i * 0.1, i * 0.2, i, "FLD");
    }
    ASSERT_TRUE(source.WriteCache(path.c_str()));
    const auto full = static_cast<rlim_t>(std::filesystem::file_size(path));
    ASSERT_GT(full, 8192u) << "the file must outgrow the stream's buffer";

    // Beyond the limit a write fails with an error instead of stopping the process.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{12}, rlim_t{30}, rlim_t{4095},
                               rlim_t{4096}, rlim_t{4097}, full / 2, full - 1}) {
        rlimit cut = saved;
        cut.rlim_cur = limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &cut), 0);
        const bool written = source.WriteCache(path.c_str());
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
        // The cut file never takes the cache's place: the old cache stays whole, and nothing
        // of the failed write is left beside it.
        EXPECT_FALSE(written) << "limit " << limit;
        EXPECT_EQ(std::filesystem::file_size(path), full);
        AirportFinder reader;
        reader.SetSceneryFingerprint(kFingerprint);
        EXPECT_TRUE(reader.ReadCache(path.c_str())) << "limit " << limit;
        EXPECT_EQ(reader.RecordCount(), 300);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1)
            << "limit " << limit;
    }
    std::signal(SIGXFSZ, previousHandler);
}
#endif

TEST_F(CacheFileTest, NamesStopAtTheirFirstZeroAndCodesAtFourCharacters) {
    std::vector<unsigned char> bytes = CacheBytes(3, kFingerprint, 1).Record("Ab", 6).bytes;
    bytes[12 + 18] = 'Q';          // byte 18 of the image is not zero
    bytes[12 + 19 + 4 + 3] = 'x';  // a byte after the name's first zero
    ASSERT_TRUE(WriteBytes(path, bytes));
    ASSERT_TRUE(finder.ReadCache(path.c_str()));
    EXPECT_STREQ(finder.Record(0).name, "Ab");
    EXPECT_STREQ(finder.Record(0).code, "ABCD");
    EXPECT_EQ(finder.Record(0).elevation, 12345);
}

TEST_F(CacheFileTest, WriteFailuresAreReported) {
    finder.AddAirport("A", 1, 1, 1, "A");
    EXPECT_FALSE(finder.WriteCache(dir.File("no-such-dir/HalvernCache.dat").c_str()));
    // A device that refuses every write: the data is lost, and the result says so.
    if (std::ifstream("/dev/full").good()) {
        EXPECT_FALSE(finder.WriteCache("/dev/full"));
    }
}

}  // namespace
}  // namespace halvern
