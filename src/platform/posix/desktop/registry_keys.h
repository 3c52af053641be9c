#pragma once

// The current user's registry as the portable desktop holds it: keys named by
// backslash-separated paths below HKEY_CURRENT_USER, each with named, typed values. Names compare
// without regard to ASCII letter case, as the system's registry does, and keep the spelling they
// were created with.

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

// True when every component of the path is 1 to 255 characters long; the empty path is the
// root.
bool ValidKeyPath(std::string_view path);

// The folded path of a sub-key as RegCreateKeyExA takes it; nullopt when it is not a valid
// key name (a null name, an empty component, a component longer than 255 characters).
std::optional<std::string> FoldedKeyPath(const char* subKey);
std::string FoldedValueName(const char* name);

// Adds the key of that (valid) path with its spelling, and every parent key missing so far;
// an existing key keeps its spelling.
StoredKey& AddKeyPath(StoredKeys& keys, std::string_view path);

}  // namespace halvern::platform::desktop
