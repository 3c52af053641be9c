#include "airports/cache_file.h"

#include <cstdlib>
#include <cstring>

#include "airports/airport_finder.h"
#include "airports/byte_order.h"
#include "airports/growable_array.h"
#include "platform/file_access.h"

namespace halvern {

namespace {

// The file is read and written in pieces of this size instead of item by item: one library call
// per piece rather than three per record. It holds the largest entry (19 + 4 + 1023 bytes).
constexpr std::size_t kPieceSize = 32 * 1024;
constexpr std::size_t kEntryHeadSize = kRecordImageSize + 4;
static_assert(kPieceSize >= kEntryHeadSize + kCacheNameCapacity);
// Every name the database holds fits an entry the reader accepts.
static_assert(AirportFinder::kLongestName + 1 < kCacheNameCapacity);

// A heap buffer of one piece, released on every path out.
class PieceBuffer {
  public:
    // Zero-filled, so that every byte of it may be read before the file has filled it.
    PieceBuffer() : bytes_(static_cast<unsigned char*>(std::calloc(kPieceSize, 1))) {}
    ~PieceBuffer() { std::free(bytes_); }
    PieceBuffer(const PieceBuffer&) = delete;
    PieceBuffer& operator=(const PieceBuffer&) = delete;

    unsigned char* get() const { return bytes_; }

  private:
    unsigned char* bytes_;
};

// Hands out the file's bytes in order, reading a piece whenever the buffer runs short.
class PieceReader {
  public:
    PieceReader(std::FILE* file, unsigned char* buffer) : file_(file), buffer_(buffer) {}

    // The next `length` bytes (at most a piece), valid until the next call; null when the file
    // ends before them. A read that delivers fewer bytes than asked for counts as a failed check.
    const unsigned char* Take(std::size_t length) {
        const unsigned char* bytes = Peek(length);
        if (bytes != nullptr) {
            begin_ += length;
        }
        return bytes;
    }

    // As Take, but the bytes stay next: the reader looks at a whole entry in the piece before it
    // hands the entry out with Skip.
    const unsigned char* Peek(std::size_t length) {
        if (end_ - begin_ < length) {
            if (length > kPieceSize) {
                return nullptr;
            }
            std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
            while (end_ < length) {
                const std::size_t read = std::fread(buffer_ + end_, 1, kPieceSize - end_, file_);
                if (read == 0) {
                    return nullptr;
                }
                end_ += read;
            }
        }
        return buffer_ + begin_;
    }

    // The bytes of the buffer from the next one on: those read and the room after them.
    std::size_t Readable() const { return kPieceSize - begin_; }

    // Hands out `length` bytes that Peek has shown.
    void Skip(std::size_t length) { begin_ += length; }

  private:
    std::FILE* file_;
    unsigned char* buffer_;
    std::size_t begin_ = 0;  // the first byte not yet handed out
    std::size_t end_ = 0;    // the end of the bytes read
};

// Collects the file's bytes and writes them a piece at a time.
class PieceWriter {
  public:
    PieceWriter(std::FILE* file, unsigned char* buffer) : file_(file), buffer_(buffer) {}

    // False once any write has failed; later puts then do nothing.
    bool Put(const void* bytes, std::size_t length) {
        if (used_ + length > kPieceSize) {
            Flush();
            // A text longer than a piece goes out on its own.
            if (length > kPieceSize) {
                written_ = written_ && std::fwrite(bytes, 1, length, file_) == length;
                return written_;
            }
        }
        std::memcpy(buffer_ + used_, bytes, length);
        used_ += length;
        return written_;
    }

    bool PutU32(std::uint32_t value) {
        unsigned char bytes[4];
        StoreU32(bytes, value);
        return Put(bytes, sizeof bytes);
    }

    bool Flush() {
        written_ = written_ && std::fwrite(buffer_, 1, used_, file_) == used_;
        used_ = 0;
        return written_;
    }

  private:
    std::FILE* file_;
    unsigned char* buffer_;
    std::size_t used_ = 0;
    bool written_ = true;
};

// The file's length in bytes, or -1; the stream is left at its start.
long FileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    return length;
}

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

}  // namespace

CacheInspection CacheFile::Inspect(const char* path, std::uint32_t sceneryFingerprint) {
    CacheInspection found;
    if (!platform::FileExists(path)) {
        return found;
    }
    found.state = CacheState::kUnreadable;
    const PieceBuffer buffer;
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

bool CacheFile::Write(const AirportFinder& finder, const char* path) {
    // The buffer first: a file once opened for writing is already emptied.
    const PieceBuffer buffer;
    if (buffer.get() == nullptr) {
        return false;
    }
    platform::HostStream file = platform::OpenHostFile(path, "wb");
    if (!file) {
        return false;
    }
    // The writer gathers whole pieces itself; the stream's own buffer would only copy them again.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    PieceWriter writer(file.get(), buffer.get());
    // Every write is checked so that a full disk is not reported as success; a file cut short
    // is rejected by the reader anyway, because it holds fewer records than its header counts.
    bool written = writer.PutU32(static_cast<std::uint32_t>(kCacheFormatVersion)) &&
                   writer.PutU32(finder.sceneryFingerprint) &&
                   writer.PutU32(static_cast<std::uint32_t>(finder.recordCount));
    for (std::int32_t i = 0; written && i < finder.recordCount; ++i) {
        const AirportRecord& record = finder.records[i];
        unsigned char image[kRecordImageSize];
        EncodeRecordImage(record, image);
        const std::size_t length = std::strlen(record.name) + 1;
        written = writer.Put(image, sizeof image) &&
                  writer.PutU32(static_cast<std::uint32_t>(length)) &&
                  writer.Put(record.name, length);
    }
    written = written && writer.Flush();
    // Closing flushes what the stream still holds: its failure is a failed write too.
    return std::fclose(file.release()) == 0 && written;
}

bool CacheFile::Read(AirportFinder& finder, const char* path) {
    const PieceBuffer buffer;
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
    if (length < 0 || !CheckHeader(reader, length, finder.sceneryFingerprint, found)) {
        return false;
    }
    const std::uint32_t count = found.recordCount;
    const auto total = static_cast<std::int32_t>(count);

    finder.ClearRecords();
    // The emptied storage goes before the new one is taken, so that the two are never held at
    // once; if the new one cannot be obtained the list is left empty without storage, which the
    // next append obtains anew.
    ResizeStorage(finder.records, finder.recordCapacity, 0);
    finder.recordCapacity = 0;
    if (!ResizeStorage(finder.records, 0, total)) {
        return false;
    }
    finder.recordCapacity = total;
    // One block for all the names; a file that holds more than its length promised (it grew
    // while being read) only makes the arena take another.
    if (!finder.names.Reserve(NameBytesBound(length, count))) {
        return false;
    }

    // One pass over the pieces: each entry is checked, decoded and its name copied into the arena
    // straight from the piece, with the checks of TakeEntry.
    std::int32_t named = 0;  // records whose names have been copied, cleared on failure
    bool valid = true;
    for (std::int32_t i = 0; valid && i < total; ++i) {
        const unsigned char* head = reader.Peek(kEntryHeadSize);
        const std::uint32_t nameLength = head != nullptr ? LoadU32(head + kRecordImageSize) : 0;
        const unsigned char* entry = nameLength != 0 && nameLength < kCacheNameCapacity
                                         ? reader.Peek(kEntryHeadSize + nameLength)
                                         : nullptr;
        valid = entry != nullptr;
        if (!valid) {
            break;
        }
        unsigned char image[kRecordImageSize];
        std::memcpy(image, entry, sizeof image);
        AirportRecord& record = finder.records[i];
        DecodeRecordImage(image, record);
        // The text up to its first zero byte, never more than L bytes; the piece may be read up
        // to its end.
        record.name = finder.names.CopyField(reinterpret_cast<const char*>(entry + kEntryHeadSize),
                                             nameLength, reader.Readable() - kEntryHeadSize);
        reader.Skip(kEntryHeadSize + nameLength);
        valid = record.name != nullptr;
        named = valid ? i + 1 : i;
    }
    if (!valid) {
        for (std::int32_t i = 0; i < named; ++i) {
            finder.records[i].name = nullptr;
        }
        finder.names.Release();
        return false;
    }
    finder.recordCount = total;
    finder.complete = true;
    return true;
}

}  // namespace halvern
