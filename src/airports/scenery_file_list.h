#pragma once

// The scenery files that a fingerprint pass accepted, in visiting order, each with its directory
// entry as the listing returned it. When the cache is rejected, the extraction pass reads exactly
// these files instead of walking the scenery a second time: the walk opens every area directory
// and looks at every file again, which on a scenery of many small areas costs as much as reading
// the files themselves. The new cache then also holds exactly the files whose fingerprint it
// carries, even if the scenery changed between the passes.
//
// Kept compact, since it lives through the cache read: a file's directory is stored once for the
// run of files that share it, and its name once for both its path and its entry.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_entry.h"

namespace halvern {

class SceneryFileList {
  public:
    void Add(const char* path, const platform::FileEntry& entry);
    // The same for a path whose length is known.
    void Add(std::string_view path, const platform::FileEntry& entry);

    // False when a file could not be kept (the list would outgrow its 32-bit offsets); the
    // extraction pass must then walk the scenery itself.
    bool Complete() const { return complete_; }

    std::size_t Count() const { return files_.size(); }
    // Composes the path of file `index` into `path`.
    void Path(std::size_t index, std::string& path) const;
    // The entry as it was added.
    platform::FileEntry Entry(std::size_t index) const;

    // Gives back the room kept for more files.
    void Trim();

    // Forgets every file and releases the storage.
    void Clear();

  private:
    // Offsets into texts_ of zero-terminated texts, and the entry's numbers.
    struct File {
        std::uint32_t directory;  // the path up to and including its last separator
        std::uint32_t leaf;       // the rest of the path
        std::uint32_t name;       // the entry's name (the leaf's offset when they are equal)
        std::uint32_t attributes;
        std::uint64_t size;
        std::uint64_t creationTime;
        std::uint64_t lastAccessTime;
        std::uint64_t lastWriteTime;
    };

    // Appends `text` and a zero; its offset, or false when it would not fit an offset.
    bool Append(const char* text, std::size_t length, std::uint32_t& offset);

    std::string texts_;
    std::vector<File> files_;
    std::uint32_t lastDirectory_ = 0;
    std::size_t lastDirectoryLength_ = 0;
    bool complete_ = true;
};

}  // namespace halvern
