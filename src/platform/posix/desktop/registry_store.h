#pragma once

// The current user's registry of the portable desktop: keys named by backslash-separated paths
// below HKEY_CURRENT_USER, each with named, typed values. Names compare without regard to ASCII
// letter case, as the system's registry does, and keep the spelling they were created with.
//
// The whole registry is one small text file, read at the first use in the process and again
// whenever another process has replaced it, and written anew at every change: to a temporary
// file in the same directory, flushed to the disk, then renamed over the old one, so that a
// crash leaves either the old file or the new one. A file that cannot be read or is damaged
// counts as an empty registry.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvern::platform::desktop {

struct StoredValue {
    std::string name;  // as first written
    std::uint32_t type = 0;
    std::vector<unsigned char> data;
};

struct StoredKey {
    std::string path;                           // as first created
    std::map<std::string, StoredValue> values;  // by folded name
};

// Keys by folded path; the current user's root is the empty path and always exists.
using StoredKeys = std::map<std::string, StoredKey>;

// The file's text for these keys, and the keys back from a text; nullopt for a damaged text.
std::string FormatRegistryFile(const StoredKeys& keys);
std::optional<StoredKeys> ParseRegistryFile(std::string_view text);

// The folded path of a sub-key as RegCreateKeyExA takes it; nullopt when it is not a valid
// key name (a null name, an empty component, a component longer than 255 characters).
std::optional<std::string> FoldedKeyPath(const char* subKey);
std::string FoldedValueName(const char* name);

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
