// Registry keys of the current user, as RegCreateKeyExA, RegQueryValueExA and RegSetValueExA
// see them, over the desktop's registry store.

#include <cstring>
#include <string>

#include "platform/desktop.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform {

namespace {

constexpr std::uint32_t kRegDword = 4;

desktop::Registry& TheRegistry() {
    return desktop::TheDesktop().registry;
}

// The key an open handle names; null when the handle is not open (or was opened before a reset)
// or the key has gone since.
const desktop::StoredKey* KeyOf(void* key, std::string* foldedPath = nullptr) {
    if (key == nullptr) {
        return nullptr;
    }
    desktop::Registry& registry = TheRegistry();
    const auto open = registry.openKeys.find(reinterpret_cast<desktop::Handle>(key));
    if (open == registry.openKeys.end()) {
        return nullptr;
    }
    if (foldedPath != nullptr) {
        *foldedPath = open->second;
    }
    return registry.FindKey(open->second);
}

}  // namespace

RegistryKey::~RegistryKey() {
    if (key_ != nullptr) {
        TheRegistry().openKeys.erase(reinterpret_cast<desktop::Handle>(key_));
    }
}

bool RegistryKey::OpenOrCreate(const char* subKey) {
    desktop::Registry& registry = TheRegistry();
    if (key_ != nullptr) {
        registry.openKeys.erase(reinterpret_cast<desktop::Handle>(key_));
        key_ = nullptr;
    }
    std::string foldedPath;
    if (!registry.available() || !registry.CreateKey(subKey, foldedPath)) {
        return false;
    }
    const desktop::Handle handle = desktop::NewHandle();
    registry.openKeys.emplace(handle, foldedPath);
    key_ = reinterpret_cast<void*>(handle);
    return true;
}

bool RegistryKey::QueryValue(const char* name, void* buffer, std::uint32_t& size) const {
    const desktop::StoredKey* key = KeyOf(key_);
    if (key == nullptr) {
        return false;
    }
    const auto value = key->values.find(desktop::FoldedValueName(name));
    if (value == key->values.end()) {
        return false;
    }
    const std::vector<unsigned char>& data = value->second.data;
    // As the system does: without a buffer the size alone is asked for; a value too large for
    // the buffer is not read, and the size it needs is given back.
    const bool fits = buffer == nullptr || data.size() <= size;
    if (buffer != nullptr && fits && !data.empty()) {
        std::memcpy(buffer, data.data(), data.size());
    }
    size = static_cast<std::uint32_t>(data.size());
    return fits;
}

bool RegistryKey::SetDword(const char* name, std::uint32_t value) {
    std::string foldedPath;
    if (KeyOf(key_, &foldedPath) == nullptr) {
        return false;
    }
    const std::vector<unsigned char> bytes = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return TheRegistry().SetValue(foldedPath, name, kRegDword, bytes);
}

namespace desktop {

void SetRegistryFilePath(const std::string& path) {
    TheRegistry().SetPathOverride(path);
}

std::string RegistryFilePath() {
    return TheRegistry().FilePath();
}

void SetRegistryAvailable(bool available) {
    TheRegistry().SetAvailable(available);
}

bool RegistryKeyExists(const char* subKey) {
    const std::optional<std::string> folded = FoldedKeyPath(subKey);
    return folded && TheRegistry().FindKey(*folded) != nullptr;
}

std::optional<RegistryValue> ReadRegistryValue(const char* subKey, const char* name) {
    const std::optional<std::string> folded = FoldedKeyPath(subKey);
    const StoredKey* key = folded ? TheRegistry().FindKey(*folded) : nullptr;
    if (key == nullptr) {
        return std::nullopt;
    }
    const auto value = key->values.find(FoldedValueName(name));
    if (value == key->values.end()) {
        return std::nullopt;
    }
    return RegistryValue{value->second.type, value->second.data};
}

bool WriteRegistryValue(const char* subKey, const char* name, const RegistryValue& value) {
    std::string foldedPath;
    return TheRegistry().CreateKey(subKey, foldedPath) &&
           TheRegistry().SetValue(foldedPath, name, value.type, value.data);
}

}  // namespace desktop
}  // namespace halvern::platform
