#include "halvern-scenery/damaged_files.h"

#include <cstring>

#include "airports/scenery_layout.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"

namespace halvern::scenery {

namespace {

// The airports of one damaged file: two kept, one lost after the damage. Codes and names tell
// the file and the airport apart: "DRP1" is the first of the file whose damage is "RP".
std::vector<AirportEntry> AirportsOf(const std::string& label, const std::string& letters,
                                     double latitude) {
    std::vector<AirportEntry> airports;
    const char* names[] = {" kept 1", " kept 2", " lost"};
    for (int i = 0; i < 3; ++i) {
        airports.push_back(MakeAirport(label + names[i], "D" + letters + std::to_string(i + 1),
                                       latitude, -30.0 + i, 0.0));
    }
    return airports;
}

std::vector<unsigned char> Built(const std::vector<AirportEntry>& airports,
                                 const SectionRecord* between) {
    SceneryFileWriter writer;
    for (std::size_t i = 0; i < airports.size(); ++i) {
        if (i == 2 && between != nullptr) {
            writer.Add(*between);
        }
        writer.Add(airports[i]);
    }
    return writer.Build();
}

// The file cut `into` bytes into the detail block of its last airport: the writer places the
// blocks in airport order at the end, before the trailing padding.
std::vector<unsigned char> CutIntoLastBlock(const std::vector<AirportEntry>& airports,
                                            std::size_t into) {
    std::vector<unsigned char> bytes = Built(airports, nullptr);
    const std::size_t lastBlock = DetailBlockBytes(airports.back().detail).size() + 8;  // + end
    const std::size_t blockStart = bytes.size() - SceneryFileWriter{}.trailingPadding - lastBlock;
    bytes.resize(blockStart + into);
    return bytes;
}

// The file of the first two airports, its section going on past the file's end with the facility
// record of the third cut after `nameBytes` of its name. The record's head is whole and points
// to the first airport's detail block, so the name is the first thing the walk cannot read.
std::vector<unsigned char> CutInLastName(const std::vector<AirportEntry>& airports,
                                         const std::string& nameBytes) {
    std::vector<unsigned char> bytes = Built({airports[0], airports[1]}, nullptr);
    const std::uint32_t section = LoadU32(bytes.data() + kFacilitySectionOffset);
    const std::uint32_t firstRecord = section + kSectionRecordStep;
    std::vector<unsigned char> record(16);
    StoreU32(record.data(), kKindAirport);
    StoreU32(record.data() + 4, static_cast<std::uint32_t>(8 + airports[2].name.size() + 1));
    StoreU32(record.data() + kAirportTagOffset, kAirportTag);
    std::memcpy(record.data() + kAirportDetailOffset,
                bytes.data() + firstRecord + kAirportDetailOffset, 4);
    record.insert(record.end(), nameBytes.begin(), nameBytes.end());
    bytes.insert(bytes.end(), record.begin(), record.end());
    const std::uint32_t sectionSize = LoadU32(bytes.data() + section + 4);
    StoreU32(bytes.data() + section + 4, sectionSize + static_cast<std::uint32_t>(record.size()));
    return bytes;
}

}  // namespace

std::vector<DamagedFile> DamagedSceneryFiles() {
    std::vector<DamagedFile> files;

    SceneryFileWriter header;
    for (const AirportEntry& airport : AirportsOf("Bad header", "BH", 10.0)) {
        header.Add(airport);
    }
    header.magic = 0x12345678;
    files.push_back({"BadHeader.bgl", header.Build(), 0});
    files.push_back({"Empty.bgl", {}, 0});

    const SectionRecord unknown{0x7FFF0001, std::vector<unsigned char>(8, 0), std::nullopt};
    files.push_back(
        {"StepEndsWalk.bgl", Built(AirportsOf("Step ends walk", "SW", 11.0), &unknown), 2});
    // A position sub-record cut after 20 of its 36 bytes.
    files.push_back(
        {"RecordPastEnd.bgl", CutIntoLastBlock(AirportsOf("Record past end", "RP", 12.0), 20), 2});
    // Cut where the name would begin, and before the name's terminator.
    files.push_back(
        {"TextPastEnd.bgl", CutInLastName(AirportsOf("Text past end", "TP", 13.0), ""), 2});
    const std::vector<AirportEntry> unterminated = AirportsOf("Unterminated text", "UT", 14.0);
    files.push_back({"UnterminatedText.bgl", CutInLastName(unterminated, unterminated[2].name), 2});
    return files;
}

}  // namespace halvern::scenery
