#pragma once

// Builds scenery files in the host's layout: a header, a facility section with one airport
// facility record per airport, and the airports' detail blocks inside the section. Used by the
// scenery compiler and by the tests, which describe unusual and malformed files through the
// same pieces (raw records, raw sub-records, header values).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace halvern::scenery {

struct SubRecord {
    std::uint32_t kind = 0;
    std::vector<unsigned char> payload;  // bytes after the 8-byte head
    std::optional<std::uint32_t> size;   // the size field; by default the payload's length
};

// A position sub-record from its raw words (integer word before fraction word).
SubRecord PositionWords(std::int32_t latitude, std::uint32_t latitudeFraction,
                        std::int32_t longitude, std::uint32_t longitudeFraction,
                        std::int32_t elevation, std::uint32_t elevationFraction);

// A position sub-record from degrees and metres, to the nearest fraction step.
SubRecord PositionDegrees(double latitude, double longitude, double elevationMetres);

// A code sub-record holding the text and its zero byte.
SubRecord CodeText(const std::string& code);

// The sub-record that ends a detail block.
SubRecord EndOfBlock();

// The bytes of a detail block: each sub-record's head and payload, one after the other (no end
// of block is added). For blocks placed by hand, such as one inside a stepped-over record.
std::vector<unsigned char> DetailBlockBytes(const std::vector<SubRecord>& subRecords);

struct AirportEntry {
    std::string name;
    std::vector<SubRecord> detail;  // the detail block; EndOfBlock() is appended when written
    std::uint32_t tag = 0x50001;    // the word at +8 of the facility record
    std::optional<std::int32_t> detailOffset;  // overrides the computed file offset of the block
    bool endBlock = true;                      // append EndOfBlock() to the detail block
};

// A usual airport: position and code sub-records.
AirportEntry MakeAirport(const std::string& name, const std::string& code, double latitude,
                         double longitude, double elevationMetres);

struct SectionRecord {
    std::uint32_t kind = 0;
    std::vector<unsigned char> payload;
    std::optional<std::uint32_t> size;
};

class SceneryFileWriter {
  public:
    void Add(const AirportEntry& airport);
    void Add(const SectionRecord& record);

    // Header values, changeable for malformed files.
    std::uint32_t magic = 0x87654321;
    std::uint32_t version = 1;
    std::uint32_t firstSectionKind = 0x30001;
    // Bytes of padding after the detail blocks and before the section end (the extraction skips
    // an airport whose block starts 128 bytes or less before the end).
    std::uint32_t trailingPadding = 128;

    std::vector<unsigned char> Build() const;

  private:
    struct Item {
        bool isAirport = false;
        AirportEntry airport;
        SectionRecord record;
    };
    std::vector<Item> items_;
};

// Writes bytes to a file (the path in the operating system's form); false on failure.
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// The whole contents of a file; empty when it cannot be read.
std::vector<unsigned char> ReadBytes(const std::string& path);

}  // namespace halvern::scenery
