#include "airports/scenery_fingerprint.h"

namespace halvern {

std::uint32_t FoldFingerprint(std::uint32_t fingerprint, const char* path,
                              const platform::FileEntry& entry) {
    for (const char* c = path; *c != '\0'; ++c) {
        // Bytes 0x80..0xFF count as -128..-1; the conversion to unsigned is modulo 2^32.
        const auto signedByte = static_cast<std::int8_t>(*c);
        fingerprint = fingerprint * 3u + static_cast<std::uint32_t>(signedByte);
    }
    const auto sizeLow = static_cast<std::uint32_t>(entry.size);
    const auto writeLow = static_cast<std::uint32_t>(entry.lastWriteTime);
    const auto writeHigh = static_cast<std::uint32_t>(entry.lastWriteTime >> 32);
    return fingerprint ^ (sizeLow ^ writeLow ^ writeHigh);
}

}  // namespace halvern
