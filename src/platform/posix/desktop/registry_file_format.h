#pragma once

// The text of the registry file: the keys and values of the current user in one small text
// file, one record a line.

#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/desktop/registry_keys.h"

namespace halvern::platform::desktop {

// The file's text for these keys, and the keys back from a text; nullopt for a damaged text.
std::string FormatRegistryFile(const StoredKeys& keys);
std::optional<StoredKeys> ParseRegistryFile(std::string_view text);

}  // namespace halvern::platform::desktop
