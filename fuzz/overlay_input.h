#pragma once

// The overlay harness's input, field by field from the front (little-endian), and its encoding
// for the seed generator:
//   i32 display options, u16 magnetic variation word, i32 overlay reach in nautical miles,
//   6 x u32 aircraft WorldPosition words, u64 bits of a distance (double, metres) and u64 bits
//   of a true bearing (double, degrees) for a line composed from given figures,
//   u8 record count (taken modulo 8, plus one), then per record:
//   u32 latitude bits (float), u32 longitude bits (float), i16 elevation in feet,
//   5 code bytes, u16 name length (taken modulo 4097) and the name bytes.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "geo/world_position.h"

namespace halvern::fuzz {

struct OverlayRecordInput {
    std::uint32_t latitudeBits = 0;
    std::uint32_t longitudeBits = 0;
    std::int16_t elevation = 0;
    char code[5] = {};
    std::string name;
};

struct OverlayInput {
    std::int32_t options = 0;
    std::uint16_t variationWord = 0;
    std::int32_t maxDistance = 0;
    WorldPosition aircraft{};
    std::uint64_t distanceBits = 0;
    std::uint64_t bearingBits = 0;
    std::vector<OverlayRecordInput> records;
};

inline constexpr std::size_t kOverlayMaxRecords = 8;
inline constexpr std::size_t kOverlayMaxName = 4096;

inline OverlayInput DecodeOverlayInput(const std::uint8_t* data, std::size_t size) {
    InputReader in(data, size);
    OverlayInput input;
    input.options = in.Take<std::int32_t>();
    input.variationWord = in.Take<std::uint16_t>();
    input.maxDistance = in.Take<std::int32_t>();
    input.aircraft.latitudeFraction = in.Take<std::uint32_t>();
    input.aircraft.latitudeInteger = in.Take<std::int32_t>();
    input.aircraft.longitudeFraction = in.Take<std::uint32_t>();
    input.aircraft.longitudeInteger = in.Take<std::int32_t>();
    input.aircraft.altitudeFraction = in.Take<std::uint32_t>();
    input.aircraft.altitudeInteger = in.Take<std::int32_t>();
    input.distanceBits = in.Take<std::uint64_t>();
    input.bearingBits = in.Take<std::uint64_t>();
    const std::size_t count = in.Take<std::uint8_t>() % kOverlayMaxRecords + 1;
    for (std::size_t i = 0; i < count; ++i) {
        OverlayRecordInput record;
        record.latitudeBits = in.Take<std::uint32_t>();
        record.longitudeBits = in.Take<std::uint32_t>();
        record.elevation = in.Take<std::int16_t>();
        for (char& c : record.code) {
            c = static_cast<char>(in.Take<std::uint8_t>());
        }
        record.name = in.Bytes(in.Take<std::uint16_t>() % (kOverlayMaxName + 1));
        input.records.push_back(record);
    }
    return input;
}

inline std::vector<std::uint8_t> EncodeOverlayInput(const OverlayInput& input) {
    std::vector<std::uint8_t> bytes;
    const auto put = [&bytes](std::uint64_t value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    put(static_cast<std::uint32_t>(input.options), 4);
    put(input.variationWord, 2);
    put(static_cast<std::uint32_t>(input.maxDistance), 4);
    put(input.aircraft.latitudeFraction, 4);
    put(static_cast<std::uint32_t>(input.aircraft.latitudeInteger), 4);
    put(input.aircraft.longitudeFraction, 4);
    put(static_cast<std::uint32_t>(input.aircraft.longitudeInteger), 4);
    put(input.aircraft.altitudeFraction, 4);
    put(static_cast<std::uint32_t>(input.aircraft.altitudeInteger), 4);
    put(input.distanceBits, 8);
    put(input.bearingBits, 8);
    put(input.records.size() - 1, 1);
    for (const OverlayRecordInput& record : input.records) {
        put(record.latitudeBits, 4);
        put(record.longitudeBits, 4);
        put(static_cast<std::uint16_t>(record.elevation), 2);
        for (char c : record.code) {
            put(static_cast<unsigned char>(c), 1);
        }
        put(record.name.size(), 2);
        bytes.insert(bytes.end(), record.name.begin(), record.name.end());
    }
    return bytes;
}

}  // namespace halvern::fuzz
