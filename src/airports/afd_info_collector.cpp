#include "airports/afd_info_collector.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "airports/detail_blocks.h"
#include "airports/image_reader.h"
#include "airports/scenery_layout.h"
#include "platform/extended_precision.h"
#include "platform/mapped_file.h"

namespace halvern {

namespace {

using namespace scenery;

// The step from a section-level record to the next; false for a kind the section does not
// list, which ends the walk.
bool SectionStep(std::uint32_t kind, std::uint32_t size, std::int32_t& step) {
    switch (kind) {
        case kKindEmpty:
            step = 8;
            return true;
        case kKindShort:
            step = 16;
            return true;
        case kKindSection:
            step = static_cast<std::int32_t>(kSectionRecordStep);
            return true;
        case kKindAirport:
            step = WrappedStep(size);
            return true;
        default:
            break;
    }
    for (std::uint32_t stepped : kSteppedKinds) {
        if (kind == stepped) {
            step = WrappedStep(size);
            return true;
        }
    }
    return false;
}

// The fraction word of the scenery's position sub-record counts (2^32 + 1) * 2^-64 of a unit,
// so that 0xFFFFFFFF reads as just under one whole unit.
constexpr long double kSubRecordFraction = 0x1.00000001p-32L;
// Degrees per latitude unit, as 45 * (1 / 5000875) = 90 / 10001750.
constexpr long double kLatitudeScale = 1.0L / 5000875.0L;
// Degrees per longitude unit, as 90 * 2^-30 = 360 / 2^32.
constexpr long double kLongitudeScale = 0x1p-30L;

bool ReadFixed(const ImageReader& image, std::int64_t offset, long double& value) {
    std::int32_t whole = 0;
    std::uint32_t fraction = 0;
    if (!image.I32(offset, whole) || !image.U32(offset + 4, fraction)) {
        return false;
    }
    value =
        static_cast<long double>(whole) + static_cast<long double>(fraction) * kSubRecordFraction;
    return true;
}

struct AirportPosition {
    double latitude;
    double longitude;
    double elevationMetres;
};

bool ReadPosition(const ImageReader& image, std::int64_t subRecord, AirportPosition& position) {
    long double latitude = 0;
    long double longitude = 0;
    long double elevation = 0;
    if (!ReadFixed(image, subRecord + kPositionLatitudeOffset, latitude) ||
        !ReadFixed(image, subRecord + kPositionLongitudeOffset, longitude) ||
        !ReadFixed(image, subRecord + kPositionElevationOffset, elevation)) {
        return false;
    }
    position.latitude = static_cast<double>(latitude * 45 * kLatitudeScale);
    position.longitude = static_cast<double>(longitude * 90 * kLongitudeScale);
    position.elevationMetres = static_cast<double>(elevation);
    return true;
}

// The code text is held in 8 characters with its terminator; a longer text is cut to fit. Only
// those characters are read, however long the text runs on.
constexpr std::size_t kCodeCapacity = 8;

void CopyCode(const char* text, char (&code)[kCodeCapacity]) {
    // The text ends inside the image, so the search stops at its zero at the latest.
    const void* end = std::memchr(text, 0, kCodeCapacity - 1);
    const std::size_t length = end != nullptr
                                   ? static_cast<std::size_t>(static_cast<const char*>(end) - text)
                                   : kCodeCapacity - 1;
    std::memcpy(code, text, length);
    code[length] = '\0';
}

enum class Walk { kGoOn, kStop };

// Walks the section-level records from `section` to `sectionEnd` and hands every airport facility
// record whose detail block may be walked to `visit` (record offset, block offset). The walk ends
// where a record cannot be read or stepped over, or when `visit` answers kStop.
template <typename Visit>
void ForEachAirport(const ImageReader& image, std::int64_t section, std::int64_t sectionEnd,
                    Visit visit) {
    for (std::int64_t p = section; p < sectionEnd;) {
        std::uint32_t kind = 0;
        std::uint32_t recordSize = 0;
        if (!image.U32(p, kind) || !image.U32(p + 4, recordSize)) {
            return;
        }
        std::int32_t step = 0;
        if (!SectionStep(kind, recordSize, step)) {
            return;
        }
        if (kind == kKindAirport) {
            std::uint32_t tag = 0;
            std::int32_t detail = 0;
            if (!image.U32(p + kAirportTagOffset, tag)) {
                return;
            }
            if (tag == kAirportTag) {
                if (!image.I32(p + kAirportDetailOffset, detail)) {
                    return;
                }
                if (detail >= 0 && detail + kDetailBlockMargin < sectionEnd &&
                    visit(p, static_cast<std::int64_t>(detail)) == Walk::kStop) {
                    return;
                }
            }
        }
        if (step <= 0) {
            return;
        }
        p += step;
    }
}

// Reports the airport of the record at `record` from the outcome of its detail block. kStop when
// a read reached outside the image.
Walk ReportAirport(AFDInfoCollector& collector, const ImageReader& image, std::int64_t record,
                   const BlockOutcome& block) {
    if (block.outside) {
        return Walk::kStop;
    }
    if (block.position < 0) {
        return Walk::kGoOn;
    }
    const char* name = image.Text(record + kAirportNameOffset);
    AirportPosition position{};
    if (name == nullptr || !ReadPosition(image, block.position, position)) {
        return Walk::kStop;
    }
    char code[kCodeCapacity] = "????";
    if (block.code >= 0) {
        const char* text = image.Text(block.code + kCodeTextOffset);
        if (text == nullptr) {
            return Walk::kStop;
        }
        CopyCode(text, code);
    }
    collector.OnAirport(name, position.latitude, position.longitude, position.elevationMetres,
                        code);
    return Walk::kGoOn;
}

}  // namespace

void AFDInfoCollector::ScanFile(const char* path, const platform::FileEntry& /*entry*/) {
    platform::MappedFile file;
    if (!file.Open(path)) {
        return;
    }
    ParseMappedFile(file.data(), file.size());
}

void AFDInfoCollector::OnAirport(const char* /*name*/, double /*latitude*/, double /*longitude*/,
                                 double /*elevationMetres*/, const char* /*code*/) {}

void AFDInfoCollector::ParseMappedFile(const unsigned char* image, std::size_t size) {
    const ImageReader reader(image, size);
    std::uint32_t magic = 0;
    std::uint32_t version = 0;
    std::uint32_t section = 0;
    std::uint32_t firstKind = 0;
    if (!reader.U32(kMagicOffset, magic) || magic != kMagic ||
        !reader.U32(kVersionOffset, version) || version != kVersion ||
        !reader.U32(kFacilitySectionOffset, section) || !reader.U32(section, firstKind) ||
        firstKind != kKindSection) {
        return;
    }
    ExtractAirports(image, size);
}

void AFDInfoCollector::ExtractAirports(const unsigned char* image, std::size_t size) {
    // The position decoding is formed in extended precision whatever the caller's setting.
    platform::ExtendedPrecisionScope extended;
    const ImageReader reader(image, size);
    std::uint32_t section = 0;
    std::uint32_t sectionSize = 0;
    if (!reader.U32(kFacilitySectionOffset, section) || !reader.U32(section + 4LL, sectionSize)) {
        return;
    }
    // The section ends at S + size (the head is not added).
    const std::int64_t sectionEnd = static_cast<std::int64_t>(section) + sectionSize;
    // The blocks are walked together first (each sub-record read a bounded number of times,
    // however many airports share it), then the airports are reported in file order.
    std::size_t blockCount = 0;
    ForEachAirport(reader, section, sectionEnd, [&](std::int64_t, std::int64_t) {
        ++blockCount;
        return Walk::kGoOn;
    });
    // A small file's block starts stay on the stack.
    std::int64_t few[64];
    std::unique_ptr<std::int64_t[]> many;
    std::int64_t* starts = few;
    if (blockCount > sizeof few / sizeof few[0]) {
        many.reset(new (std::nothrow) std::int64_t[blockCount]);
        if (!many) {
            ranOutOfMemory_ = true;
            return;
        }
        starts = many.get();
    }
    std::size_t filled = 0;
    ForEachAirport(reader, section, sectionEnd, [&](std::int64_t, std::int64_t detail) {
        starts[filled++] = detail;
        return Walk::kGoOn;
    });
    DetailBlocks blocks(reader, sectionEnd);
    if (!blocks.Walk(starts, filled)) {
        ranOutOfMemory_ = true;  // the only way a walk fails
        return;
    }
    subRecordVisits_ += blocks.Visits();
    ForEachAirport(reader, section, sectionEnd, [&](std::int64_t record, std::int64_t detail) {
        return ReportAirport(*this, reader, record, blocks.Outcome(detail));
    });
}

}  // namespace halvern
