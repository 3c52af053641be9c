// Registry keys of the current user: advapi32's calls behind RegistryKey.

#include "platform/desktop.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace halvern::platform {

RegistryKey::~RegistryKey() {
    if (key_ != nullptr) {
        RegCloseKey(static_cast<HKEY>(key_));
    }
}

bool RegistryKey::OpenOrCreate(const char* subKey) {
    if (key_ != nullptr) {
        RegCloseKey(static_cast<HKEY>(key_));
        key_ = nullptr;
    }
    char emptyClass[] = "";  // the call takes the class as a mutable string
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    key_ = key;
    return true;
}

bool RegistryKey::QueryValue(const char* name, void* buffer, std::uint32_t& size) const {
    if (key_ == nullptr) {
        return false;
    }
    DWORD bytes = size;
    // The type is not asked for: a value of the right size is taken whatever its type.
    const LONG result = RegQueryValueExA(static_cast<HKEY>(key_), name, nullptr, nullptr,
                                         static_cast<BYTE*>(buffer), &bytes);
    // Too large a value answers ERROR_MORE_DATA with the size it needs.
    size = bytes;
    return result == ERROR_SUCCESS;
}

bool RegistryKey::SetDword(const char* name, std::uint32_t value) {
    if (key_ == nullptr) {
        return false;
    }
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                           static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    return RegSetValueExA(static_cast<HKEY>(key_), name, 0, REG_DWORD, bytes, sizeof bytes) ==
           ERROR_SUCCESS;
}

}  // namespace halvern::platform
