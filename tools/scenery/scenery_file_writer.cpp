#include "scenery/scenery_file_writer.h"

#include <cmath>
#include <cstdio>

#include "airports/scenery_layout.h"
#include "support/byte_order.h"

namespace halvern::scenery {

namespace {

void PutU32(std::vector<unsigned char>& bytes, std::uint32_t value) {
    const std::size_t at = bytes.size();
    bytes.resize(at + 4);
    StoreU32(bytes.data() + at, value);
}

void PutText(std::vector<unsigned char>& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
}

void PutRecord(std::vector<unsigned char>& bytes, std::uint32_t kind,
               const std::vector<unsigned char>& payload, std::optional<std::uint32_t> size) {
    PutU32(bytes, kind);
    PutU32(bytes, size.value_or(static_cast<std::uint32_t>(payload.size())));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
}

// Splits units into the (integer, fraction) words of a sub-record.
void ToWords(long double units, std::int32_t& integer, std::uint32_t& fraction) {
    const long double whole = std::floor(units);
    integer = static_cast<std::int32_t>(whole);
    const long double scaled = std::floor((units - whole) * 4294967296.0L + 0.5L);
    fraction = scaled >= 4294967295.0L ? 0xFFFFFFFFu : static_cast<std::uint32_t>(scaled);
}

std::vector<unsigned char> AirportRecordPayload(const AirportEntry& airport, std::uint32_t detail) {
    std::vector<unsigned char> payload;
    PutU32(payload, airport.tag);
    PutU32(payload,
           airport.detailOffset ? static_cast<std::uint32_t>(*airport.detailOffset) : detail);
    PutText(payload, airport.name);
    return payload;
}

}  // namespace

SubRecord PositionWords(std::int32_t latitude, std::uint32_t latitudeFraction,
                        std::int32_t longitude, std::uint32_t longitudeFraction,
                        std::int32_t elevation, std::uint32_t elevationFraction) {
    SubRecord sub;
    sub.kind = kSubKindPosition;
    PutU32(sub.payload, 0);  // not read by the extraction
    PutU32(sub.payload, static_cast<std::uint32_t>(latitude));
    PutU32(sub.payload, latitudeFraction);
    PutU32(sub.payload, static_cast<std::uint32_t>(longitude));
    PutU32(sub.payload, longitudeFraction);
    PutU32(sub.payload, static_cast<std::uint32_t>(elevation));
    PutU32(sub.payload, elevationFraction);
    return sub;
}

SubRecord PositionDegrees(double latitude, double longitude, double elevationMetres) {
    std::int32_t latInt = 0;
    std::int32_t lonInt = 0;
    std::int32_t elevInt = 0;
    std::uint32_t latFrac = 0;
    std::uint32_t lonFrac = 0;
    std::uint32_t elevFrac = 0;
    ToWords(static_cast<long double>(latitude) * 10001750.0L / 90.0L, latInt, latFrac);
    ToWords(static_cast<long double>(longitude) * 4294967296.0L / 360.0L, lonInt, lonFrac);
    ToWords(elevationMetres, elevInt, elevFrac);
    return PositionWords(latInt, latFrac, lonInt, lonFrac, elevInt, elevFrac);
}

SubRecord CodeText(const std::string& code) {
    SubRecord sub;
    sub.kind = kSubKindCode;
    PutText(sub.payload, code);
    return sub;
}

SubRecord EndOfBlock() {
    return SubRecord{};
}

std::vector<unsigned char> DetailBlockBytes(const std::vector<SubRecord>& subRecords) {
    std::vector<unsigned char> bytes;
    for (const SubRecord& sub : subRecords) {
        PutRecord(bytes, sub.kind, sub.payload, sub.size);
    }
    return bytes;
}

AirportEntry MakeAirport(const std::string& name, const std::string& code, double latitude,
                         double longitude, double elevationMetres) {
    AirportEntry airport;
    airport.name = name;
    airport.detail.push_back(PositionDegrees(latitude, longitude, elevationMetres));
    airport.detail.push_back(CodeText(code));
    return airport;
}

void SceneryFileWriter::Add(const AirportEntry& airport) {
    Item item;
    item.isAirport = true;
    item.airport = airport;
    items_.push_back(std::move(item));
}

void SceneryFileWriter::Add(const SectionRecord& record) {
    Item item;
    item.record = record;
    items_.push_back(std::move(item));
}

std::vector<unsigned char> SceneryFileWriter::Build() const {
    // The facility records come first, then one stepped-over record (kind 0x20001) that holds
    // every detail block and the trailing padding, so that the section walk passes over them.
    const std::uint32_t section = kHeaderSize;
    std::size_t recordsLength = kSectionRecordStep;
    for (const Item& item : items_) {
        const std::size_t payload =
            item.isAirport ? 8 + item.airport.name.size() + 1 : item.record.payload.size();
        recordsLength += kRecordHeadSize + payload;
    }
    const std::size_t containerStart = section + recordsLength;
    const std::size_t detailStart = containerStart + kRecordHeadSize;

    std::vector<unsigned char> details;
    std::vector<std::uint32_t> detailOffsets;
    for (const Item& item : items_) {
        if (!item.isAirport) {
            continue;
        }
        detailOffsets.push_back(static_cast<std::uint32_t>(detailStart + details.size()));
        const std::vector<unsigned char> block = DetailBlockBytes(item.airport.detail);
        details.insert(details.end(), block.begin(), block.end());
        if (item.airport.endBlock) {
            PutRecord(details, kSubKindEnd, {}, std::nullopt);
        }
    }
    details.resize(details.size() + trailingPadding, 0);
    const std::size_t sectionEnd = detailStart + details.size();

    std::vector<unsigned char> bytes(kHeaderSize, 0);
    StoreU32(bytes.data() + kMagicOffset, magic);
    StoreU32(bytes.data() + kVersionOffset, version);
    StoreU32(bytes.data() + kFacilitySectionOffset, section);

    PutU32(bytes, firstSectionKind);
    PutU32(bytes, static_cast<std::uint32_t>(sectionEnd - section));
    bytes.resize(bytes.size() + kSectionRecordStep - kRecordHeadSize, 0);

    std::size_t airportIndex = 0;
    for (const Item& item : items_) {
        if (item.isAirport) {
            const auto payload = AirportRecordPayload(item.airport, detailOffsets[airportIndex++]);
            PutRecord(bytes, kKindAirport, payload, std::nullopt);
        } else {
            PutRecord(bytes, item.record.kind, item.record.payload, item.record.size);
        }
    }
    PutRecord(bytes, 0x20001, details, std::nullopt);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    unsigned char piece[32768];
    for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;) {
        bytes.insert(bytes.end(), piece, piece + got);
    }
    std::fclose(file);
    return bytes;
}

}  // namespace halvern::scenery
