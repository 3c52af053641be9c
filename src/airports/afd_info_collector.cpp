#include "airports/afd_info_collector.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "airports/detail_blocks.h"
#include "airports/image_reader.h"
#include "airports/scenery_areas.h"
#include "airports/scenery_layout.h"
#include "platform/extended_precision.h"
#include "platform/file_access.h"
#include "platform/mapped_file.h"
#include "platform/path_limit.h"

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

// Where a walk of the section-level records ended: at the section's end, or early at `offset`
// for the reason given.
struct WalkStop {
    bool early = false;
    WalkEnd why = WalkEnd::kStepEndsWalk;
    std::int64_t offset = 0;
};

// Walks the section-level records from `section` to `sectionEnd` and hands every airport facility
// record whose detail block may be walked to `visit` (record offset, block offset), which answers
// the reason to end the walk there, or nothing to go on. The walk also ends where a record cannot
// be read or stepped over.
template <typename Visit>
WalkStop ForEachAirport(const ImageReader& image, std::int64_t section, std::int64_t sectionEnd,
                        Visit visit) {
    for (std::int64_t p = section; p < sectionEnd;) {
        std::uint32_t kind = 0;
        std::uint32_t recordSize = 0;
        if (!image.U32(p, kind) || !image.U32(p + 4, recordSize)) {
            return {true, WalkEnd::kRecordPastEnd, p};
        }
        std::int32_t step = 0;
        if (!SectionStep(kind, recordSize, step)) {
            return {true, WalkEnd::kStepEndsWalk, p};
        }
        if (kind == kKindAirport) {
            std::uint32_t tag = 0;
            std::int32_t detail = 0;
            if (!image.U32(p + kAirportTagOffset, tag)) {
                return {true, WalkEnd::kRecordPastEnd, p};
            }
            if (tag == kAirportTag) {
                if (!image.I32(p + kAirportDetailOffset, detail)) {
                    return {true, WalkEnd::kRecordPastEnd, p};
                }
                if (detail >= 0 && detail + kDetailBlockMargin < sectionEnd) {
                    if (const std::optional<WalkEnd> end = visit(p, std::int64_t{detail})) {
                        return {true, *end, p};
                    }
                }
            }
        }
        if (step <= 0) {
            return {true, WalkEnd::kStepEndsWalk, p};
        }
        p += step;
    }
    return {};
}

// Why the text at `offset` could not be read.
WalkEnd TextFailure(const ImageReader& image, std::int64_t offset) {
    return image.Contains(offset, 1) ? WalkEnd::kUnterminatedText : WalkEnd::kTextPastEnd;
}

// Reports the airport of the record at `record` from the outcome of its detail block and counts
// it in `reported`; the reason to end the walk there when a read reached outside the image.
std::optional<WalkEnd> ReportAirport(AFDInfoCollector& collector, const ImageReader& image,
                                     std::int64_t record, const BlockOutcome& block,
                                     std::int32_t& reported) {
    if (block.outside) {
        return WalkEnd::kRecordPastEnd;
    }
    if (block.position < 0) {
        return std::nullopt;
    }
    const char* name = image.Text(record + kAirportNameOffset);
    if (name == nullptr) {
        return TextFailure(image, record + kAirportNameOffset);
    }
    AirportPosition position{};
    if (!ReadPosition(image, block.position, position)) {
        return WalkEnd::kRecordPastEnd;
    }
    char code[kCodeCapacity] = "????";
    if (block.code >= 0) {
        const char* text = image.Text(block.code + kCodeTextOffset);
        if (text == nullptr) {
            return TextFailure(image, block.code + kCodeTextOffset);
        }
        CopyCode(text, code);
    }
    collector.OnAirport(name, position.latitude, position.longitude, position.elevationMetres,
                        code);
    ++reported;
    return std::nullopt;
}

}  // namespace

void AFDInfoCollector::EnumerateSceneryAreas(const char* simulatorDir) {
    WalkSceneryAreas(*this, simulatorDir);
}

void AFDInfoCollector::ScanAreaDirectory(const char* areaDir) {
    WalkAreaDirectory(*this, areaDir);
}

void AFDInfoCollector::ScanFile(const char* path, const platform::FileEntry& entry) {
    ReportFile(path, entry, ReadFile(path, entry));
}

FileFate AFDInfoCollector::ReadFile(const char* path, const platform::FileEntry& entry) {
    fileAirports_ = 0;
    platform::MappedFile file;
    if (!file.Open(path)) {
        if (file.OutOfMemory()) {
            return FileFate::kNoMemory;
        }
        if (!platform::FitsPathLimit(path)) {
            return FileFate::kBeyondPathLimit;
        }
        // A name that a POSIX disk allows but whose backslash the host's paths take for a
        // separator names another path.
        if (std::strchr(entry.name, '\\') != nullptr) {
            return FileFate::kNameHoldsSeparator;
        }
        // Whether the open refused it or failed matters only to the words of an observer.
        const bool other =
            Observer() != nullptr && platform::KindOfFile(path) == platform::FileKind::kOther;
        return other ? FileFate::kNotRegular : FileFate::kNotOpened;
    }
    fileOutOfMemory_ = false;
    if (!ParseMappedFile(file.data(), file.size())) {
        return FileFate::kBadHeader;
    }
    return fileOutOfMemory_ ? FileFate::kNoMemory : FileFate::kRead;
}

void AFDInfoCollector::ReportFile(const char* path, const platform::FileEntry& entry,
                                  FileFate fate) const {
    if (Observer() != nullptr) {
        Observer()->OnFile(path, entry, fate, fate == FileFate::kRead ? fileAirports_ : 0);
    }
}

void AFDInfoCollector::OnAirport(const char* /*name*/, double /*latitude*/, double /*longitude*/,
                                 double /*elevationMetres*/, const char* /*code*/) {}

bool AFDInfoCollector::ParseMappedFile(const unsigned char* image, std::size_t size) {
    const ImageReader reader(image, size);
    std::uint32_t magic = 0;
    std::uint32_t version = 0;
    std::uint32_t section = 0;
    std::uint32_t firstKind = 0;
    if (!reader.U32(kMagicOffset, magic) || magic != kMagic ||
        !reader.U32(kVersionOffset, version) || version != kVersion ||
        !reader.U32(kFacilitySectionOffset, section) || !reader.U32(section, firstKind) ||
        firstKind != kKindSection) {
        return false;
    }
    ExtractAirports(image, size);
    return true;
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
    // however many airports share it), then the airports are reported in file order. A small
    // file's block starts are gathered on the stack as they are counted; a larger file's are
    // gathered again into a block of their number.
    std::int64_t few[64];
    constexpr std::size_t kFew = sizeof few / sizeof few[0];
    std::size_t blockCount = 0;
    ForEachAirport(reader, section, sectionEnd,
                   [&](std::int64_t, std::int64_t detail) -> std::optional<WalkEnd> {
                       if (blockCount < kFew) {
                           few[blockCount] = detail;
                       }
                       ++blockCount;
                       return std::nullopt;
                   });
    std::unique_ptr<std::int64_t[]> many;
    std::int64_t* starts = few;
    if (blockCount > kFew) {
        many.reset(new (std::nothrow) std::int64_t[blockCount]);
        if (!many) {
            fileOutOfMemory_ = true;
            return;
        }
        starts = many.get();
        std::size_t filled = 0;
        ForEachAirport(reader, section, sectionEnd,
                       [&](std::int64_t, std::int64_t detail) -> std::optional<WalkEnd> {
                           starts[filled++] = detail;
                           return std::nullopt;
                       });
    }
    const std::size_t filled = blockCount;
    DetailBlocks blocks(reader, sectionEnd);
    if (!blocks.Walk(starts, filled)) {
        fileOutOfMemory_ = true;  // the only way a walk fails
        return;
    }
    subRecordVisits_ += blocks.Visits();
    std::int32_t reported = 0;
    const WalkStop stop =
        ForEachAirport(reader, section, sectionEnd, [&](std::int64_t record, std::int64_t detail) {
            return ReportAirport(*this, reader, record, blocks.Outcome(detail), reported);
        });
    fileAirports_ += reported;
    if (stop.early && Observer() != nullptr) {
        Observer()->OnWalkEnd(stop.why, stop.offset, reported);
    }
}

}  // namespace halvern
