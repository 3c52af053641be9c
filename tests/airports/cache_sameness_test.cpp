// The cache file is read and written in large pieces rather than item by item, and its names go
// to one arena. None of that may change what is read or written: random files, valid and
// damaged, must be accepted or refused exactly as a reader that takes one item at a time
// accepts or refuses them, with the same records; and the written bytes must be exactly the
// documented layout, whatever the names' lengths.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "airports/cache_file.h"
#include "fixtures/temp_dir.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"

namespace halvern {
namespace {

using scenery::ReadBytes;
using scenery::WriteBytes;

constexpr std::uint32_t kFingerprint = 0x0DDBA11u;

struct Loaded {
    std::uint32_t latitudeBits;
    std::uint32_t longitudeBits;
    std::int16_t elevation;
    std::string code;
    std::string name;

    bool operator==(const Loaded&) const = default;
};

Loaded FromRecord(const AirportRecord& record) {
    return {FloatBits(record.latitude), FloatBits(record.longitude), record.elevation,
            std::string(record.code, strnlen(record.code, 5)), record.name};
}

enum class Outcome { kLoaded, kHeaderRefused, kRecordRefused };

// The reader as first written, one item at a time: the records it loads, or where it refused
// the file (a refused header leaves the record list as it was, a refused record empties it).
Outcome PlainRead(const std::string& path, std::vector<Loaded>& loaded) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Outcome::kHeaderRefused;
    }
    std::fseek(file, 0, SEEK_END);
    const long length = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    auto readU32 = [&](std::uint32_t& value) {
        unsigned char bytes[4];
        if (std::fread(bytes, 1, 4, file) != 4) {
            return false;
        }
        value = LoadU32(bytes);
        return true;
    };
    std::uint32_t version = 0;
    std::uint32_t fingerprint = 0;
    std::uint32_t count = 0;
    const bool header = readU32(version) && version == 3 && readU32(fingerprint) &&
                        fingerprint == kFingerprint && readU32(count) && count != 0 &&
                        count <= static_cast<unsigned long>(length) / 19 && count <= 0x7FFFFFFF;
    bool ok = header;
    for (std::uint32_t i = 0; ok && i < count; ++i) {
        unsigned char image[19];
        std::uint32_t nameLength = 0;
        char name[1024];
        ok = std::fread(image, 1, 19, file) == 19 && readU32(nameLength) && nameLength != 0 &&
             nameLength < 1024 && std::fread(name, 1, nameLength, file) == nameLength;
        if (ok) {
            const char code[5] = {static_cast<char>(image[14]), static_cast<char>(image[15]),
                                  static_cast<char>(image[16]), static_cast<char>(image[17]), 0};
            loaded.push_back({LoadU32(image), LoadU32(image + 4),
                              static_cast<std::int16_t>(LoadU16(image + 8)),
                              std::string(code, strnlen(code, 5)),
                              std::string(name, strnlen(name, nameLength))});
        }
    }
    std::fclose(file);
    return ok ? Outcome::kLoaded : header ? Outcome::kRecordRefused : Outcome::kHeaderRefused;
}

class Bytes {
  public:
    explicit Bytes(std::uint32_t seed) : random_(seed) {}

    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random_);
    }
    unsigned char Byte() { return static_cast<unsigned char>(Pick(256)); }

    // A file of `count` entries: random images, names of every length the reader accepts and a
    // few it refuses, some with bytes after their terminator or none at all.
    std::vector<unsigned char> File(std::uint32_t count) {
        std::vector<unsigned char> bytes;
        PutU32(bytes, 3);
        PutU32(bytes, kFingerprint);
        PutU32(bytes, count);
        for (std::uint32_t i = 0; i < count; ++i) {
            for (int k = 0; k < 19; ++k) {
                bytes.push_back(Byte());
            }
            std::uint32_t length = static_cast<std::uint32_t>(1 + Pick(Pick(10) == 0 ? 1023 : 40));
            if (Pick(200) == 0) {
                const std::uint32_t refused[] = {0, 1024, 1025, 0xFFFFFFFF};
                length = refused[Pick(4)];
            }
            PutU32(bytes, length);
            // A refused length of 1024 or 1025 still comes with its bytes: nothing but the length
            // itself tells the reader to refuse it.
            const std::size_t written = length <= 1025 ? length : 0;
            for (std::size_t k = 0; k < written; ++k) {
                bytes.push_back(static_cast<unsigned char>('a' + Pick(26)));
            }
            // Mostly terminated where L says; sometimes earlier, sometimes not at all.
            if (written > 0 && Pick(10) != 0) {
                bytes[bytes.size() - 1 - (Pick(4) == 0 ? Pick(written) : 0)] = 0;
            }
        }
        return bytes;
    }

    void Damage(std::vector<unsigned char>& bytes) {
        switch (Pick(6)) {
            case 0:
                break;
            case 1:  // cut anywhere
                bytes.resize(Pick(bytes.size() + 1));
                break;
            case 2:  // a few bytes changed anywhere
                for (std::size_t n = 1 + Pick(4); n > 0 && !bytes.empty(); --n) {
                    bytes[Pick(bytes.size())] = Byte();
                }
                break;
            case 3: {  // another count
                const std::uint32_t count = LoadU32(bytes.data() + 8);
                const std::uint32_t counts[] = {0,
                                                count - 1,
                                                count + 1,
                                                static_cast<std::uint32_t>(bytes.size() / 19),
                                                static_cast<std::uint32_t>(bytes.size() / 19 + 1),
                                                0x80000000u};
                StoreU32(bytes.data() + 8, counts[Pick(6)]);
                break;
            }
            case 4:  // trailing bytes, which are never read
                for (std::size_t n = Pick(5000); n > 0; --n) {
                    bytes.push_back(Byte());
                }
                break;
            default:  // another version or fingerprint
                StoreU32(bytes.data() + 4 * Pick(2), static_cast<std::uint32_t>(Pick(5)));
                break;
        }
    }

  private:
    static void PutU32(std::vector<unsigned char>& bytes, std::uint32_t value) {
        bytes.resize(bytes.size() + 4);
        StoreU32(bytes.data() + bytes.size() - 4, value);
    }

    std::mt19937 random_;
};

TEST(CacheSameness, RandomFilesAreReadAsTheItemByItemReaderReadsThem) {
    testing::TempDir dir;
    const std::string path = dir.File(kCacheFileName);
    int accepted = 0;
    int refusedInRecords = 0;
    int refusedInHeader = 0;
    for (std::uint32_t seed = 1; seed <= 600; ++seed) {
        Bytes random(seed);
        const auto count =
            static_cast<std::uint32_t>(1 + random.Pick(random.Pick(8) == 0 ? 1000 : 30));
        std::vector<unsigned char> bytes = random.File(count);
        random.Damage(bytes);
        ASSERT_TRUE(WriteBytes(path, bytes));

        std::vector<Loaded> expected;
        const Outcome plain = PlainRead(path, expected);
        AirportFinder finder;
        finder.SetSceneryFingerprint(kFingerprint);
        finder.AddAirport("Held Field", 1, 2, 3, "HELD");
        ASSERT_EQ(finder.ReadCache(path.c_str()), plain == Outcome::kLoaded) << "seed " << seed;
        switch (plain) {
            case Outcome::kLoaded:
                ++accepted;
                ASSERT_EQ(finder.RecordCount(), static_cast<std::int32_t>(expected.size()));
                ASSERT_EQ(finder.RecordCapacity(), finder.RecordCount());
                for (std::int32_t i = 0; i < finder.RecordCount(); ++i) {
                    ASSERT_EQ(FromRecord(finder.Record(i)), expected[static_cast<std::size_t>(i)])
                        << "seed " << seed << " record " << i;
                }
                break;
            case Outcome::kRecordRefused:
                ++refusedInRecords;
                ASSERT_EQ(finder.RecordCount(), 0) << "seed " << seed;
                break;
            case Outcome::kHeaderRefused:
                ++refusedInHeader;
                ASSERT_EQ(finder.RecordCount(), 1) << "seed " << seed;
                ASSERT_STREQ(finder.Record(0).name, "Held Field") << "seed " << seed;
                break;
        }
    }
    // Every outcome was reached many times.
    EXPECT_GT(accepted, 100) << refusedInRecords << " " << refusedInHeader;
    EXPECT_GT(refusedInRecords, 100) << accepted << " " << refusedInHeader;
    EXPECT_GT(refusedInHeader, 100) << accepted << " " << refusedInRecords;
}

TEST(CacheSameness, WrittenBytesAreTheDocumentedLayoutForNamesOfAnyLength) {
    testing::TempDir dir;
    const std::string path = dir.File(kCacheFileName);
    // Names around and far beyond the size of the writer's pieces, and none at all.
    const std::size_t lengths[] = {0, 1, 30, 1022, 1023, 5000, 16383, 16384, 32767, 32768, 40000};
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        Bytes random(seed);
        AirportFinder finder;
        finder.SetSceneryFingerprint(kFingerprint + seed);
        std::vector<unsigned char> expected;
        const std::size_t count = random.Pick(seed % 4 == 0 ? 1500 : 40);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t length =
                random.Pick(10) == 0 ? lengths[random.Pick(std::size(lengths))] : random.Pick(40);
            const std::string name(length, static_cast<char>('A' + random.Pick(26)));
            finder.AddAirport(name.c_str(), random.Uniform(-90, 90), random.Uniform(-180, 180),
                              random.Uniform(-100, 3000), i % 2 == 0 ? "ABCD" : "XY");
        }
        for (const std::uint32_t word :
             {3u, kFingerprint + seed, static_cast<std::uint32_t>(finder.RecordCount())}) {
            unsigned char bytes[4];
            StoreU32(bytes, word);
            expected.insert(expected.end(), bytes, bytes + 4);
        }
        for (std::int32_t i = 0; i < finder.RecordCount(); ++i) {
            const AirportRecord& record = finder.Record(i);
            unsigned char image[kRecordImageSize];
            EncodeRecordImage(record, image);
            expected.insert(expected.end(), image, image + kRecordImageSize);
            const std::size_t length = std::strlen(record.name) + 1;
            unsigned char bytes[4];
            StoreU32(bytes, static_cast<std::uint32_t>(length));
            expected.insert(expected.end(), bytes, bytes + 4);
            expected.insert(expected.end(), record.name, record.name + length);
        }
        ASSERT_TRUE(finder.WriteCache(path.c_str()));
        ASSERT_EQ(ReadBytes(path), expected) << "seed " << seed;
    }
}

}  // namespace
}  // namespace halvern
