#pragma once

// The scenery fingerprint: a 32-bit digest of the full path, the size and the last-write time
// of every accepted scenery file, in visiting order. It keys the cache file.

#include <cstdint>
#include <string_view>

#include "platform/file_entry.h"

namespace halvern {

// Folds one file into the fingerprint (arithmetic modulo 2^32): each path byte, taken as a
// signed 8-bit value, is added after multiplying by 3; then the low 32 bits of the size and
// both halves of the last-write time are XORed in.
std::uint32_t FoldFingerprint(std::uint32_t fingerprint, const char* path,
                              const platform::FileEntry& entry);
// The same for a path whose length is known.
std::uint32_t FoldFingerprint(std::uint32_t fingerprint, std::string_view path,
                              const platform::FileEntry& entry);

}  // namespace halvern
