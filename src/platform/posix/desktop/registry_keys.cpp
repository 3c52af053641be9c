#include "platform/posix/desktop/registry_keys.h"

#include "support/ascii_case.h"

namespace halvern::platform::desktop {

namespace {

constexpr std::size_t kMaxComponent = 255;  // the system's limit for one key name

}  // namespace

bool ValidKeyPath(std::string_view path) {
    if (path.empty()) {
        return true;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('\\', start);
        const std::size_t length = (end == std::string_view::npos ? path.size() : end) - start;
        if (length == 0 || length > kMaxComponent) {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

std::optional<std::string> FoldedKeyPath(const char* subKey) {
    if (subKey == nullptr || !ValidKeyPath(subKey)) {
        return std::nullopt;
    }
    return FoldedAscii(subKey);
}

std::string FoldedValueName(const char* name) {
    return name == nullptr ? std::string() : FoldedAscii(name);
}

StoredKey& AddKeyPath(StoredKeys& keys, std::string_view path) {
    std::size_t separator = path.find('\\');
    while (separator != std::string_view::npos) {
        const std::string_view parent = path.substr(0, separator);
        keys.try_emplace(FoldedAscii(parent), StoredKey{std::string(parent), {}});
        separator = path.find('\\', separator + 1);
    }
    return keys.try_emplace(FoldedAscii(path), StoredKey{std::string(path), {}}).first->second;
}

}  // namespace halvern::platform::desktop
