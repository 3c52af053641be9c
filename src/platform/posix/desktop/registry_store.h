#pragma once

// The current user's registry of the portable desktop (registry_keys.h), kept in a file.
//
// The whole registry is one small text file (registry_file_format.h), read at the first use in the
// process and again whenever another process has replaced it, and written anew at every change: to
// a temporary file in the same directory, flushed to the disk, then renamed over the old one, so
// that a crash leaves either the old file or the new one. A file that cannot be read or is damaged
// counts as an empty registry.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/desktop/registry_keys.h"

namespace halvern::platform::desktop {

// What tells one state of the file from another: a replaced file has a new inode, a file
// written in place a new modification time.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

class Registry {
  public:
    // Forgets everything, as a new process would; the file is read again at the next use.
    void Reset();

    void SetPathOverride(const std::string& path);
    void SetAvailable(bool available) { available_ = available; }
    bool available() const { return available_; }

    // The file in use (resolved at the first use); empty when the registry is in memory only.
    const std::string& FilePath();

    // Creates the key and any missing parent; false when it cannot be stored.
    bool CreateKey(const char* subKey, std::string& foldedPath);
    const StoredKey* FindKey(const std::string& foldedPath);
    // Stores the value in an existing key; false when it cannot be stored, and then nothing
    // changes.
    bool SetValue(const std::string& foldedPath, const char* name, std::uint32_t type,
                  const std::vector<unsigned char>& data);

    // Open key handles (RegistryKey) and the key each names.
    std::map<std::uintptr_t, std::string> openKeys;

  private:
    // Reads the file at the first use and whenever it has changed since it was last read or
    // written.
    void Refresh();
    void Load();
    // Writes every key; false when the file could not be replaced.
    bool Save();
    FileStamp StampOf() const;

    bool loaded_ = false;
    bool available_ = true;
    std::string pathOverride_;
    std::string path_;
    FileStamp stamp_;
    StoredKeys keys_;
};

}  // namespace halvern::platform::desktop
