#include "airports/cache_file.h"

#include <cstring>
#include <string>
#include <string_view>

#include "airports/airport_finder.h"
#include "platform/file_access.h"
#include "platform/file_replacement.h"
#include "support/byte_order.h"
#include "support/file_pieces.h"

namespace halvern {

namespace {

constexpr std::size_t kEntryHeadSize = kRecordImageSize + 4;
// A piece holds the largest entry (19 + 4 + 1023 bytes).
static_assert(kFilePieceSize >= kEntryHeadSize + kCacheNameCapacity);
// Every name the database holds fits an entry the reader accepts.
static_assert(AirportFinder::kLongestName + 1 < kCacheNameCapacity);

// The most name bytes that a file of `length` bytes holding `count` entries can carry: all that
// is not header, image or name length, and never more than the largest name per entry. For a
// valid file this is exactly the names with their terminators.
std::size_t NameBytesBound(long length, std::uint32_t count) {
    const std::uint64_t fixed = kCacheHeaderSize + std::uint64_t{count} * kEntryHeadSize;
    const auto total = static_cast<std::uint64_t>(length);
    const std::uint64_t rest = total > fixed ? total - fixed : 0;
    const std::uint64_t largest = std::uint64_t{count} * (kCacheNameCapacity - 1);
    const std::uint64_t bound = rest < largest ? rest : largest;
    return bound > SIZE_MAX ? SIZE_MAX : static_cast<std::size_t>(bound);
}

// Reads and checks the header against the current fingerprint, filling what it found into
// `found`; false when the file cannot be used (found.state then says why).
bool CheckHeader(PieceReader& reader, long length, std::uint32_t fingerprint,
                 CacheInspection& found) {
    const unsigned char* header = reader.Take(kCacheHeaderSize);
    if (header == nullptr) {
        found.state = CacheState::kDamaged;
        found.damage = "the header is cut short";
        return false;
    }
    found.version = static_cast<std::int32_t>(LoadU32(header));
    found.fingerprint = LoadU32(header + 4);
    found.recordCount = LoadU32(header + 8);
    if (found.version != kCacheFormatVersion) {
        found.state = CacheState::kOtherVersion;
        return false;
    }
    if (found.fingerprint != fingerprint) {
        found.state = CacheState::kOtherScenery;
        return false;
    }
    // A file without records is never read: the next start extracts again.
    if (found.recordCount == 0) {
        found.state = CacheState::kNoRecords;
        return false;
    }
    // Every record takes at least 19 bytes, so a larger count cannot be true.
    if (found.recordCount > static_cast<unsigned long>(length) / kRecordImageSize ||
        found.recordCount > static_cast<std::uint32_t>(INT32_MAX)) {
        found.state = CacheState::kDamaged;
        found.damagedAt = 8;  // the count's field
        found.damage = "the header counts more records than fit the file";
        return false;
    }
    return true;
}

// One entry as the file holds it.
struct CacheEntry {
    unsigned char image[kRecordImageSize] = {};
    const char* name = nullptr;  // nameLength bytes, not necessarily terminated; valid until the
                                 // next take
    std::uint32_t nameLength = 0;
};

// Takes the next entry; null when it is whole and its name length valid, otherwise what fails,
// with `failedAt` advanced by the entry's bytes before the failing field.
const char* TakeEntry(PieceReader& reader, CacheEntry& entry, std::uint64_t& failedAt) {
    const unsigned char* head = reader.Take(kEntryHeadSize);
    if (head == nullptr) {
        return "an entry is cut short";
    }
    // Copied out before the name is taken: taking may move the buffer's bytes.
    std::memcpy(entry.image, head, kRecordImageSize);
    entry.nameLength = LoadU32(head + kRecordImageSize);
    failedAt += kRecordImageSize;
    if (entry.nameLength == 0 || entry.nameLength >= kCacheNameCapacity) {
        return "a name length is out of range";
    }
    entry.name = reinterpret_cast<const char*>(reader.Take(entry.nameLength));
    failedAt += 4;
    if (entry.name == nullptr) {
        return "a name is cut short";
    }
    return nullptr;
}

// Writes the header and every record to `file` through `buffer`, telling `step` before each
// record and once after the last.
bool WriteEntries(std::FILE* file, unsigned char* buffer, const AirportFinder& finder,
                  const CacheWriteStep& step) {
    // The writer gathers whole pieces itself; the stream's own buffer would only copy them again.
    std::setvbuf(file, nullptr, _IONBF, 0);
    PieceWriter writer(file, buffer);
    // Every write is checked so that a full disk is not reported as success.
    bool written = writer.PutU32(static_cast<std::uint32_t>(kCacheFormatVersion)) &&
                   writer.PutU32(finder.SceneryFingerprint()) &&
                   writer.PutU32(static_cast<std::uint32_t>(finder.RecordCount()));
    for (std::int32_t i = 0; written && i < finder.RecordCount(); ++i) {
        if (step) {
            step(i);
        }
        const AirportRecord& record = finder.Record(i);
        unsigned char image[kRecordImageSize];
        EncodeRecordImage(record, image);
        const std::size_t length = std::strlen(record.name) + 1;
        written = writer.Put(image, sizeof image) &&
                  writer.PutU32(static_cast<std::uint32_t>(length)) &&
                  writer.Put(record.name, length);
    }
    if (written && step) {
        step(finder.RecordCount());
    }
    return written && writer.Flush();
}

// A new file beside the cache is named after it: the cache's name, a part of the writer's own
// and this suffix (no "*.bgl", so the scenery walk never takes one for a scenery file).
constexpr const char* kNewFileSuffix = ".tmp";
// A writer that stopped before its new file took the cache's place left it behind; one older
// than a day is no other writer's file in progress, and is removed.
constexpr std::uint64_t kLeftoverAge = 24ull * 60 * 60 * 10000000;  // in 100-ns intervals
// A writer of this process that left a file of the same name behind is stepped over.
constexpr int kNameAttempts = 64;

// The directory part of a host path, with its separator.
std::string_view DirectoryOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? std::string_view() : path.substr(0, separator + 1);
}

void RemoveLeftovers(std::string_view path) {
    const std::string directory(DirectoryOf(path));
    const std::string prefix = std::string(path.substr(directory.size())) + '.';
    const std::uint64_t now = platform::HostTimeNow();
    for (const platform::NamedFile& file :
         platform::FilesNamedLike(directory.c_str(), prefix, kNewFileSuffix)) {
        if (file.lastWriteTime < now && now - file.lastWriteTime > kLeftoverAge) {
            platform::RemoveHostFile((directory + file.name).c_str());
        }
    }
}

}  // namespace

// The write and the read go through the finder's public interface alone.
bool WriteCacheFile(const AirportFinder& finder, const char* path, const CacheWriteStep& step) {
    // The buffer first: a file once opened for writing is already emptied.
    const auto buffer = NewPiece();
    if (buffer.get() == nullptr) {
        return false;
    }
    RemoveLeftovers(path);
    std::string created;
    platform::HostStream file;
    for (int attempt = 0; attempt < kNameAttempts && !file; ++attempt) {
        created = std::string(path) + '.' + std::to_string(platform::ProcessNumber()) + '-' +
                  std::to_string(attempt) + kNewFileSuffix;
        bool exists = false;
        file = platform::CreateNewHostFile(created.c_str(), exists);
        if (!file && !exists) {
            break;
        }
    }
    if (!file) {
        // A folder in which no new file may be made (or whose path leaves no room for the new
        // name) keeps its cache rewritten in place, as far as the cache itself may be written.
        file = platform::OpenHostFile(path, "wb");
        if (!file) {
            return false;
        }
        const bool written = WriteEntries(file.get(), buffer.get(), finder, step);
        return std::fclose(file.release()) == 0 && written;
    }
    // Closing flushes what the stream still holds: its failure is a failed write too. Only a
    // whole file takes the cache's place; any other is removed, and the old cache stays.
    const bool written = WriteEntries(file.get(), buffer.get(), finder, step);
    if (std::fclose(file.release()) == 0 && written &&
        platform::ReplaceHostFile(created.c_str(), path)) {
        return true;
    }
    platform::RemoveHostFile(created.c_str());
    return false;
}

namespace {

bool ReadCacheFile(AirportFinder& finder, const char* path) {
    const auto buffer = NewPiece();
    if (buffer.get() == nullptr) {
        return false;
    }
    const platform::HostStream file = platform::OpenHostFile(path, "rb");
    if (!file) {
        return false;
    }
    // The reader takes whole pieces itself; the stream's own buffer would only copy them again.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    const long length = FileLength(file.get());
    PieceReader reader(file.get(), buffer.get());
    CacheInspection found;
    if (length < 0 || !CheckHeader(reader, length, finder.SceneryFingerprint(), found) ||
        !finder.StartLoading(static_cast<std::int32_t>(found.recordCount),
                             NameBytesBound(length, found.recordCount))) {
        return false;
    }
    // One pass over the pieces: each entry is checked, decoded and its name copied straight from
    // the piece, with the checks of TakeEntry.
    for (std::uint32_t i = 0; i < found.recordCount; ++i) {
        const unsigned char* head = reader.Peek(kEntryHeadSize);
        const std::uint32_t nameLength = head != nullptr ? LoadU32(head + kRecordImageSize) : 0;
        const unsigned char* entry = nameLength != 0 && nameLength < kCacheNameCapacity
                                         ? reader.Peek(kEntryHeadSize + nameLength)
                                         : nullptr;
        unsigned char image[kRecordImageSize];
        if (entry != nullptr) {
            std::memcpy(image, entry, sizeof image);
        }
        // The name is the text up to its first zero byte, never more than L bytes; the piece
        // may be read up to its end.
        if (entry == nullptr ||
            !finder.LoadRecord(image, reinterpret_cast<const char*>(entry + kEntryHeadSize),
                               nameLength, reader.Readable() - kEntryHeadSize)) {
            finder.ClearRecords();
            return false;
        }
        reader.Skip(kEntryHeadSize + nameLength);
    }
    return true;
}

}  // namespace

CacheInspection InspectCache(const char* path, std::uint32_t sceneryFingerprint) {
    CacheInspection found;
    if (!platform::FileExists(path)) {
        return found;
    }
    found.state = CacheState::kUnreadable;
    const auto buffer = NewPiece();
    const platform::HostStream file = platform::OpenHostFile(path, "rb");
    if (!file && platform::KindOfFile(path) == platform::FileKind::kOther) {
        found.state = CacheState::kNotRegular;
        return found;
    }
    const long length = file ? FileLength(file.get()) : -1;
    if (buffer.get() == nullptr || length < 0) {
        return found;
    }
    found.size = static_cast<std::uint64_t>(length);
    PieceReader reader(file.get(), buffer.get());
    if (!CheckHeader(reader, length, sceneryFingerprint, found)) {
        return found;
    }
    std::uint64_t offset = kCacheHeaderSize;
    for (std::uint32_t i = 0; i < found.recordCount; ++i) {
        CacheEntry entry;
        std::uint64_t failedAt = offset;
        if (const char* failure = TakeEntry(reader, entry, failedAt)) {
            found.state = CacheState::kDamaged;
            found.damagedAt = failedAt;
            found.damage = failure;
            return found;
        }
        offset += kEntryHeadSize + entry.nameLength;
    }
    found.state = CacheState::kValid;
    return found;
}

bool AirportFinder::WriteCache(const char* path) const {
    return WriteCacheFile(*this, path, {});
}

bool AirportFinder::ReadCache(const char* path) {
    return ReadCacheFile(*this, path);
}

}  // namespace halvern
