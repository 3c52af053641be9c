#include "airports/cache_file.h"

#include <cstdlib>
#include <cstring>

#include "airports/airport_finder.h"
#include "airports/byte_order.h"
#include "airports/growable_array.h"
#include "platform/file_access.h"

namespace halvern {

namespace {

bool WriteU32(std::FILE* file, std::uint32_t value) {
    unsigned char bytes[4];
    StoreU32(bytes, value);
    return std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes;
}

// A read that delivers fewer bytes than asked for counts as a failed check.
bool ReadExactly(std::FILE* file, void* buffer, std::size_t length) {
    return std::fread(buffer, 1, length, file) == length;
}

bool ReadU32(std::FILE* file, std::uint32_t& value) {
    unsigned char bytes[4];
    if (!ReadExactly(file, bytes, sizeof bytes)) {
        return false;
    }
    value = LoadU32(bytes);
    return true;
}

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

}  // namespace

bool AirportFinder::WriteCache(const char* path) const {
    platform::HostStream file = platform::OpenHostFile(path, "wb");
    if (!file) {
        return false;
    }
    // Every write is checked so that a full disk is not reported as success; a file cut short
    // is rejected by the reader anyway, because it holds fewer records than its header counts.
    bool written = WriteU32(file.get(), static_cast<std::uint32_t>(kCacheFormatVersion)) &&
                   WriteU32(file.get(), sceneryFingerprint) &&
                   WriteU32(file.get(), static_cast<std::uint32_t>(recordCount));
    for (std::int32_t i = 0; written && i < recordCount; ++i) {
        const AirportRecord& record = records[i];
        unsigned char image[kRecordImageSize];
        EncodeRecordImage(record, image);
        const std::size_t length = std::strlen(record.name) + 1;
        written = std::fwrite(image, 1, sizeof image, file.get()) == sizeof image &&
                  WriteU32(file.get(), static_cast<std::uint32_t>(length)) &&
                  std::fwrite(record.name, 1, length, file.get()) == length;
    }
    // Closing flushes the buffered data: its failure is a failed write too.
    return std::fclose(file.release()) == 0 && written;
}

bool AirportFinder::ReadCache(const char* path) {
    const platform::HostStream file = platform::OpenHostFile(path, "rb");
    if (!file) {
        return false;
    }
    const long length = FileLength(file.get());
    std::uint32_t version = 0;
    std::uint32_t fingerprint = 0;
    std::uint32_t count = 0;
    if (length < 0 || !ReadU32(file.get(), version) ||
        static_cast<std::int32_t>(version) != kCacheFormatVersion ||
        !ReadU32(file.get(), fingerprint) || fingerprint != sceneryFingerprint ||
        !ReadU32(file.get(), count)) {
        return false;
    }
    // Every record takes at least 19 bytes, so a larger count cannot be true.
    if (count == 0 || count > static_cast<unsigned long>(length) / kRecordImageSize ||
        count > static_cast<std::uint32_t>(INT32_MAX)) {
        return false;
    }
    const auto total = static_cast<std::int32_t>(count);

    ClearRecords();
    if (!ResizeStorage(records, recordCapacity, total)) {
        return false;
    }
    recordCapacity = total;

    char name[kCacheNameCapacity];
    std::int32_t named = 0;  // records whose names have been copied, released on failure
    bool valid = true;
    for (std::int32_t i = 0; valid && i < total; ++i) {
        unsigned char image[kRecordImageSize];
        std::uint32_t nameLength = 0;
        valid = ReadExactly(file.get(), image, sizeof image) && ReadU32(file.get(), nameLength) &&
                nameLength != 0 && nameLength < kCacheNameCapacity &&
                ReadExactly(file.get(), name, nameLength);
        if (!valid) {
            break;
        }
        AirportRecord& record = records[i];
        DecodeRecordImage(image, record);
        // The text up to its first zero byte, never more than L bytes.
        const auto* zero = static_cast<const char*>(std::memchr(name, 0, nameLength));
        const std::size_t textLength =
            zero != nullptr ? static_cast<std::size_t>(zero - name) : nameLength;
        record.name = static_cast<char*>(std::malloc(textLength + 1));
        if (record.name == nullptr) {
            valid = false;
            break;
        }
        std::memcpy(record.name, name, textLength);
        record.name[textLength] = '\0';
        named = i + 1;
    }
    if (!valid) {
        for (std::int32_t i = 0; i < named; ++i) {
            std::free(records[i].name);
            records[i].name = nullptr;
        }
        return false;
    }
    recordCount = total;
    return true;
}

}  // namespace halvern
