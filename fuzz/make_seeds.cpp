// Writes the seed corpora of the fuzz harnesses: valid inputs made by the project's own writers
// (the scenery-file writer, AirportFinder::WriteCache) and the known malformed cases, so that no
// opaque input is kept in the repository. Usage: halvern_fuzz_seeds OUTPUT_DIR; each harness's
// seeds go to OUTPUT_DIR/<harness>/.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "fuzz_common.h"
#include "overlay_input.h"
#include "scenery/crafted_scenery.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using halvern::scenery::AirportEntry;
using halvern::scenery::MakeAirport;
using halvern::scenery::SceneryFileWriter;
using halvern::scenery::SectionRecord;

class SeedDir {
  public:
    SeedDir(const fs::path& root, const char* harness) : dir_(root / harness) {
        fs::create_directories(dir_);
    }
    void Put(const std::string& name, const Bytes& bytes) const {
        if (!halvern::scenery::WriteBytes((dir_ / name).string(), bytes)) {
            std::fprintf(stderr, "cannot write the seed %s\n", (dir_ / name).string().c_str());
            std::exit(1);
        }
    }
    void Put(const std::string& name, const std::string& text) const {
        Put(name, Bytes(text.begin(), text.end()));
    }
    fs::path Path(const std::string& name) const { return dir_ / name; }

  private:
    fs::path dir_;
};

Bytes Cut(const Bytes& bytes, std::size_t length) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(std::min(length, bytes.size())));
}

void PutU32At(Bytes& bytes, std::size_t at, std::uint32_t value) {
    if (at + 4 <= bytes.size()) {
        halvern::StoreU32(bytes.data() + at, value);
    }
}

// --- Scenery files -------------------------------------------------------------------------

Bytes World(int airports, const std::string& namePrefix = "Field ") {
    SceneryFileWriter writer;
    for (int i = 0; i < airports; ++i) {
        writer.Add(MakeAirport(namePrefix + std::to_string(i), "C" + std::to_string(i % 1000),
                               -60.0 + i * 7.5, 170.0 - i * 21.0, i * 150.0));
        if (i % 2 == 1) {
            writer.Add(SectionRecord{0x20001, Bytes(12, 0), std::nullopt});
        }
    }
    return writer.Build();
}

void SceneryFileSeeds(const fs::path& root) {
    const SeedDir seeds(root, "scenery_file");
    seeds.Put("one-airport.bgl", World(1));
    seeds.Put("six-airports.bgl", World(6));
    seeds.Put("long-name.bgl", World(1, std::string(1022, 'N')));
    seeds.Put("empty.bgl", Bytes{});

    SceneryFileWriter variants;
    AirportEntry noCode = MakeAirport("No Code", "", 1, 2, 3);
    noCode.detail.pop_back();
    variants.Add(noCode);
    AirportEntry noPosition = MakeAirport("No Position", "NOPO", 1, 2, 3);
    noPosition.detail.erase(noPosition.detail.begin());
    variants.Add(noPosition);
    AirportEntry twice = MakeAirport("Twice", "TWO1", 1, 2, 3);
    twice.detail.push_back(halvern::scenery::PositionDegrees(4, 5, 6));
    twice.detail.push_back(halvern::scenery::CodeText("TWO2-LONG-CODE-TEXT"));
    variants.Add(twice);
    AirportEntry shortKind = MakeAirport("Short Kind", "SHRT", 1, 2, 3);
    shortKind.detail.insert(shortKind.detail.begin(),
                            halvern::scenery::SubRecord{1, Bytes(8, 0), std::nullopt});
    variants.Add(shortKind);
    AirportEntry unended = MakeAirport("Unended", "UNEN", 1, 2, 3);
    unended.endBlock = false;
    variants.Add(unended);
    variants.Add(SectionRecord{0, {}, 77});
    variants.Add(SectionRecord{1, Bytes(8, 0), 999});
    variants.Add(SectionRecord{0x10003, {}, std::nullopt});  // ends the walk
    variants.Add(MakeAirport("After The End", "AFTR", 1, 2, 3));
    seeds.Put("variants.bgl", variants.Build());

    // Skipped airport records: another tag, negative and far detail offsets, a block too close
    // to the section end.
    SceneryFileWriter skipped;
    AirportEntry tag = MakeAirport("Tag", "TAG", 1, 2, 3);
    tag.tag = 0x50002;
    skipped.Add(tag);
    AirportEntry negative = MakeAirport("Negative", "NEG", 1, 2, 3);
    negative.detailOffset = -16;
    skipped.Add(negative);
    AirportEntry far = MakeAirport("Far", "FAR", 1, 2, 3);
    far.detailOffset = 0x7FFFFF00;
    skipped.Add(far);
    skipped.Add(MakeAirport("Kept", "KEPT", 1, 2, 3));
    skipped.trailingPadding = 70;
    seeds.Put("skipped.bgl", skipped.Build());

    // Headers that fail, and sizes that wrap or are not positive.
    const Bytes valid = World(3);
    const struct {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
    } patches[] = {
        {"bad-magic.bgl", 0x76, 0x12345678},
        {"bad-version.bgl", 0x90, 2},
        {"section-outside.bgl", 0x9C, 0xFFFFFFF0},
        {"section-in-header.bgl", 0x9C, 0x70},
        {"huge-section-size.bgl", 0xA4, 0xFFFFFFFF},
        {"zero-step.bgl", 0xA0 + 24 + 4, 0xFFFFFFF8},
        {"negative-step.bgl", 0xA0 + 24 + 4, 0x80000000},
        {"detail-at-zero.bgl", 0xA0 + 24 + 12, 0},
    };
    for (const auto& patch : patches) {
        Bytes bytes = valid;
        PutU32At(bytes, patch.offset, patch.value);
        seeds.Put(patch.name, bytes);
    }
    for (std::size_t length : {std::size_t{0x76}, std::size_t{0x9F}, std::size_t{0xA4},
                               std::size_t{0xC0}, valid.size() / 2, valid.size() - 1}) {
        seeds.Put("cut-" + std::to_string(length) + ".bgl", Cut(valid, length));
    }
    // No terminator anywhere after the first airport's name.
    Bytes unterminated = World(1);
    for (std::size_t i = 0xA0 + 24 + 16; i < unterminated.size(); ++i) {
        unterminated[i] = unterminated[i] == 0 ? 'x' : unterminated[i];
    }
    seeds.Put("unterminated.bgl", unterminated);

    // Many airport records pointing into one long block, its position at the far end: the block
    // is walked once for all of them.
    std::vector<halvern::scenery::SubRecord> subRecords(40, {0x20002, {}, std::nullopt});
    subRecords.push_back(halvern::scenery::PositionDegrees(1, 2, 3));
    subRecords.push_back(halvern::scenery::EndOfBlock());
    const Bytes block = halvern::scenery::DetailBlockBytes(subRecords);
    SceneryFileWriter shared;
    shared.Add(SectionRecord{0x20001, block, std::nullopt});
    for (int i = 0; i < 100; ++i) {
        AirportEntry airport = MakeAirport("S" + std::to_string(i), "SHRD", 1, 2, 3);
        airport.detail.clear();
        airport.detailOffset = 0xA0 + 24 + 8;
        shared.Add(airport);
    }
    seeds.Put("shared-block.bgl", shared.Build());

    // Every crafted shape of the benchmark, a few kilobytes long.
    for (const halvern::crafted::Shape shape : halvern::crafted::kShapes) {
        seeds.Put(std::string("crafted-") + halvern::crafted::ShapeName(shape) + ".bgl",
                  halvern::crafted::Scenery(shape, 4096));
    }
}

// --- Cache files ---------------------------------------------------------------------------

Bytes CacheOf(const halvern::AirportFinder& finder, const SeedDir& seeds) {
    const fs::path path = seeds.Path("scratch.tmp");
    finder.WriteCache(path.string().c_str());
    Bytes bytes = halvern::scenery::ReadBytes(path.string());
    fs::remove(path);
    return bytes;
}

void CacheFileSeeds(const fs::path& root) {
    const SeedDir seeds(root, "cache_file");
    halvern::AirportFinder finder;
    finder.SetSceneryFingerprint(halvern::fuzz::kCacheFingerprint);
    seeds.Put("no-records.dat", CacheOf(finder, seeds));
    finder.AddAirport("Lakeside Field", 47.5, 8.25, 400, "ABCD");
    finder.AddAirport("B", -33.9, 151.2, -10.5, "B");
    finder.AddAirport(std::string(1022, 'L').c_str(), 89.9, -179.9, 2000, "LONG");
    const Bytes valid = CacheOf(finder, seeds);
    seeds.Put("three-records.dat", valid);

    halvern::AirportFinder extreme;
    extreme.SetSceneryFingerprint(halvern::fuzz::kCacheFingerprint);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    extreme.AddAirport("NaN", nan, nan, nan, "NAN");
    extreme.AddAirport("Infinite", inf, -inf, inf, "INF");
    extreme.AddAirport("", 0, 0, 0, "");
    seeds.Put("extreme-figures.dat", CacheOf(extreme, seeds));

    // The record layout: header 12, image 19, L at 31, name at 35.
    const struct {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
    } patches[] = {
        {"version-2.dat", 0, 2},
        {"other-fingerprint.dat", 4, halvern::fuzz::kCacheFingerprint + 1},
        {"count-too-large.dat", 8, 0xFFFFFFFF},
        {"count-one-more.dat", 8, 4},
        {"name-length-0.dat", 31, 0},
        {"name-length-1024.dat", 31, 1024},
        {"name-length-huge.dat", 31, 0xFFFFFFFF},
    };
    for (const auto& patch : patches) {
        Bytes bytes = valid;
        PutU32At(bytes, patch.offset, patch.value);
        seeds.Put(patch.name, bytes);
    }
    for (std::size_t length : {std::size_t{0}, std::size_t{6}, std::size_t{12}, std::size_t{31},
                               std::size_t{40}, valid.size() - 1}) {
        seeds.Put("cut-" + std::to_string(length) + ".dat", Cut(valid, length));
    }
}

// --- Scenery lists -------------------------------------------------------------------------

// world.vis: the first-entry offset at 10, then entries of 3 bytes, a path text and a note.
std::string WorldList(const std::vector<std::string>& paths, std::size_t firstEntry = 16) {
    std::string bytes(firstEntry, 'h');
    bytes[10] = static_cast<char>(firstEntry & 0xFF);
    bytes[11] = static_cast<char>(firstEntry >> 8);
    for (const std::string& path : paths) {
        bytes += std::string("\x01\x02\x03") + path + '\0' + "note" + '\0';
    }
    return bytes + '\0';
}

void WorldListSeeds(const fs::path& root) {
    const SeedDir seeds(root, "world_list");
    const std::string valid = WorldList({"=:\\=\\Addon\\x.dat", "=:\\=\\Other\\y.dat",
                                         "=:\\=\\scenery\\z.dat", "Q:file.dat", "plain.dat"});
    seeds.Put("areas.vis", valid);
    seeds.Put("empty.vis", std::string());
    seeds.Put("header-only.vis", std::string(12, '\0'));
    std::string pastEnd = valid;
    pastEnd[10] = static_cast<char>(0xFF);
    pastEnd[11] = static_cast<char>(0xFF);
    seeds.Put("first-entry-past-end.vis", pastEnd);
    seeds.Put("unterminated.vis", valid.substr(0, valid.size() - 8));
    seeds.Put("long-path.vis", WorldList({"=:\\=\\" + std::string(1000, 'p') + "\\x.dat"}));
    // An entry that starts before and ends after the 100000 bytes that are read.
    std::string big = WorldList({"=:\\=\\Addon\\x.dat"}, 60000);
    big.pop_back();
    big += "\x01\x02\x03" + std::string(40000, 'q') + '\0' + "n" + '\0' + '\0';
    seeds.Put("beyond-100000.vis", big);
}

std::string AreaSection(int number, const std::string& local, const std::string& active) {
    char header[32];
    std::snprintf(header, sizeof header, "[Area.%03d]\r\n", number);
    return header + ("Title=Area " + std::to_string(number) + "\r\nLocal=" + local +
                     "\r\nActive=" + active + "\r\n");
}

void SceneryConfigSeeds(const fs::path& root) {
    const SeedDir seeds(root, "scenery_config");
    seeds.Put("areas.cfg", "[General]\nTitle=Scenery\n" + AreaSection(1, "Addon", "TRUE") +
                               AreaSection(2, "Other\\Scenery", "true") +
                               AreaSection(3, "scenery", "FALSE") + AreaSection(4, "", "TRUE") +
                               AreaSection(5, "=\"Quoted\"", "True"));
    seeds.Put("empty.cfg", std::string());
    seeds.Put("no-active.cfg", "[Area.001]\nLocal=Addon\n");
    seeds.Put("long-local.cfg", AreaSection(1, std::string(259, 'L'), "TRUE") +
                                    AreaSection(2, std::string(300, 'M'), "TRUE"));
    seeds.Put("absolute.cfg", AreaSection(1, "/", "TRUE") + AreaSection(2, "\\", "TRUE") +
                                  AreaSection(3, "D:\\Scn\\X", "TRUE"));
    seeds.Put("odd-lines.cfg", "[Area.001\n=\n[]\n[Area.001]]\nLocal\nActive=\"TRUE\"\n;x\r\r\n");
    // Area numbers past 999 take four digits; only a few of the areas are active.
    std::string many;
    for (int n = 1; n <= 1001; ++n) {
        char section[64];
        std::snprintf(section, sizeof section, "[Area.%03d]\nLocal=A\nActive=%s\n", n,
                      n % 250 == 1 ? "TRUE" : "F");
        many += section;
    }
    seeds.Put("many-areas.cfg", many);
    // A gap in the numbering: the walk stops at Area.003, the sections after it only inform the
    // diagnostics, in file order, whatever the spelling of their numbers.
    seeds.Put("gap.cfg", AreaSection(1, "Addon", "TRUE") + AreaSection(2, "Other", "TRUE") +
                             AreaSection(905, "Addon\\\\", "TRUE") +
                             "[area.1000]\nLocal=Other\n[Area.0004]\nLocal=X\n[Area.99]\n"
                             "Local=Y\n[AREA.18446744073709551615]\nLocal=Z\nActive=TRUE\n");
    // The encodings the host's reader takes: UTF-8 with its mark, UTF-16 little-endian with its.
    const std::string plain = AreaSection(1, "Addon", "TRUE") + AreaSection(2, "Addon", "TRUE");
    seeds.Put("utf8-mark.cfg", "\xEF\xBB\xBF" + plain);
    std::string wide = "\xFF\xFE";
    for (const char c : plain + "\xE9") {
        wide += c;
        wide += '\0';
    }
    wide += "\xAC\x20";  // a character beyond 255
    seeds.Put("utf16.cfg", wide);
}

// --- Overlay and dialog --------------------------------------------------------------------

std::uint32_t FloatBits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint64_t DoubleBits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

halvern::fuzz::OverlayRecordInput OverlayRecord(float latitude, float longitude,
                                                std::int16_t elevation, const char* code,
                                                const std::string& name) {
    halvern::fuzz::OverlayRecordInput record;
    record.latitudeBits = FloatBits(latitude);
    record.longitudeBits = FloatBits(longitude);
    record.elevation = elevation;
    std::strncpy(record.code, code, sizeof record.code);
    record.name = name;
    return record;
}

void OverlaySeeds(const fs::path& root) {
    const SeedDir seeds(root, "overlay_line");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    halvern::fuzz::OverlayInput usual;
    usual.options = 13;
    usual.variationWord = 0x0400;
    usual.maxDistance = 30;
    usual.aircraft = {0, 5218541, 0, 95443718, 0, 0};  // about 47 N 8 E
    usual.distanceBits = DoubleBits(23890.8);
    usual.bearingBits = DoubleBits(50.7);
    usual.records = {OverlayRecord(47.1f, 8.1f, 1234, "ABCD", "Lakeside Field"),
                     OverlayRecord(47.2f, 8.0f, -20, "EF", "Second")};
    seeds.Put("usual.bin", halvern::fuzz::EncodeOverlayInput(usual));

    halvern::fuzz::OverlayInput extreme = usual;
    extreme.options = -1;
    extreme.variationWord = 0xFFFF;
    extreme.maxDistance = INT32_MAX;
    extreme.distanceBits = DoubleBits(std::numeric_limits<double>::infinity());
    extreme.bearingBits = DoubleBits(std::numeric_limits<double>::quiet_NaN());
    extreme.records = {OverlayRecord(nan, nan, INT16_MIN, "\xFF\xFE\x01\x02\x03", ""),
                       OverlayRecord(inf, -inf, INT16_MAX, "ZZZZ", std::string(1022, 'W')),
                       OverlayRecord(90.0f, 180.0f, 0, "", std::string(300, ' ')),
                       OverlayRecord(-90.0f, -180.0f, 0, "A", "x")};
    seeds.Put("extreme.bin", halvern::fuzz::EncodeOverlayInput(extreme));

    halvern::fuzz::OverlayInput negative = usual;
    negative.options = 0x3F;
    negative.maxDistance = INT32_MIN;
    negative.distanceBits = DoubleBits(-1e300);
    negative.bearingBits = DoubleBits(-3e9);
    seeds.Put("negative.bin", halvern::fuzz::EncodeOverlayInput(negative));
}

void DistanceTextSeeds(const fs::path& root) {
    const SeedDir seeds(root, "distance_text");
    const char* const texts[] = {
        "30",          "1",           "250",        "0",
        "251",         "-1",          "",           "abc",
        "+5",          " \t\n17x",    "2147483647", "2147483648",
        "-2147483648", "-2147483649", "--5",        "99999999999999999999"};
    int number = 0;
    for (const char* text : texts) {
        seeds.Put("text-" + std::to_string(number++) + ".txt", std::string(text));
    }
    seeds.Put("digits-254.txt", std::string(254, '9'));
    seeds.Put("digits-300.txt", std::string(300, '7'));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const fs::path root(argv[1]);
    SceneryFileSeeds(root);
    CacheFileSeeds(root);
    WorldListSeeds(root);
    SceneryConfigSeeds(root);
    OverlaySeeds(root);
    DistanceTextSeeds(root);
    return 0;
}
