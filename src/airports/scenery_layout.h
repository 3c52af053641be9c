#pragma once

// The host's scenery-file layout, as far as the airport extraction reads it. All values are
// little-endian; 32-bit fields may lie at any alignment.

#include <cstdint>

namespace halvern::scenery {

// Header fields.
inline constexpr std::uint32_t kMagicOffset = 0x76;
inline constexpr std::uint32_t kMagic = 0x87654321;
inline constexpr std::uint32_t kVersionOffset = 0x90;
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::uint32_t kFacilitySectionOffset = 0x9C;  // S: where the section starts
inline constexpr std::uint32_t kHeaderSize = 0xA0;

// Every record and sub-record starts with kind (u32) and size (u32, length less this head).
inline constexpr std::uint32_t kRecordHeadSize = 8;

// A step of size + 8 as the host's 32-bit arithmetic forms it: it wraps, and a step that is not
// positive as a signed value ends the walk or the block.
inline constexpr std::int32_t WrappedStep(std::uint32_t size) {
    return static_cast<std::int32_t>(size + kRecordHeadSize);
}

// Section-level record kinds.
inline constexpr std::uint32_t kKindEmpty = 0;          // step 8
inline constexpr std::uint32_t kKindShort = 1;          // step 16
inline constexpr std::uint32_t kKindSection = 0x30001;  // step 24; first record, size gives the end
inline constexpr std::uint32_t kKindAirport = 0x30002;  // step size + 8; processed
inline constexpr std::uint32_t kSteppedKinds[] = {0x10001, 0x10002, 0x10004,
                                                  0x10005, 0x10006, 0x20001};  // size + 8
inline constexpr std::uint32_t kSectionRecordStep = 24;

// Airport facility record fields, relative to the record.
inline constexpr std::uint32_t kAirportTagOffset = 8;
inline constexpr std::uint32_t kAirportTag = 0x50001;
inline constexpr std::uint32_t kAirportDetailOffset = 12;  // i32: file offset of the block
inline constexpr std::uint32_t kAirportNameOffset = 16;
// The detail block must start at least this far before the section end.
inline constexpr std::int64_t kDetailBlockMargin = 128;

// Detail block sub-record kinds.
inline constexpr std::uint32_t kSubKindEnd = 0;
inline constexpr std::uint32_t kSubKindShort = 1;  // step 16
inline constexpr std::uint32_t kSubKindPosition = 0x10001;
inline constexpr std::uint32_t kSubKindCode = 0x10006;

// Position sub-record fields (integer word before fraction word), relative to the sub-record.
inline constexpr std::uint32_t kPositionLatitudeOffset = 12;
inline constexpr std::uint32_t kPositionLongitudeOffset = 20;
inline constexpr std::uint32_t kPositionElevationOffset = 28;
inline constexpr std::uint32_t kPositionSubRecordSize = 36;  // head included

// Code sub-record: the text follows the head.
inline constexpr std::uint32_t kCodeTextOffset = 8;

}  // namespace halvern::scenery
