#include "airports/scenery_fingerprint.h"

namespace halvern {

namespace {

// A path byte as the fold adds it: bytes 0x80..0xFF count as -128..-1, and the conversion to
// unsigned is modulo 2^32.
std::uint32_t FoldedByte(char c) {
    return static_cast<std::uint32_t>(static_cast<std::int8_t>(c));
}

}  // namespace

std::uint32_t FoldFingerprint(std::uint32_t fingerprint, const char* path,
                              const platform::FileEntry& entry) {
    return FoldFingerprint(fingerprint, std::string_view(path), entry);
}

std::uint32_t FoldFingerprint(std::uint32_t fingerprint, std::string_view path,
                              const platform::FileEntry& entry) {
    const char* c = path.data();
    const char* const end = c + path.size();
    // Four bytes at a time, as ((f * 3 + b0) * 3 + b1) * 3 + b2) * 3 + b3 expanded, modulo 2^32.
    for (; end - c >= 4; c += 4) {
        fingerprint = fingerprint * 81u + (FoldedByte(c[0]) * 27u + FoldedByte(c[1]) * 9u +
                                           FoldedByte(c[2]) * 3u + FoldedByte(c[3]));
    }
    for (; c != end; ++c) {
        fingerprint = fingerprint * 3u + FoldedByte(*c);
    }
    const auto sizeLow = static_cast<std::uint32_t>(entry.size);
    const auto writeLow = static_cast<std::uint32_t>(entry.lastWriteTime);
    const auto writeHigh = static_cast<std::uint32_t>(entry.lastWriteTime >> 32);
    return fingerprint ^ (sizeLow ^ writeLow ^ writeHigh);
}

}  // namespace halvern
